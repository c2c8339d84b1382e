// Which of the fifteen toolbar items the main toolbar shows: a checked list,
// stored in dmr.ini [ToolBar] on OK. The frame builds its toolbar again when
// DoModal returns IDOK. Built on the stack, shown modally.
#pragma once

#include <windows.h>

#include "client/controls/dialog_ex.h"
#include "client/controls/xp_button.h"

class CGjlsz : public CDialogEx {
public:
    explicit CGjlsz(HWND parent = nullptr);

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    CXPButton okButton_;
    CXPButton cancelButton_;
};
