// The connection log window: every line the session wrote about connecting,
// logging on and losing the connection since start-up, oldest first. Created
// hidden once with the frame; closing it only hides it, nothing is cleared.
#pragma once

#include <windows.h>

#include <string>

#include "client/controls/dialog_ex.h"
#include "client/model/session.h"
#include "client/controls/xp_button.h"

class CDlgDlrz : public CDialogEx, public tovan::LogWindowSink {
public:
    explicit CDlgDlrz(HWND parent = nullptr);

    // Appends at the end; neither shows the window nor scrolls the list.
    void AddLine(const std::string& line) override;
    // Shows the window and brings it to the front (after a failed connect).
    void ShowAndRaise() override;

protected:
    void BindControls() override;

private:
    CXPButton closeButton_;
    fw::Window logList_;
};
