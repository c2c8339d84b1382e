// Editing one resend entry: its text with the keypad, phrase popups and area
// combos of the free-text dialog, and its count and interval through the
// resend options. Built on the stack by the resend list for one entry.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "client/windows/keypad_text_dlg.h"
#include "client/controls/xp_button.h"

class CChongfabj : public CKeypadTextDlg {
public:
    explicit CChongfabj(HWND parent = nullptr);

    // Set by the caller before DoModal, read after IDOK: the text (cleaned
    // and digit-masked by OK), the class ("车" or "货"), and the remaining
    // count and interval (minutes), changed only through "重发选项".
    std::string text;
    std::string entryClass = "车";
    int resendCount = 0;
    int resendInterval = 0;
    // From the logon reply: a rights word above 0 forbids confirming; the
    // third area name labels a key.
    int publishRights = 0;
    std::string thirdArea;

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;

    bool IsCargo() const override { return entryClass == "货"; }
    void OnProvinceChosen() override;
    void OnCityChosen() override;

private:
    void AskResendOptions();

    std::array<CXPButton, 43> buttons_;
};
