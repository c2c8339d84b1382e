#include "client/windows/resend_options_dlg.h"

#include <cstdlib>
#include <string>

#include "client/windows/logic/phrase_lists.h"
#include "client/res/resource.h"

namespace {

void SelectExact(HWND combo, int value) {
    const std::string text = std::to_string(value);
    const LRESULT i = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(combo, CB_SETCURSEL, i == CB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(i), 0);
}

}  // namespace

CChongfa::CChongfa(HWND parent) : CDialogEx(IDD_RESEND_OPTIONS, parent) {}

void CChongfa::BindControls() {
    Bind(okButton_, IDOK);
    Bind(cancelButton_, IDCANCEL);
}

BOOL CChongfa::OnInitDialog() {
    CDialogEx::OnInitDialog();
    for (int n = 1; n <= 6; ++n)
        SendItem(IDC_RESEND_COUNT, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(std::to_string(n).c_str()));
    // Without a count there is nothing to choose the interval from yet.
    if (resendCount != 0) FillIntervals(resendCount);
    // Exact matches: a preset outside the lists selects nothing (a prefix
    // search would take "1" for "10").
    SelectExact(Item(IDC_RESEND_COUNT), resendCount);
    SelectExact(Item(IDC_RESEND_INTERVAL), resendInterval);
    return TRUE;
}

void CChongfa::FillIntervals(int count) {
    SendItem(IDC_RESEND_INTERVAL, CB_RESETCONTENT);
    for (int minutes : tovan::ResendIntervalChoices(count))
        SendItem(IDC_RESEND_INTERVAL, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(std::to_string(minutes).c_str()));
}

int CChongfa::SelectedNumber(int id) const {
    const LRESULT i = SendItem(id, CB_GETCURSEL);
    if (i == CB_ERR) return -1;
    char text[16] = {};
    if (SendItem(id, CB_GETLBTEXTLEN, static_cast<WPARAM>(i)) >= static_cast<LRESULT>(sizeof text))
        return -1;
    SendItem(id, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    return std::atoi(text);
}

bool CChongfa::OnCommand(int id, int code, HWND) {
    if (id == IDC_RESEND_COUNT && code == CBN_SELCHANGE) {
        // The interval chosen for the old count may be too long now.
        FillIntervals(SelectedNumber(IDC_RESEND_COUNT));
        return true;
    }
    return false;
}

void CChongfa::OnOK() {
    const int count = SelectedNumber(IDC_RESEND_COUNT);
    const int interval = SelectedNumber(IDC_RESEND_INTERVAL);
    if (count < 0 || interval < 0) {
        ShowMessage("请选择次数和发送时间间隔", "错误");
        return;
    }
    resendCount = count;
    resendInterval = interval;
    CDialogEx::OnOK();
}

void CChongfa::OnCancel() {
    resendCount = 0;
    resendInterval = 0;
    CDialogEx::OnCancel();
}
