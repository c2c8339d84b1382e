// The about box (command ID_APP_ABOUT).
#pragma once

#include <windows.h>

#include "client/controls/dialog_ex.h"
#include "client/controls/xp_button.h"

class CAboutDlg : public CDialogEx {
public:
    explicit CAboutDlg(HWND parent = nullptr);

protected:
    void BindControls() override;

private:
    CXPButton okButton_;
};

// The about command: shows the about box modally.
void ShowAboutBox(HWND owner);
