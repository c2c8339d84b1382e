#include "fw/screen_order.h"

#include <vector>

namespace fw {
namespace {

constexpr UINT kOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

bool IsTopmost(HWND window) { return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

bool OursAndShown(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId() && IsWindowVisible(window) && !IsIconic(window);
}

thread_local HHOOK g_focusHook = nullptr;
thread_local bool g_raising = false;

LRESULT CALLBACK AfterMessage(int code, WPARAM wp, LPARAM lp) {
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lp);
    // The focus change raised its top-level window on the screen before
    // WM_SETFOCUS was sent: the windows above it go back over it now.
    if (code == HC_ACTION && sent && sent->message == WM_SETFOCUS && !g_raising) {
        g_raising = true;
        if (HWND top = GetAncestor(sent->hwnd, GA_ROOT)) RaiseWindowsAbove(top);
        g_raising = false;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

void RaiseWithoutActivation(HWND window) {
    if (!window) return;
    // Wine restacks the screen only on a real change of the z-order that makes
    // the window the first visible one; a window first already (but drawn
    // under another) gets that change by passing through the other band.
    const bool topmost = IsTopmost(window);
    SetWindowPos(window, topmost ? HWND_NOTOPMOST : HWND_TOPMOST, 0, 0, 0, 0, kOrderOnly);
    SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kOrderOnly);
}

void RaiseWindowsAbove(HWND window) {
    std::vector<HWND> above;  // nearest, that is lowest, first
    for (HWND w = window ? GetWindow(window, GW_HWNDPREV) : nullptr; w; w = GetWindow(w, GW_HWNDPREV)) {
        if (OursAndShown(w)) above.push_back(w);
    }
    for (HWND w : above) RaiseWithoutActivation(w);
}

void KeepScreenOrder() {
    if (g_focusHook) return;
    g_focusHook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterMessage, nullptr, GetCurrentThreadId());
}

}  // namespace fw
