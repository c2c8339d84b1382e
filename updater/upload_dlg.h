// The updater's status window: one line telling the user what it is doing.
#pragma once

#include <string>

#include "dialog.h"

class CUploadDlg : public fw::Dialog {
public:
    CUploadDlg();

    // Shows the window (modeless) with its first text.
    bool Open(const std::string& text);
    // Shows the next step and lets the window paint it.
    void SetStatus(const std::string& text);
    const std::string& Status() const { return status_; }

private:
    // The one text line of the window.
    std::string status_;
};

// Dispatches every window message that is waiting: the work runs on this
// thread, so the window stays responsive only between its steps.
void PumpWaitingMessages();
