// The login dialog: account name, password, whether the password is
// remembered, the reason the last logon failed in red, and a link to the web
// registration page. It owns dmr.ini [User], which the frame reads at start-up
// for the first, silent logon.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "client/controls/dialog_ex.h"
#include "client/model/session.h"
#include "client/controls/text_labels.h"
#include "client/controls/xp_button.h"

// dmr.ini is named without a folder: it lives in the Windows directory.
extern const char kUserIniFile[];

class CDenglu : public CDialogEx, public tovan::LoginPrompt {
public:
    static constexpr int kBufferSize = 200;  // name and password: at most 199 bytes

    CDenglu();

    // The session's showing: `message` goes to the red line, and after OK the
    // typed name and password come back. False on Cancel.
    bool Ask(const std::string& message, std::string& name, std::string& password) override;

    // Filled on OK, read by the session afterwards.
    char accountName[kBufferSize] = {};
    char password[kBufferSize] = {};
    // Set before showing; shown once in the red line, then emptied.
    std::string pendingMessage;

    // Where the registration link finds the web site ([URL] Merovan), and how
    // it opens the page; tests put their own here.
    std::string configFile;
    std::function<void(HWND owner, const std::string& address)> openPage;

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnRegister();

private:
    fw::Window nameEdit_;
    fw::Window passwordEdit_;
    fw::Window rememberBox_;
    CRedText messageLine_;
    CLabel registerLink_;
    CXPButton okButton_;
    CXPButton cancelButton_;
};
