#include "client/controls/sizing_bar.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

#include "fw/dialog.h"
#include "fw/scoped_gdi.h"

namespace {

constexpr const char kBarClass[] = "TovanSizingBar";
constexpr int kGradientSteps = 64;

int CALLBACK FaceFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceExists(const char* face) {
    LOGFONTA lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExA(fw::gdi::WindowDc(nullptr), &lf, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// A font of tenths of a point, scaled to the device.
HFONT PointFont(HDC dc, int tenths, const char* face, int escapement) {
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(tenths, GetDeviceCaps(dc, LOGPIXELSY), 720);
    lf.lfEscapement = lf.lfOrientation = escapement;
    // The default set, so that GBK titles find a face that has their characters.
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

void FillSolid(HDC dc, const RECT& r, COLORREF c) {
    FillRect(dc, &r, fw::gdi::Brush(CreateSolidBrush(c)));
}

}  // namespace

bool CSizingControlBar::CreateBar(const char* title, HWND frame, UINT id, Dock dock) {
    dock_ = dock;
    if (FaceExists("Tahoma")) lstrcpynA(captionFace_, "Tahoma", LF_FACESIZE);
    hasMarlett_ = FaceExists("Marlett");
    BOOL full = TRUE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
    fullWindowDrag_ = full != FALSE;
    return Create(kBarClass, title, WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0, 0, 0,
                  frame, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), CS_DBLCLKS,
                  GetSysColorBrush(COLOR_BTNFACE), LoadCursor(nullptr, IDC_ARROW));
}

int CSizingControlBar::Thickness() const {
    if (dock_ == Dock::Right) return std::max(vertSize.cx, vertMin.cx);
    return std::max(horzSize.cy, horzMin.cy);
}

void CSizingControlBar::SetThickness(int pixels) {
    if (dock_ == Dock::Right) {
        vertSize.cx = std::max<LONG>(pixels, vertMin.cx);
    } else {
        horzSize.cy = std::max<LONG>(pixels, horzMin.cy);
    }
}

UINT CSizingControlBar::SizableEdge() const {
    switch (dock_) {
    case Dock::Top: return HTBOTTOM;
    case Dock::Right: return HTLEFT;
    case Dock::Bottom: return HTTOP;
    }
    return 0;
}

RECT CSizingControlBar::CaptionStrip(int w, int h) const {
    RECT r = {margins.left, margins.top, w - margins.right, h - margins.bottom};
    if (!HasGripper()) {
        r.right = r.left;
        r.bottom = r.top;
    } else if (HorizontalStrip()) {
        r.bottom = r.top + kGripperWidth;
    } else {
        r.right = r.left + kGripperWidth;
    }
    return r;
}

RECT CSizingControlBar::ClientArea(int w, int h) const {
    RECT r = {margins.left, margins.top, w - margins.right, h - margins.bottom};
    if (!HasGripper()) {
        // no strip
    } else if (HorizontalStrip()) {
        r.top += kGripperWidth;
    } else {
        r.left += kGripperWidth;
    }
    r.right = std::max<LONG>(r.right, r.left);
    r.bottom = std::max<LONG>(r.bottom, r.top);
    return r;
}

RECT CSizingControlBar::CloseButton(int w, int h) const {
    if (!HasGripper()) return {0, 0, 0, 0};
    const RECT strip = CaptionStrip(w, h);
    const int x = HorizontalStrip() ? strip.right - kGripperWidth : strip.left;
    return {x, strip.top, x + kCloseSize, strip.top + kCloseSize};
}

UINT CSizingControlBar::EdgeAt(POINT p, int w, int h) const {
    // Leading, trailing and interior edges as hit-test codes for this dock.
    struct Edge {
        unsigned bit;
        UINT code;
    };
    const Edge right[] = {{tovan::kEdgeLeading, HTTOP}, {tovan::kEdgeTrailing, HTBOTTOM},
                          {tovan::kEdgeInterior, HTLEFT}};
    const Edge top[] = {{tovan::kEdgeLeading, HTLEFT}, {tovan::kEdgeTrailing, HTRIGHT},
                        {tovan::kEdgeInterior, HTBOTTOM}};
    const Edge bottom[] = {{tovan::kEdgeLeading, HTLEFT}, {tovan::kEdgeTrailing, HTRIGHT},
                           {tovan::kEdgeInterior, HTTOP}};
    const Edge* edges = dock_ == Dock::Right ? right : dock_ == Dock::Top ? top : bottom;
    for (int i = 0; i < 3; ++i) {
        if (!(sizableEdges_ & edges[i].bit)) continue;
        bool on = false;
        switch (edges[i].code) {
        case HTTOP: on = p.y < kEdgeWidth; break;
        case HTBOTTOM: on = p.y >= h - kEdgeWidth; break;
        case HTLEFT: on = p.x < kEdgeWidth; break;
        case HTRIGHT: on = p.x >= w - kEdgeWidth; break;
        default: break;
        }
        if (on) return edges[i].code;
    }
    return 0;
}

LRESULT CSizingControlBar::HitTest(POINT screen) {
    RECT w;
    GetWindowRect(hwnd(), &w);
    const POINT p = {screen.x - w.left, screen.y - w.top};
    const int cx = w.right - w.left, cy = w.bottom - w.top;
    const RECT close = CloseButton(cx, cy);
    if (PtInRect(&close, p)) return HTCLOSE;
    // A sizable edge wins over the client area it may overlap.
    if (const UINT edge = EdgeAt(p, cx, cy)) return edge;
    const RECT client = ClientArea(cx, cy);
    if (PtInRect(&client, p)) return HTCLIENT;
    return HTBORDER;
}

void CSizingControlBar::UpdateCaptionState() {
    const bool active = HasGripper() && hwnd() && IsChild(hwnd(), GetFocus());
    if (active == active_) return;
    active_ = active;
    PaintNonClient();
}

void CSizingControlBar::PaintCaption(HDC dc, const RECT& band, const RECT& close) {
    const bool active = active_;
    const COLORREF first = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    BOOL gradient = FALSE;
    SystemParametersInfoA(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0);
    if (!gradient) {
        FillSolid(dc, band, first);
    } else {
        const COLORREF second = GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION
                                                   : COLOR_GRADIENTINACTIVECAPTION);
        const bool across = HorizontalStrip();
        const int length = across ? band.right - band.left : band.bottom - band.top;
        for (int i = 0; i < kGradientSteps; ++i) {
            const auto mix = [&](int a, int b) { return (a * (kGradientSteps - i) + b * i) / kGradientSteps; };
            const COLORREF c = RGB(mix(GetRValue(first), GetRValue(second)),
                                   mix(GetGValue(first), GetGValue(second)),
                                   mix(GetBValue(first), GetBValue(second)));
            const int from = length * i / kGradientSteps, to = length * (i + 1) / kGradientSteps;
            // Left to right across, bottom to top along a vertical band.
            const RECT step = across ? RECT{band.left + from, band.top, band.left + to, band.bottom}
                                     : RECT{band.left, band.bottom - to, band.right, band.bottom - from};
            FillSolid(dc, step, c);
        }
    }

    const std::string title = fw::GetText(hwnd());
    {
        const fw::gdi::Font font(PointFont(dc, 85, captionFace_, HorizontalStrip() ? 0 : 900));
        const fw::gdi::Selection useFont(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        const fw::gdi::SavedState clipped(dc);
        IntersectClipRect(dc, band.left, band.top, band.right, band.bottom);
        if (HorizontalStrip()) {
            TextOutA(dc, band.left + 3, band.top, title.c_str(), static_cast<int>(title.size()));
        } else {
            TextOutA(dc, band.left, band.bottom - 3, title.c_str(), static_cast<int>(title.size()));
        }
    }

    // Pushed: sunken; under the mouse: raised; otherwise no frame.
    RECT square = close;
    if (closePushed_) {
        DrawEdge(dc, &square, BDR_SUNKENOUTER, BF_RECT);
    } else if (closeHover_) {
        DrawEdge(dc, &square, BDR_RAISEDINNER, BF_RECT);
    }
    if (!hasMarlett_) {
        // Without the symbol font the cross is drawn with lines.
        const fw::gdi::Pen pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT)));
        const fw::gdi::Selection usePen(dc, pen);
        for (int d = 0; d < 2; ++d) {
            MoveToEx(dc, close.left + 2 + d, close.top + 2, nullptr);
            LineTo(dc, close.right - 2 + d, close.bottom - 2);
            MoveToEx(dc, close.right - 3 + d, close.top + 2, nullptr);
            LineTo(dc, close.left + 1 + d, close.bottom - 2);
        }
        return;
    }
    LOGFONTA lf = {};
    GetObjectA(fw::gdi::Font(PointFont(dc, 60, "Marlett", 0)), sizeof lf, &lf);
    lf.lfCharSet = SYMBOL_CHARSET;
    const fw::gdi::Font marlett(CreateFontIndirectA(&lf));
    const fw::gdi::Selection useMarlett(dc, marlett);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    TextOutA(dc, close.left + 2, close.top + 2, "r", 1);
}

void CSizingControlBar::PaintNonClient() {
    RECT w;
    GetWindowRect(hwnd(), &w);
    const int cx = w.right - w.left, cy = w.bottom - w.top;
    if (cx <= 0 || cy <= 0) return;
    const fw::gdi::WindowDc dc(hwnd(), GetWindowDC(hwnd()));
    const fw::gdi::MemoryDc mem(dc);
    const fw::gdi::Bitmap bmp(CreateCompatibleBitmap(dc, cx, cy));
    const fw::gdi::Selection useBmp(mem, bmp);
    const RECT all = {0, 0, cx, cy};
    FillRect(mem, &all, GetSysColorBrush(COLOR_BTNFACE));
    const RECT strip = CaptionStrip(cx, cy);
    const RECT close = CloseButton(cx, cy);
    RECT band = strip;
    if (HorizontalStrip()) {
        band.right = close.left - 3;
    } else {
        band.top = close.bottom + 3;
    }
    if (HasGripper() && band.right > band.left && band.bottom > band.top) PaintCaption(mem, band, close);
    // Copy in one block, the client area left to the pane's children.
    const RECT client = ClientArea(cx, cy);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    BitBlt(dc, 0, 0, cx, cy, mem, 0, 0, SRCCOPY);
}

void CSizingControlBar::SetCloseState(bool hover, bool pushed) {
    if (hover == closeHover_ && pushed == closePushed_) return;
    closeHover_ = hover;
    closePushed_ = pushed;
    PaintNonClient();
}

void CSizingControlBar::StartTracking(POINT screen) {
    tracking_ = true;
    trackStart_ = screen;
    startThickness_ = Thickness();
    SetCapture(hwnd());
    if (!fullWindowDrag_) {
        lineThickness_ = startThickness_;
        InvertTrackingLine(lineThickness_);
    }
}

RECT CSizingControlBar::TrackingLine(int thickness) const {
    RECT bar;
    GetWindowRect(hwnd(), &bar);
    RECT frame;
    GetWindowRect(GetParent(hwnd()), &frame);
    RECT r = bar;
    switch (dock_) {
    case Dock::Bottom: r.top = bar.bottom - thickness; r.bottom = r.top + kEdgeWidth; break;
    case Dock::Right: r.left = bar.right - thickness; r.right = r.left + kEdgeWidth; break;
    case Dock::Top: r.bottom = bar.top + thickness; r.top = r.bottom - kEdgeWidth; break;
    }
    OffsetRect(&r, -frame.left, -frame.top);
    return r;
}

// The halftone line: drawn and taken away again by the same inversion.
void CSizingControlBar::InvertTrackingLine(int thickness) {
    HWND frame = GetParent(hwnd());
    HDC taken = GetDCEx(frame, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    if (!taken) taken = GetWindowDC(frame);
    const fw::gdi::WindowDc dc(frame, taken);
    WORD pattern[8];
    for (int i = 0; i < 8; ++i) pattern[i] = static_cast<WORD>(0x5555 << (i & 1));
    const fw::gdi::Bitmap bits(CreateBitmap(8, 8, 1, 1, pattern));
    const fw::gdi::Brush halftone(CreatePatternBrush(bits));
    const fw::gdi::Selection useHalftone(dc, halftone);
    const RECT r = TrackingLine(thickness);
    PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, PATINVERT);
}

void CSizingControlBar::Track(POINT screen) {
    int delta = 0;
    switch (SizableEdge()) {
    case HTTOP: delta = trackStart_.y - screen.y; break;
    case HTLEFT: delta = trackStart_.x - screen.x; break;
    case HTBOTTOM: delta = screen.y - trackStart_.y; break;
    default: break;
    }
    const int low = dock_ == Dock::Right ? vertMin.cx : horzMin.cy;
    const int high = std::max(low, maxThickness);
    const int wanted = std::clamp(startThickness_ + delta, low, high);
    if (!fullWindowDrag_) {
        // Only the line moves; the panes follow at the release.
        if (wanted == lineThickness_) return;
        InvertTrackingLine(lineThickness_);
        lineThickness_ = wanted;
        InvertTrackingLine(lineThickness_);
        return;
    }
    if (wanted == Thickness()) return;
    SetThickness(wanted);
    // The frame follows at once (live resizing).
    if (onResized) onResized();
}

void CSizingControlBar::StopTracking() {
    if (!tracking_) return;
    tracking_ = false;
    if (!fullWindowDrag_) {
        InvertTrackingLine(lineThickness_);
        SetThickness(lineThickness_);
    }
    if (GetCapture() == hwnd()) ReleaseCapture();
    if (onResized) onResized();
}

LRESULT CSizingControlBar::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (OnPaneMessage(msg, wp, lp, result)) return result;
    switch (msg) {
    case WM_NCCALCSIZE: {
        RECT* r = reinterpret_cast<RECT*>(lp);  // also the first rectangle of NCCALCSIZE_PARAMS
        const RECT client = ClientArea(r->right - r->left, r->bottom - r->top);
        const LONG left = r->left, top = r->top;
        *r = {left + client.left, top + client.top, left + client.right, top + client.bottom};
        return 0;
    }
    case WM_NCHITTEST:
        return HitTest({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
    case WM_NCPAINT:
        PaintNonClient();
        return 0;
    case WM_NCACTIVATE:
        return TRUE;
    case WM_SETTINGCHANGE:
        // Takes effect with the next drag of an edge.
        if (!tracking_) {
            BOOL full = TRUE;
            SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
            fullWindowDrag_ = full != FALSE;
        }
        return 0;
    case WM_SETTEXT: {
        const LRESULT r = DefaultProc(msg, wp, lp);
        PaintNonClient();
        return r;
    }
    case WM_NCMOUSEMOVE:
        SetCloseState(wp == HTCLOSE, closePushed_ && wp == HTCLOSE);
        if (wp == HTCLOSE) {
            TRACKMOUSEEVENT t = {sizeof t, TME_LEAVE | TME_NONCLIENT, hwnd(), 0};
            TrackMouseEvent(&t);
        }
        break;
    case WM_NCMOUSELEAVE:
        SetCloseState(false, false);
        closePressed_ = false;
        return 0;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        // Noted even where presses do nothing else: the release closes.
        closePressed_ = wp == HTCLOSE;
        if (wp == HTCLOSE && !ignoreNcPress) SetCloseState(true, true);
        // Never the system's move, size or close: the pane decides.
        if (wp == SizableEdge() && !ignoreNcPress && msg == WM_NCLBUTTONDOWN) {
            StartTracking({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        }
        return 0;
    case WM_NCLBUTTONUP: {
        // Only a click of its own: a release after the press closed another
        // pane, whose going moved this box under the pointer, is none.
        const bool click = closePressed_ && wp == HTCLOSE;
        closePressed_ = false;
        SetCloseState(wp == HTCLOSE, false);
        if (click && onClose) onClose();
        return 0;
    }
    case WM_MOUSEMOVE:
        if (tracking_) {
            POINT p = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            ClientToScreen(hwnd(), &p);
            Track(p);
            return 0;
        }
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
        if (tracking_) {
            StopTracking();
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
        if (tracking_ && reinterpret_cast<HWND>(lp) != hwnd()) StopTracking();
        return 0;
    case WM_CANCELMODE:
        StopTracking();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return 0;  // panes are never dragged or floated
    case WM_PAINT: {
        ValidateRect(hwnd(), nullptr);
        return 0;
    }
    default:
        break;
    }
    return DefaultProc(msg, wp, lp);
}
