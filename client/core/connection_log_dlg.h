// The connection log window: the lines the session wrote about connecting,
// logging on and losing the connection, oldest first, the newest
// kConnectionLogLines of them (a client left offline for days writes two a
// retry). The
// window is made when it is first shown (lines that came before wait for it),
// so that a start whose connection works never pays for it; closing it only
// hides it, nothing is cleared.
#pragma once

#include <windows.h>

#include <string>

#include "client/controls/dialog_ex.h"
#include "client/model/recent_lines.h"
#include "client/model/session.h"
#include "client/controls/xp_button.h"

class CDlgDlrz : public CDialogEx, public tovan::LogWindowSink {
public:
    explicit CDlgDlrz(HWND parent = nullptr);

    // The window's owner when the first showing creates it.
    void SetOwner(HWND owner) { owner_ = owner; }
    // Appends at the end, dropping the oldest line beyond the bound; neither
    // shows the window nor scrolls the list.
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
    tovan::RecentLines waitingLines_{tovan::kConnectionLogLines};  // added before the window existed
};
