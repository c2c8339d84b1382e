#include "no_copy_edit.h"

bool CNoCopyEdit::PreTranslateMessage(MSG& msg) {
    return msg.message == WM_KEYDOWN && msg.hwnd == hwnd();
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
