// The test dialog with one control of each client control class, on the
// client's dialog base.
#pragma once

#include <windows.h>

#include "client/controls/close_btn.h"
#include "client/controls/color_btn.h"
#include "client/controls/dialog_ex.h"
#include "tests/wine/dialog_test_ids.h"
#include "client/controls/no_copy_edit.h"
#include "client/controls/send_edit.h"
#include "client/controls/text_labels.h"
#include "client/controls/xp_button.h"

class ControlsDialog : public CDialogEx {
public:
    explicit ControlsDialog(HWND parent = nullptr) : CDialogEx(IDD_CONTROLS_TEST, parent) {}

    CLabel label;
    CLinkText link;
    CRedText red;
    CColorBtn swatch;
    CCloseBtn close;
    CNoCopyEdit noCopy;
    CSendEdit send;
    CXPButton button, disabledButton, ok, cancel;
    int clicks = 0;          // BN_CLICKED from any control
    int swatchClicks = 0;    // BN_CLICKED from the swatch

protected:
    void BindControls() override {
        Bind(label, IDC_TEST_LABEL);
        Bind(link, IDC_TEST_LINK);
        Bind(red, IDC_TEST_RED);
        Bind(swatch, IDC_TEST_SWATCH);
        Bind(close, IDC_TEST_CLOSE);
        Bind(noCopy, IDC_TEST_NOCOPY);
        Bind(send, IDC_TEST_SEND);
        Bind(button, IDC_TEST_BUTTON);
        Bind(disabledButton, IDC_TEST_DISABLED_BUTTON);
        Bind(ok, IDOK);
        Bind(cancel, IDCANCEL);
    }
    BOOL OnInitDialog() override {
        CDialogEx::OnInitDialog();
        label.textColor = RGB(0, 0, 255);
        swatch.color = RGB(10, 200, 30);
        SetItemText(IDC_TEST_NOCOPY, "北京到上海 有货10吨\r\n联系电话 13800000000");
        return TRUE;
    }
    bool OnCommand(int id, int code, HWND) override {
        if (code == BN_CLICKED) {
            ++clicks;
            if (id == IDC_TEST_SWATCH) ++swatchClicks;
        }
        return false;
    }
};
