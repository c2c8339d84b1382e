// The connection log window: every line the session wrote about connecting,
// logging on and losing the connection since start-up, oldest first. The
// window is made when it is first shown (lines that came before wait for it),
// so that a start whose connection works never pays for it; closing it only
// hides it, nothing is cleared.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "client/controls/dialog_ex.h"
#include "client/model/session.h"
#include "client/controls/xp_button.h"

class CDlgDlrz : public CDialogEx, public tovan::LogWindowSink {
public:
    explicit CDlgDlrz(HWND parent = nullptr);

    // The window's owner when the first showing creates it.
    void SetOwner(HWND owner) { owner_ = owner; }
    // Appends at the end; neither shows the window nor scrolls the list.
    void AddLine(const std::string& line) override;
    // Shows the window, created hidden first when it does not exist yet, and
    // brings it to the front (after a failed connect), but beneath a modal
    // dialog that runs.
    void ShowAndRaise() override;

protected:
    void BindControls() override;

private:
    CXPButton closeButton_;
    fw::Window logList_;
    HWND owner_ = nullptr;
    std::vector<std::string> waitingLines_;  // added before the window existed
};
