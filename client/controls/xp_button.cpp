#include "client/controls/xp_button.h"

#include "fw/dialog.h"

namespace {

HPEN FramePen(int width, COLORREF colour) { return CreatePen(PS_INSIDEFRAME, width, colour); }

COLORREF GradientColour(int i, bool hover, bool emphasis) {
    if (hover && emphasis) return RGB(255 - i / 4, 255 - i / 4, 255 - i / 3);
    if (hover) return RGB(255 - i / 4, 255 - i / 4, 255 - i / 5);
    if (emphasis) return RGB(255 - i / 3, 255 - i / 3, 255 - i / 4);
    return RGB(255 - i / 3, 255 - i / 3, 255 - i / 5);
}

}  // namespace

CXPButton::CXPButton()
    : outlinePen_(FramePen(1, RGB(0, 0, 0))),
      hoverLeftPen_(FramePen(3, RGB(250, 196, 88))),
      hoverRightPen_(FramePen(3, RGB(251, 202, 106))),
      hoverTopPen_(FramePen(2, RGB(252, 210, 121))),
      hoverBottomPen_(FramePen(2, RGB(229, 151, 0))),
      focusLeftPen_(FramePen(3, RGB(153, 198, 252))),
      focusRightPen_(FramePen(3, RGB(162, 189, 252))),
      focusTopPen_(FramePen(2, RGB(162, 201, 255))),
      focusBottomPen_(FramePen(2, RGB(162, 201, 255))),
      hoverFaceBrush_(CreateSolidBrush(RGB(223, 222, 236))),
      normalFaceBrush_(CreateSolidBrush(RGB(222, 223, 236))) {}

CXPButton::~CXPButton() {
    Destroy();  // the window goes before the pens and brushes it draws with
}

void CXPButton::PreSubclassWindow() {
    fw::Window::PreSubclassWindow();
    SetWindowLongPtrA(hwnd(), GWL_STYLE, GetWindowLongPtrA(hwnd(), GWL_STYLE) | BS_OWNERDRAW);
}

void CXPButton::OnFinalDestroy() {
    hover_ = 0;
    tracking_ = 0;
}

LRESULT CXPButton::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_MOUSEMOVE:
        if (!tracking_) {
            TRACKMOUSEEVENT t = {};
            t.cbSize = sizeof t;
            t.dwFlags = TME_HOVER | TME_LEAVE;
            t.hwndTrack = hwnd();
            t.dwHoverTime = 1;
            tracking_ = TrackMouseEvent(&t);
        }
        break;
    case WM_MOUSEHOVER:
        hover_ = 1;
        InvalidateRect(hwnd(), nullptr, TRUE);
        return 0;
    case WM_MOUSELEAVE:
        hover_ = 0;
        tracking_ = 0;
        InvalidateRect(hwnd(), nullptr, FALSE);
        return 0;
    case WM_LBUTTONDBLCLK:
        // A quick second press comes as a double-click, which the system's
        // owner-drawn button reports only as BN_DOUBLECLICKED: press it like
        // the first, so that it pushes the button and clicks on release.
        return DefaultProc(WM_LBUTTONDOWN, wp, lp);
    case fw::kReflect + WM_DRAWITEM:
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    }
    return DefaultProc(msg, wp, lp);
}

void CXPButton::DrawItem(const DRAWITEMSTRUCT& item) {
    RECT rc = item.rcItem;
    HDC dc = item.hDC;
    const fw::gdi::SavedState saved(dc);
    char text[260] = {};
    const int length = GetWindowTextA(hwnd(), text, sizeof text);  // at most 259 bytes

    {
        const fw::gdi::Selection useOutline(dc, outlinePen_);
        RoundRect(dc, rc.left, rc.top, rc.right, rc.bottom, 5, 5);
    }

    focus_ = (item.itemState & ODS_FOCUS) ? 1 : 0;
    emphasis_ = focus_;
    if (item.itemState & (ODS_SELECTED | ODS_DEFAULT)) emphasis_ = 1;

    RECT face = rc;
    InflateRect(&face, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));

    {
        const fw::gdi::Selection useFace(dc, hover_ ? hoverFaceBrush_ : normalFaceBrush_);
        DrawFace(dc, face);
        if (hover_ || focus_) DrawFrame(dc, face);
    }

    const fw::gdi::Selection useFont(dc, reinterpret_cast<HFONT>(SendMessageA(hwnd(), WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text, length, &extent);

    int x = (face.left + face.right) / 2 - extent.cx / 2;
    int y = (face.top + face.bottom) / 2 - extent.cy / 2;
    if (item.itemState & ODS_SELECTED) {
        ++x;
        ++y;
    }
    SetBkMode(dc, TRANSPARENT);  // put back with the rest of the state
    UINT flags = DST_TEXT;
    if (item.itemState & ODS_DISABLED) flags |= DSS_DISABLED;
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(text), static_cast<WPARAM>(length), x, y,
               extent.cx, extent.cy, flags);
}

void CXPButton::DrawFace(HDC dc, const RECT& face) {
    const int w = face.right - face.left;
    const int h = face.bottom - face.top;
    if (w <= 0 || h <= 0) return;  // a button too small for a face: nothing to divide by

    fw::gdi::Brush brushes[64];
    for (int i = 0; i < 64; ++i) brushes[i].Reset(CreateSolidBrush(GradientColour(i, hover_, emphasis_)));
    // Row numbers are absolute within the button, so the face starts a little
    // below white and its last rows take the darkest brush.
    for (int y = face.top; y <= h + 2; ++y) {
        int n = y * 63 / h;
        if (n > 63) n = 63;
        RECT row = {face.left, y, w + 2, y + 1};
        FillRect(dc, &row, brushes[n]);
    }
}

void CXPButton::DrawFrame(HDC dc, const RECT& face) {
    const bool focusLook = focus_ && !hover_;
    HPEN left = focusLook ? focusLeftPen_ : hoverLeftPen_;
    HPEN right = focusLook ? focusRightPen_ : hoverRightPen_;
    HPEN top = focusLook ? focusTopPen_ : hoverTopPen_;
    HPEN bottom = focusLook ? focusBottomPen_ : hoverBottomPen_;
    const LONG l = face.left, t = face.top, r = face.right, b = face.bottom;

    POINT oldPos;
    MoveToEx(dc, l, b - 1, &oldPos);
    {
        fw::gdi::Selection pen(dc, left);
        LineTo(dc, l, t + 1);
        pen.Select(right);
        MoveToEx(dc, r - 1, b - 1, nullptr);
        LineTo(dc, r - 1, t);
        pen.Select(top);
        MoveToEx(dc, l - 1, t, nullptr);
        LineTo(dc, r - 1, t);
        pen.Select(bottom);
        MoveToEx(dc, l, b, nullptr);
        LineTo(dc, r - 1, b);
    }
    MoveToEx(dc, oldPos.x, oldPos.y, nullptr);

    if (focusLook) DrawFocusRect(dc, &face);
}
