#include "client/core/browser_status_bar.h"

#include <commctrl.h>

bool CBrowserStatusBar::CreateBar(HWND frame, UINT id, int minHeight) {
    HWND bar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | CCS_BOTTOM, 0, 0, 0, 0,
                               frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleA(nullptr), nullptr);
    if (!bar || !Subclass(bar)) return false;
    int parts[1] = {-1};
    SendMessageA(bar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
    SendMessageA(bar, SB_SETMINHEIGHT, static_cast<WPARAM>(minHeight), 0);
    SendMessageA(bar, WM_SIZE, 0, 0);
    return true;
}

void CBrowserStatusBar::CreateBanner() {
    RECT pane = {};
    SendMessageA(hwnd(), SB_GETRECT, 0, reinterpret_cast<LPARAM>(&pane));
    banner_.Create("", WS_CHILD | WS_VISIBLE, pane, hwnd(), 0);
}

void CBrowserStatusBar::Navigate(const std::string& address) {
    if (!address.empty()) banner_.Navigate(address);
}

LRESULT CBrowserStatusBar::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE: {
        const LRESULT r = DefaultProc(msg, wp, lp);
        RECT pane = {};
        if (banner_.hwnd() && SendMessageA(hwnd(), SB_GETRECT, 0, reinterpret_cast<LPARAM>(&pane))) {
            banner_.Move(pane);
        }
        return r;
    }
    case WM_DESTROY:
        banner_.Destroy();
        break;
    default:
        break;
    }
    return DefaultProc(msg, wp, lp);
}
