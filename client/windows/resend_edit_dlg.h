// Editing one resend entry: its text with the keypad, phrase popups and area
// combos of the free-text dialog, and its count and interval through the
// resend options. Built on the stack by the resend list for one entry.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "dialog_ex.h"
#include "menu_ex.h"
#include "xp_button.h"

class CChongfabj : public CDialogEx {
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
    // area.ini and Config.ini next to the program; tests use their own.
    std::string areaFile, configFile;

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;

private:
    bool IsCargo() const { return entryClass == "货"; }
    void Insert(const std::string& s);
    void ShowPhrases(const std::string& key, bool spare);
    void OnProvinceChosen();
    void OnCityChosen();
    void AskResendOptions();

    CMenuEx phraseMenu_;
    std::array<std::string, 3> spareKeys_;
    std::array<CXPButton, 43> buttons_;
};
