// Test driver for a running TovanClient (test build), run in its Wine prefix.
//   client_driver.exe post "<message with ^>"
//       the client sends the text as one of its windows would
//   client_driver.exe dismiss-duplicate
//       finds the second instance's message box, checks its text, presses OK
//   client_driver.exe title
//       prints the frame's title (GBK bytes, no line end)
//   client_driver.exe state
//       prints "<list size> <loaded rows> <grid rows> <first visible row>"
//   client_driver.exe rows FIRST COUNT
//       prints "<id> <status>" for each of those rows of the current list,
//       one line each; "-1 -1" for a row without data
//   client_driver.exe scroll ROW
//       scrolls the record grid so that ROW is its first visible row
//   client_driver.exe command ID
//       gives the frame menu command ID (as a click on its menu item would)
//   client_driver.exe burst COUNT SIZE
//       the client sends COUNT messages "!NETBURST!|<i>|<SIZE times x>^",
//       i from 0, one after the other
// Exit code 0 when it worked.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int PostTo(HWND frame, const char* text, std::size_t length) {
    COPYDATASTRUCT data = {};
    data.dwData = 0x54564531;  // "TVE1"
    data.cbData = static_cast<DWORD>(length);
    data.lpData = const_cast<char*>(text);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, 5000, &result)) {
        return 1;
    }
    return result == TRUE ? 0 : 1;
}

int Post(const char* text) {
    HWND frame = FindWindowA("TovanClientFrame", nullptr);
    if (!frame) return 1;
    return PostTo(frame, text, std::strlen(text));
}

int Burst(int count, int size) {
    HWND frame = FindWindowA("TovanClientFrame", nullptr);
    if (!frame || count < 0 || size < 0) return 1;
    for (int i = 0; i < count; ++i) {
        const std::string msg =
            "!NETBURST!|" + std::to_string(i) + "|" + std::string(static_cast<std::size_t>(size), 'x') + "^";
        if (PostTo(frame, msg.data(), msg.size()) != 0) return 1;
    }
    return 0;
}

int Command(int id) {
    HWND frame = FindWindowA("TovanClientFrame", nullptr);
    if (!frame || id <= 0 || id > 0xFFFF) return 1;
    return PostMessageA(frame, WM_COMMAND, MAKEWPARAM(id, 0), 0) ? 0 : 1;
}

// The frame's test query (see the frame's test hooks): what and row in, the
// answer out; false when the frame did not answer.
enum Query : std::int32_t { kSize, kLoaded, kGridRows, kFirstVisible, kRowId, kRowStatus };

bool Ask(HWND frame, Query what, std::int32_t row, long long& answer) {
    std::int32_t q[2] = {what, row};
    COPYDATASTRUCT data = {};
    data.dwData = 0x54565131;  // "TVQ1"
    data.cbData = sizeof q;
    data.lpData = q;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, 5000, &result)) {
        return false;
    }
    answer = static_cast<long long>(static_cast<LONG_PTR>(result));
    return answer != -2;
}

int Title() {
    HWND frame = FindWindowA("TovanClientFrame", nullptr);
    if (!frame) return 1;
    const int n = GetWindowTextLengthA(frame);
    std::vector<char> text(static_cast<size_t>(n) + 1);
    const int got = GetWindowTextA(frame, text.data(), n + 1);
    _setmode(_fileno(stdout), _O_BINARY);  // the GBK bytes as they are
    std::fwrite(text.data(), 1, static_cast<size_t>(got), stdout);
    return 0;
}

int State() {
    HWND frame = FindWindowA("TovanClientFrame", nullptr);
    if (!frame) return 1;
    long long v[4] = {};
    const Query what[4] = {kSize, kLoaded, kGridRows, kFirstVisible};
    for (int i = 0; i < 4; ++i) {
        if (!Ask(frame, what[i], 0, v[i])) return 1;
    }
    std::printf("%lld %lld %lld %lld\n", v[0], v[1], v[2], v[3]);
    return 0;
}

int Rows(int first, int count) {
    HWND frame = FindWindowA("TovanClientFrame", nullptr);
    if (!frame || count < 0) return 1;
    for (int row = first; row < first + count; ++row) {
        long long id = 0, status = 0;
        if (!Ask(frame, kRowId, row, id) || !Ask(frame, kRowStatus, row, status)) return 1;
        std::printf("%lld %lld\n", id, status);
    }
    return 0;
}

int Scroll(int row) {
    HWND frame = FindWindowA("TovanClientFrame", nullptr);
    HWND view = frame ? FindWindowExA(frame, nullptr, "TovanRecordView", nullptr) : nullptr;
    HWND grid = view ? FindWindowExA(view, nullptr, "QGRID", nullptr) : nullptr;
    if (!grid || row < 0 || row > 0xFFFF) return 1;
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(grid, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, row), 0,
                               SMTO_ABORTIFHUNG, 5000, &result)
               ? 0
               : 1;
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
    if (argc == 2 && std::strcmp(argv[1], "title") == 0) return Title();
    if (argc == 2 && std::strcmp(argv[1], "state") == 0) return State();
    if (argc == 4 && std::strcmp(argv[1], "rows") == 0) return Rows(std::atoi(argv[2]), std::atoi(argv[3]));
    if (argc == 3 && std::strcmp(argv[1], "scroll") == 0) return Scroll(std::atoi(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "command") == 0) return Command(std::atoi(argv[2]));
    if (argc == 4 && std::strcmp(argv[1], "burst") == 0) return Burst(std::atoi(argv[2]), std::atoi(argv[3]));
    return 2;
}
