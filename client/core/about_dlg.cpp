#include "client/core/about_dlg.h"

#include "client/res/resource.h"

CAboutDlg::CAboutDlg(HWND parent) : CDialogEx(IDD_ABOUTBOX, parent) {}

void CAboutDlg::BindControls() { Bind(okButton_, IDOK); }

void ShowAboutBox(HWND owner) {
    CAboutDlg about(owner);
    about.DoModal();
}
