// The administrator notice window: the text of the last notice the server
// pushed. Made without an owner (it stays on top with its own taskbar
// button) when the first notice comes; each notice replaces the text and
// shows it where the user left it; closing only hides it.
#pragma once

#include <windows.h>

#include <string>

#include "client/controls/dialog_ex.h"
#include "client/model/session.h"
#include "client/controls/xp_button.h"

class CNotify : public CDialogEx, public tovan::NoticeSink {
public:
    CNotify();

    void ShowNotice(const std::string& text) override;

protected:
    void BindControls() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    fw::Window noticeText_;
    CXPButton closeButton_;
};
