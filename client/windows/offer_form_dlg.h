// The common part of the two structured publishing forms (vehicle and cargo
// offers): the members the frame sets and reads, the departure area cascade
// remembered in dmr.ini [LastArea], the keypad that writes into the last
// focused form field, the preview, the "信息管理" popup and the resend option.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "client/controls/dialog_ex.h"
#include "client/controls/text_labels.h"
#include "client/controls/xp_button.h"

class COfferFormDlg : public CDialogEx {
public:
    // Set by the frame before each showing; the preview shows them.
    std::string contactName, contactPhone, contactMobile;
    // Set to 0 by the frame before each showing; the resend option changes them.
    int resendCount = 0;
    int resendInterval = 0;  // minutes
    // 1 at each opening, then follows "发送手机号".
    int sendMobile = 1;
    // Written by a successful OK.
    std::string offerText;
    // The logon reply's publishing-rights word: with bit 2 set nothing is published.
    int publishRights = 0;
    // Where the "信息管理" popup's commands go; null: the main window.
    HWND commandTarget = nullptr;
    // area.ini and Config.ini next to the program; tests use their own.
    std::string areaFile, configFile;

protected:
    COfferFormDlg(UINT templateId, std::vector<int> keypadTargets, std::vector<int> areaControls);

    void BindControls() override;
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

    // The form's own controls and steps.
    virtual void FillFormLists() = 0;
    virtual void RefreshPreview() = 0;

    // Departure cascade.
    void OnDepartureProvinceChanged();
    void OnDepartureCityChanged();
    // dmr.ini [LastArea] := the departure selections.
    void SaveLastArea() const;
    // Fills a combo from Config.ini [Sentence] key.
    void FillPhraseCombo(int id, const char* key);
    // The children of an area.ini section: its CS then XIAN items.
    std::vector<std::string> CitiesOf(const std::string& province) const;
    std::vector<std::string> CountiesOf(const std::string& city) const;
    std::string Selection(int id) const;
    bool HasSelection(int id) const;
    // The message box of a refused OK, then the focus to the field to fix.
    void Refuse(const char* text, const char* caption, int focusId);
    // Refuses a sentence longer than what the frame sends (the rest would be
    // lost unseen); the remark gets the focus. True when refused.
    bool RefuseTooLong(const std::string& sentence);
    void FocusItem(int id);

    CXPButton okButton_, cancelButton_;

private:
    void OnKey(HWND key);
    std::vector<int> keypadTargets_;  // fields the keypad writes into
    std::vector<int> areaControls_;   // focusing one of these ends the keypad target
    HWND keypadTarget_ = nullptr;
    std::array<CXPButton, 11> keys_;
    CLabel manageLabel_;
};
