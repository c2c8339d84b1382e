#include "upload_dlg.h"

#include "resource.h"

CUploadDlg::CUploadDlg() : fw::Dialog(IDD_UPLOAD) {}

bool CUploadDlg::Open(const std::string& text) {
    if (!CreateModeless()) return false;
    ShowWindow(hwnd(), SW_SHOW);
    SetStatus(text);
    return true;
}

void CUploadDlg::SetStatus(const std::string& text) {
    status_ = text;
    if (!hwnd()) return;
    SetItemText(IDC_UPLOAD_STATUS, text);
    UpdateWindow(hwnd());
    PumpWaitingMessages();
}

void PumpWaitingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for whoever ends the run
            break;
        }
        fw::ProcessQueuedMessage(msg);
    }
}
