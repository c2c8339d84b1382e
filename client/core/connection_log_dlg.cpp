#include "client/core/connection_log_dlg.h"

#include "client/res/resource.h"

CDlgDlrz::CDlgDlrz(HWND parent) : CDialogEx(IDD_CONNECTION_LOG, parent) {}

void CDlgDlrz::BindControls() {
    Bind(closeButton_, IDCANCEL);
    Bind(logList_, IDC_LOG_LIST);
}

void CDlgDlrz::AddLine(const std::string& line) {
    // A line the list cannot take (out of memory) is lost without notice.
    SendItem(IDC_LOG_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void CDlgDlrz::ShowAndRaise() {
    // Never above a modal dialog the user is filling in.
    if (hwnd()) fw::ShowInFront(hwnd());
}
