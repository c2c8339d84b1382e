#include "fw/message_box.h"

#include "fw/window.h"
#include "text/gbk.h"

namespace fw {
namespace {

std::string& TitleSetByProgram() {
    static std::string title;
    return title;
}

std::string ProgramFileTitle() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string name(path, n < sizeof path ? n : 0);
    // Walk back to the last separator; a trail byte of a GBK character may
    // equal '\\', so the walk goes forward over lead bytes.
    size_t start = 0;
    for (size_t i = 0; i < name.size(); i += tovan::GbkCharLength(name, i)) {
        if (name[i] == '\\' || name[i] == '/') start = i + 1;
    }
    name = name.substr(start);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

// Presses OK on this thread's message box, which runs the timer's call. The
// box is the one dialog of the thread still enabled: it disables its owner.
BOOL CALLBACK PressOk(HWND hwnd, LPARAM) {
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return TRUE;
    PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK CloseBox(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), PressOk, 0);
}

}  // namespace

std::string AppTitle() {
    const std::string& set = TitleSetByProgram();
    return set.empty() ? ProgramFileTitle() : set;
}

void SetAppTitle(const std::string& title) { TitleSetByProgram() = title; }

int AppMessageBox(HWND owner, const std::string& text, const char* caption, UINT type) {
    const std::string title = caption ? std::string(caption) : AppTitle();
    return MessageBoxA(owner ? owner : MainWindow(), text.c_str(), title.c_str(), type);
}

}  // namespace fw

namespace fw {

int TimedMessageBox(HWND owner, const std::string& text, const char* caption, DWORD timeoutMs) {
    const UINT_PTR timer = SetTimer(nullptr, 0, timeoutMs, CloseBox);
    const int answer = AppMessageBox(owner, text, caption, MB_OK);
    if (timer) KillTimer(nullptr, timer);
    return answer;
}

}  // namespace fw
