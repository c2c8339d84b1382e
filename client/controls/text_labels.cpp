#include "client/controls/text_labels.h"

#include <cstring>
#include <string>

#include "fw/dialog.h"
#include "fw/scoped_gdi.h"

namespace {

void SetHandCursor() { SetCursor(LoadCursor(nullptr, IDC_HAND)); }

fw::gdi::Font SongtiFont(int height, int weight, bool underline) {
    LOGFONTA lf = {};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfUnderline = underline ? TRUE : FALSE;
    // The default set, not ANSI: text drawn with an ANSI-set font is read in
    // code page 1252 where the face offers it, and GBK text turns to boxes.
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(lf.lfFaceName, "宋体");
    return fw::gdi::Font(CreateFontIndirectA(&lf));
}

// The window text on one line at (5, 2): TextOut shows a line break as the
// font's glyph for it instead of breaking there.
void PaintOneLine(HWND hwnd, const fw::gdi::Font& font, COLORREF colour) {
    const fw::gdi::PaintDc dc(hwnd);
    const std::string text = fw::GetText(hwnd);
    const fw::gdi::Selection useFont(dc, font);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 5, 2, text.c_str(), static_cast<int>(text.size()));
}

// A static paints a new text at once in its own plain look, past WM_PAINT.
// These classes only store the text and repaint: the parent's background
// under the control first (their text is transparent), then the control.
LRESULT StoreTextAndRepaint(HWND hwnd, LPARAM text) {
    const LRESULT r = DefWindowProcA(hwnd, WM_SETTEXT, 0, text);
    HWND parent = GetParent(hwnd);
    if (parent && (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) {
        RECT rc;
        GetWindowRect(hwnd, &rc);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
        RedrawWindow(parent, &rc, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    } else {
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    return r;
}

}  // namespace

LRESULT CLabel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        const fw::gdi::PaintDc dc(hwnd());
        LOGFONTA lf = {};
        // No font of its own (none set): a static then draws with the system font.
        auto current = reinterpret_cast<HFONT>(SendMessageA(hwnd(), WM_GETFONT, 0, 0));
        GetObjectA(current ? current : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), sizeof lf,
                   &lf);
        lf.lfWeight = fontWeight;
        lstrcpynA(lf.lfFaceName, faceName, LF_FACESIZE);
        lf.lfHeight = fontHeight;
        lf.lfWidth = fontWidth;
        lf.lfUnderline = TRUE;
        const fw::gdi::Font font(CreateFontIndirectA(&lf));
        const fw::gdi::Selection useFont(dc, font);
        SetTextColor(dc, textColor);
        SetBkMode(dc, TRANSPARENT);
        RECT rc;
        GetClientRect(hwnd(), &rc);
        std::string text = fw::GetText(hwnd());
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rc, 0);
        return 0;
    }
    case WM_SETCURSOR:
        SetHandCursor();
        return TRUE;
    case WM_SETTEXT:
        return StoreTextAndRepaint(hwnd(), lp);
    }
    return DefaultProc(msg, wp, lp);
}

LRESULT CLinkText::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        PaintOneLine(hwnd(), SongtiFont(12, 800, true), RGB(0, 0, 255));
        return 0;
    case WM_MOUSEMOVE:
        SetHandCursor();
        break;
    case WM_SETTEXT:
        return StoreTextAndRepaint(hwnd(), lp);
    }
    return DefaultProc(msg, wp, lp);
}

LRESULT CRedText::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        PaintOneLine(hwnd(), SongtiFont(14, 400, false), RGB(255, 0, 0));
        return 0;
    case WM_SETTEXT:
        return StoreTextAndRepaint(hwnd(), lp);
    }
    return DefaultProc(msg, wp, lp);
}
