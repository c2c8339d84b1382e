#include "client/controls/color_btn.h"

#include "fw/scoped_gdi.h"

LRESULT CColorBtn::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        const fw::gdi::PaintDc dc(hwnd());
        RECT rc;
        GetClientRect(hwnd(), &rc);
        FillRect(dc, &rc, fw::gdi::Brush(CreateSolidBrush(color)));
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return 0;
    // On these the button control draws its push-button look (focus
    // rectangle, pushed face) at once, outside WM_PAINT: the swatch paints
    // its colour over it before anything else is shown.
    case BM_SETSTATE: case BM_SETCHECK: case BM_SETSTYLE: case WM_SETFOCUS: case WM_KILLFOCUS:
    case WM_ENABLE: case WM_SETTEXT: case WM_UPDATEUISTATE: {
        const LRESULT r = DefaultProc(msg, wp, lp);
        RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return r;
    }
    }
    return DefaultProc(msg, wp, lp);
}
