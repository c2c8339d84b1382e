// The resend options: how many times an offer is sent again (1 to 6) and the
// minutes between two sends (5 up to 30 / count). Built on the stack by the
// publishing dialogs and the resend entry editor, shown modally.
#pragma once

#include <windows.h>

#include "client/controls/dialog_ex.h"
#include "client/controls/xp_button.h"

class CChongfa : public CDialogEx {
public:
    explicit CChongfa(HWND parent = nullptr);

    // May be preset before DoModal. After IDOK the chosen pair; after
    // IDCANCEL both are 0 (no repeats).
    int resendCount = 0;
    int resendInterval = 0;  // minutes

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void FillIntervals(int count);
    int SelectedNumber(int id) const;  // -1 when nothing is selected

    CXPButton okButton_;
    CXPButton cancelButton_;
};
