#include "client/controls/close_btn.h"

#include "client/res/resource.h"
#include "fw/scoped_gdi.h"

LRESULT CCloseBtn::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT: {
        const fw::gdi::PaintDc dc(hwnd());
        SetBkMode(dc, TRANSPARENT);
        RECT wr;
        GetWindowRect(hwnd(), &wr);
        // No redraw here: this is the paint itself, and a redraw would ask for the next one.
        fw::gdi::GiveWindowRegion(
            hwnd(), fw::gdi::Region(CreateRoundRectRgn(0, 0, wr.right - wr.left, wr.bottom - wr.top, 5, 5)), false);
        if (const fw::gdi::Bitmap glyph(LoadBitmapA(fw::Instance(), MAKEINTRESOURCEA(IDB_CLOSE_GLYPH))); glyph) {
            const fw::gdi::MemoryDc mem(dc);
            const fw::gdi::Selection useGlyph(mem, glyph);
            BitBlt(dc, 0, 0, 20, 19, mem, 0, 0, SRCCOPY);
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        break;
    }
    return DefaultProc(msg, wp, lp);
}
