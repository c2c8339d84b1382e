#include "fw/message_box.h"

#include <algorithm>

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

// The system puts a message box in the middle of the screen; ours stands over
// the window that raised it, inside the work area of that window's monitor.
void CentreOn(HWND box, HWND window) {
    RECT b, w;
    GetWindowRect(box, &b);
    GetWindowRect(window, &w);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const LONG width = b.right - b.left, height = b.bottom - b.top;
    LONG x = (w.left + w.right - width) / 2, y = (w.top + w.bottom - height) / 2;
    x = std::max(work.left, std::min(x, work.right - width));
    y = std::max(work.top, std::min(y, work.bottom - height));
    SetWindowPos(box, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window the coming message box of this thread is centred on: the box
// places itself while it initialises, and is moved as that returns, before
// it shows.
thread_local HWND t_centreOn = nullptr;

LRESULT CALLBACK MoveBoxAfterInit(int code, WPARAM wp, LPARAM lp) {
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lp);
    if (code == HC_ACTION && t_centreOn && sent->message == WM_INITDIALOG) {
        CentreOn(sent->hwnd, t_centreOn);
        t_centreOn = nullptr;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

// MessageBoxA centred on `owner`'s top-level window while that is on screen;
// otherwise (hidden in the tray, minimised) where the system puts it.
int CentredMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    HWND window = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    if (!window || !IsWindowVisible(window) || IsIconic(window)) return MessageBoxA(owner, text, caption, type);
    t_centreOn = window;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, MoveBoxAfterInit, nullptr, GetCurrentThreadId());
    const int answer = MessageBoxA(owner, text, caption, type);
    if (hook) UnhookWindowsHookEx(hook);
    t_centreOn = nullptr;  // also when no box was made
    return answer;
}

}  // namespace

std::string AppTitle() {
    const std::string& set = TitleSetByProgram();
    return set.empty() ? ProgramFileTitle() : set;
}

void SetAppTitle(const std::string& title) { TitleSetByProgram() = title; }

int AppMessageBox(HWND owner, const std::string& text, const char* caption, UINT type) {
    const std::string title = caption ? std::string(caption) : AppTitle();
    return CentredMessageBox(owner ? owner : MainWindow(), text.c_str(), title.c_str(), type);
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
