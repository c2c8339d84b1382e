#include "client/core/web_pane.h"

namespace {

constexpr int kGlyphWidth = 20;
constexpr int kGlyphHeight = 19;
constexpr int kGlyphInset = 2;

}  // namespace

CIEBar::CIEBar() {
    // The page fills the pane: no caption strip, and the pane is neither
    // dragged nor resized by the mouse.
    noGripper = true;
    ignoreNcPress = true;
}

bool CIEBar::CreatePane(HWND frame, UINT id, UINT kind, Dock dock) {
    kind_ = kind;
    if (!CreateBar("", frame, id, dock)) return false;
    HWND glyph = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0, 0, 60, 60,
                                 hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kind)),
                                 GetModuleHandleA(nullptr), nullptr);
    if (!glyph || !closeGlyph_.Subclass(glyph)) return false;
    // Above the browser, which covers the whole pane.
    SetWindowPos(glyph, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void CIEBar::CreateBrowser() {
    RECT client;
    GetClientRect(hwnd(), &client);
    if (FAILED(browser_.Create("", WS_CHILD | WS_VISIBLE, client, hwnd(), static_cast<int>(kBrowserId))) ||
        !browser_.hwnd()) {
        return;
    }
    const LONG_PTR style = GetWindowLongPtrA(browser_.hwnd(), GWL_STYLE);
    SetWindowLongPtrA(browser_.hwnd(), GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_BORDER | WS_VSCROLL | WS_HSCROLL));
    // The glyph stays above the browser, which covers the whole pane.
    SetWindowPos(browser_.hwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CIEBar::Navigate(const std::string& address) {
    if (!address.empty()) browser_.Navigate(address);
}

void CIEBar::OnSize(int cx, int cy) {
    if (browser_.hwnd()) browser_.Move(RECT{0, 0, cx, cy});
    if (closeGlyph_.hwnd()) {
        MoveWindow(closeGlyph_.hwnd(), cx - kGlyphWidth - kGlyphInset, kGlyphInset, kGlyphWidth,
                   kGlyphHeight, TRUE);
    }
}

bool CIEBar::OnPaneMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_SIZE:
        OnSize(LOWORD(lp), HIWORD(lp));
        result = 0;
        return true;
    case WM_COMMAND:
        // The glyph's click goes on to the frame as the pane's command.
        if (LOWORD(wp) == kind_ && HIWORD(wp) == STN_CLICKED) {
            result = SendMessageA(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(kind_, 0), 0);
            return true;
        }
        return false;
    case WM_DESTROY:
        browser_.Destroy();
        return false;
    default:
        return false;
    }
}
