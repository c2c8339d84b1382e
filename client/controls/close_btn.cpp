#include "client/controls/close_btn.h"

#include "client/res/resource.h"

LRESULT CCloseBtn::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        SetBkMode(dc, TRANSPARENT);
        RECT wr;
        GetWindowRect(hwnd(), &wr);
        // No redraw here: this is the paint itself, and a redraw would ask for the next one.
        HRGN region = CreateRoundRectRgn(0, 0, wr.right - wr.left, wr.bottom - wr.top, 5, 5);
        if (region && !SetWindowRgn(hwnd(), region, FALSE)) DeleteObject(region);
        if (HBITMAP glyph = LoadBitmapA(fw::Instance(), MAKEINTRESOURCEA(IDB_CLOSE_GLYPH))) {
            HDC mem = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(mem, glyph);
            BitBlt(dc, 0, 0, 20, 19, mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteDC(mem);
            DeleteObject(glyph);
        }
        EndPaint(hwnd(), &ps);
        return 0;
    }
    case WM_MOUSEMOVE:
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        break;
    }
    return DefaultProc(msg, wp, lp);
}
