#include "client/controls/dialog_ex.h"

#include "client/res/resource.h"

namespace {

fw::gdi::Bitmap LoadTexture() {
    return fw::gdi::Bitmap(LoadBitmapA(fw::Instance(), MAKEINTRESOURCEA(IDB_DIALOG_TEXTURE)));
}

}  // namespace

CDialogEx::CDialogEx(UINT templateId, HWND parent) : fw::Dialog(templateId, parent) {}

CDialogEx::~CDialogEx() {
    Destroy();  // while our handlers still answer; the brush goes after the window
}

BOOL CDialogEx::OnInitDialog() {
    fw::Dialog::OnInitDialog();

    RECT wr;
    GetWindowRect(hwnd(), &wr);
    fw::gdi::GiveWindowRegion(
        hwnd(), fw::gdi::Region(CreateRoundRectRgn(0, 0, wr.right - wr.left, wr.bottom - wr.top, 2, 2)), true);

    // The same object may be shown again and again: one brush at a time.
    if (HBITMAP texture = Texture()) patternBrush_.Reset(CreatePatternBrush(texture));
    return TRUE;
}

HBITMAP CDialogEx::Texture() {
    if (!texture_) texture_ = LoadTexture();
    return texture_;
}

BOOL CDialogEx::OnEraseBkgnd(HDC dc) {
    HBITMAP texture = Texture();
    if (!texture) return static_cast<BOOL>(DefaultProc(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
    BITMAP bm = {};
    GetObjectA(texture, sizeof bm, &bm);
    RECT client;
    GetClientRect(hwnd(), &client);
    const fw::gdi::MemoryDc mem(dc);
    const fw::gdi::Selection useTexture(mem, texture);
    StretchBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    return TRUE;
}

HBRUSH CDialogEx::OnCtlColor(HDC dc, HWND control, UINT ctlType, HBRUSH defaultBrush) {
    if ((ctlType == CTLCOLOR_BTN || ctlType == CTLCOLOR_STATIC) && patternBrush_) {
        SetBkMode(dc, TRANSPARENT);
        return patternBrush_;
    }
    return defaultBrush;
}

LRESULT CDialogEx::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wp));
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC: {
        auto defaultBrush = reinterpret_cast<HBRUSH>(DefaultProc(msg, wp, lp));
        return reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wp),
                                                    reinterpret_cast<HWND>(lp),
                                                    msg - WM_CTLCOLORMSGBOX, defaultBrush));
    }
    }
    return fw::Dialog::HandleMessage(msg, wp, lp);
}
