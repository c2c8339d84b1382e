// A web pane docked on the frame: one page of the service's site in a web
// browser control, no caption strip, and a small close glyph in its top-right
// corner. The glyph's click reaches the frame as the pane's command (its
// kind, 1003 for the right pane, 1004 for the top pane), which hides it.
#pragma once

#include <windows.h>

#include <string>

#include "client/controls/close_btn.h"
#include "client/controls/explorer1.h"
#include "client/controls/sizing_bar.h"

class CIEBar : public CSizingControlBar {
public:
    static constexpr UINT kRightPane = 1003;
    static constexpr UINT kTopPane = 1004;
    static constexpr UINT kBrowserId = 1002;

    CIEBar();

    // kind: kRightPane or kTopPane, also the close glyph's id. The pane
    // and its glyph; the page's browser comes with CreateBrowser.
    bool CreatePane(HWND frame, UINT id, UINT kind, Dock dock);
    // The browser over the whole pane, below the glyph. Without the browser
    // control the pane stays empty: nothing to report.
    void CreateBrowser();
    // Loads the address into the pane's browser (before CreateBrowser it
    // waits for it); an empty address loads nothing.
    void Navigate(const std::string& address);
    CExplorer1& explorer() { return browser_; }
    UINT kind() const { return kind_; }
    HWND closeGlyph() const { return closeGlyph_.hwnd(); }
    HWND browser() const { return browser_.hwnd(); }

protected:
    bool OnPaneMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void OnSize(int cx, int cy);

    CExplorer1 browser_;
    CCloseBtn closeGlyph_;
    UINT kind_ = 0;
};
