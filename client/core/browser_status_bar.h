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
    // minHeight pixels, and the banner's browser over it.
    bool CreateBar(HWND frame, UINT id, int minHeight);
    // Loads the address into the banner; an empty address loads nothing.
    void Navigate(const std::string& address);
    HWND banner() const { return banner_.hwnd(); }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    CExplorer1 banner_;
};
