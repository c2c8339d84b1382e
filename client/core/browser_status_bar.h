// The frame's status bar: its one pane is covered by a web browser showing
// the service's announcement banner.
#pragma once

#include <windows.h>

#include <string>

#include "client/controls/explorer1.h"
#include "fw/window.h"

class CBrowserStatusBar : public fw::Window {
public:
    // The status bar at the frame's bottom with one pane of at least
    // minHeight pixels; the banner comes with CreateBanner.
    bool CreateBar(HWND frame, UINT id, int minHeight);
    // The banner's browser over the pane. Without the browser control the
    // bar stays as it is: nothing to report.
    void CreateBanner();
    // Loads the address into the banner (before CreateBanner it waits for
    // it); an empty address loads nothing.
    void Navigate(const std::string& address);
    HWND banner() const { return banner_.hwnd(); }
    CExplorer1& explorer() { return banner_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    CExplorer1 banner_;
};
