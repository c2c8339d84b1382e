// The updater's status window: one line telling the user what it is doing.
#pragma once

#include <functional>
#include <string>

#include "fw/dialog.h"

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

// Dispatches every window message that is waiting.
void PumpWaitingMessages();

// Runs work on a thread of its own and keeps this thread's windows painting
// and answering until it is done: a download may wait on the network for a
// long time. False when it did not end within timeoutMs; it then runs on,
// and whatever it uses must outlive it.
bool RunWhilePumping(const std::function<void()>& work, DWORD timeoutMs);
