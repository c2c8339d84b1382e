#include "client/controls/no_copy_edit.h"

bool CNoCopyEdit::PreTranslateMessage(MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.hwnd != hwnd()) return false;
    // Esc and Enter still close the dialog around it, as in every other dialog.
    if (msg.wParam == VK_ESCAPE || msg.wParam == VK_RETURN) {
        const int id = msg.wParam == VK_ESCAPE ? IDCANCEL : IDOK;
        PostMessageA(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    }
    return true;
}

LRESULT CNoCopyEdit::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_KEYDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONUP:
        return 0;
    }
    return DefaultProc(msg, wp, lp);
}
