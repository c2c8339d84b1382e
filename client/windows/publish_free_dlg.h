// The free-text offer: the user writes the offer in their own words, helped
// by keys of digits, signs and common words, popups of the stock phrases in
// Config.ini [Sentence] and area combos, all writing at the text's caret. Used
// for both publishing commands in free mode.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "client/windows/keypad_text_dlg.h"
#include "client/controls/text_labels.h"
#include "client/controls/xp_button.h"

class CHandFabu : public CKeypadTextDlg {
public:
    CHandFabu();

    // "车" or "货", set by the frame before each showing.
    std::string classWord = "车";
    // Set to 0 by the frame before each showing; the resend option changes them.
    int resendCount = 0;
    int resendInterval = 0;  // minutes
    // 1 at each opening, then follows "发送手机号".
    int sendMobile = 1;
    // Written by a successful OK: the text cleaned and digit-masked.
    std::string offerText;
    // From the logon reply: any rights word above 0 forbids free publishing;
    // the third area name labels a key.
    int publishRights = 0;
    std::string thirdArea;
    // Where the "信息管理" popup's commands go; null: the main window.
    HWND commandTarget = nullptr;

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;

    bool IsCargo() const override { return classWord == "货"; }
    bool IsCaptionKey(int id) const override;
    void OnProvinceChosen() override;
    void OnCityChosen() override;

private:
    std::array<CXPButton, 45> buttons_;
    CLabel manageLabel_;
};
