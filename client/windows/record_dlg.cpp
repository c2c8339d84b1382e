#include "client/windows/record_dlg.h"

#include "client/res/resource.h"
#include "client/windows/rich_text.h"

CRecord::CRecord() : CDialogEx(IDD_CHAT_RECORD) {}

HWND CRecord::TextBox() const { return Item(IDC_RECORD_TEXT); }

BOOL CRecord::OnInitDialog() {
    CDialogEx::OnInitDialog();
    rich::SetChatDefaultFormat(TextBox());
    return TRUE;
}

void CRecord::ShowFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;  // a day without chat
        rich::LoadRtf(TextBox(), path, true, false);
    }
    ShowWindow(hwnd(), SW_SHOW);
    rich::ScrollToBottom(TextBox());
}
