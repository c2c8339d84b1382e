#include "client/core/connection_log_dlg.h"

#include "client/res/resource.h"

CDlgDlrz::CDlgDlrz(HWND parent) : CDialogEx(IDD_CONNECTION_LOG, parent), owner_(parent) {}

void CDlgDlrz::BindControls() {
    Bind(closeButton_, IDCANCEL);
    Bind(logList_, IDC_LOG_LIST);
}

void CDlgDlrz::AddLine(const std::string& line) {
    if (!hwnd()) {
        waitingLines_.Add(line);
        return;
    }
    if (SendItem(IDC_LOG_LIST, LB_GETCOUNT, 0, 0) >= static_cast<LRESULT>(tovan::kConnectionLogLines)) {
        SendItem(IDC_LOG_LIST, LB_DELETESTRING, 0, 0);
    }
    // A line the list cannot take (out of memory) is lost without notice.
    SendItem(IDC_LOG_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

void CDlgDlrz::ShowAndRaise() {
    if (!hwnd()) {
        if (!CreateModeless(owner_)) return;
        for (const std::string& line : waitingLines_.Lines()) AddLine(line);
        waitingLines_.Clear();
    }
    // Never above a modal dialog the user is filling in.
    fw::ShowInFront(hwnd());
}
