// The phrase lists editor: one of the seven Config.ini [Sentence] lists at a
// time in a multi-line edit, one entry a line; the save button stores the
// list shown and keeps the dialog open. Built on the stack, shown modally.
#pragma once

#include <windows.h>

#include <string>

#include "client/controls/dialog_ex.h"
#include "client/controls/xp_button.h"

class CDysz : public CDialogEx {
public:
    explicit CDysz(HWND parent = nullptr);

    // Config.ini next to the program; tests use their own.
    std::string configFile;

protected:
    void BindControls() override;
    void OnOK() override;  // the save button: the dialog stays open
    bool OnCommand(int id, int code, HWND control) override;

private:
    void LoadCategory(const std::string& key);

    std::string currentKey_;  // empty until a category was chosen
    CXPButton categoryButtons_[7];
    CXPButton saveButton_;
    CXPButton closeButton_;
};
