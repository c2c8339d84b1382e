// How the record grids show offers: font size, face and weight, text,
// background and telephone colours, lines per record (dmr.ini [Display]).
// Stored on OK; the frame then applies `choice` to both record grids.
// Built on the stack, shown modally.
#pragma once

#include <windows.h>

#include <functional>

#include "client/controls/color_btn.h"
#include "client/controls/dialog_ex.h"
#include "client/windows/logic/settings_dialogs.h"
#include "client/controls/xp_button.h"
#include "fw/scoped_gdi.h"

class CWenzi : public CDialogEx {
public:
    explicit CWenzi(HWND parent = nullptr);
    ~CWenzi() override;

    // After IDOK: what was stored.
    tovan::DisplayChoice choice;

    // The colour and font dialogs; tests put their own answers here.
    std::function<bool(HWND owner, COLORREF& color)> chooseColor;
    std::function<bool(HWND owner, LOGFONTA& font)> chooseFont;

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code, HWND control) override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    int Position() const;
    void ShowSize(const char* format);
    void RebuildSampleFont();
    void PickColor(CColorBtn& swatch, COLORREF& color);
    void ReleaseSampleFont();

    CColorBtn textSwatch_, backSwatch_, phoneSwatch_;
    HFONT originalFont_ = nullptr;  // the sample's own, not ours to delete
    fw::gdi::Font sampleFont_;
    COLORREF background_ = 0, telephone_ = 0, text_ = 0;
    std::string fontFamily_;
    CXPButton fontButton_, smallerButton_, largerButton_, textColorButton_, backColorButton_;
    CXPButton okButton_, cancelButton_, phoneColorButton_;
};
