// Test driver for a running TovanClient (test build), run in its Wine prefix.
//   client_driver.exe post "<message with ^>"
//       the client sends the text as one of its windows would
//   client_driver.exe dismiss-duplicate
//       finds the second instance's message box, checks its text, presses OK
// Exit code 0 when it worked.
#include <windows.h>

#include <cstring>

namespace {

int Post(const char* text) {
    HWND frame = FindWindowA("TovanClientFrame", nullptr);
    if (!frame) return 1;
    COPYDATASTRUCT data = {};
    data.dwData = 0x54564531;  // "TVE1"
    data.cbData = static_cast<DWORD>(std::strlen(text));
    data.lpData = const_cast<char*>(text);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, 5000, &result)) {
        return 1;
    }
    return result == TRUE ? 0 : 1;
}

int DismissDuplicate() {
    for (int tries = 0; tries < 200; ++tries, Sleep(50)) {
        HWND box = FindWindowA("#32770", "TovanClient");
        if (!box) continue;
        char text[256] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message box's text
        if (std::strcmp(text, "程序已在运行中，请不要重复登录") != 0) return 3;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "post") == 0) return Post(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "dismiss-duplicate") == 0) return DismissDuplicate();
    return 2;
}
