#include "client/core/notice_dlg.h"

#include "client/res/resource.h"

CNotify::CNotify() : CDialogEx(IDD_NOTICE) {}

void CNotify::BindControls() {
    Bind(noticeText_, IDC_NOTICE_TEXT);
    Bind(closeButton_, IDOK);
}

void CNotify::ShowNotice(const std::string& text) {
    if (!hwnd() && !CreateModeless()) return;
    SetItemText(IDC_NOTICE_TEXT, text);
    ShowWindow(hwnd(), SW_SHOW);  // the position stays where the user left it
}

bool CNotify::OnCommand(int id, int code, HWND) {
    if (id != IDOK || code != BN_CLICKED) return false;
    ShowWindow(hwnd(), SW_HIDE);
    return true;
}
