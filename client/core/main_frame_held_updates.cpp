// Holding the frame's window updates over a burst of received packets:
// the title, the search pane caption and the notice sound catch up once.
#include "client/core/main_frame.h"

#include <optional>
#include <string>
#include <utility>

#include "fw/dialog.h"

// Under Wine a scroll-bar redraw costs milliseconds and a title change about
// one: paid per pushed offer, a burst of a few thousand froze the window for
// many seconds.
constexpr DWORD kMaxHeldMs = 100;

void CMainFrame::BeginReceived() {
    if (updatesHeld_) return;
    updatesHeld_ = true;
    heldSince_ = GetTickCount();
    view_.grid().HoldWindowUpdates();
    searchPane_.grid.HoldWindowUpdates();
    // Also when a handler runs a modal loop (the login dialog after a bad
    // logon reply) or the rest of a burst never comes.
    SetTimer(hwnd(), kHeldUpdatesTimer, kMaxHeldMs, nullptr);
}

void CMainFrame::EndReceived(bool moreWaiting) {
    if (!updatesHeld_) return;
    if (moreWaiting && GetTickCount() - heldSince_ < kMaxHeldMs) return;
    ReleaseHeldUpdates();
}

void CMainFrame::ReleaseHeldUpdates() {
    if (!updatesHeld_) return;
    updatesHeld_ = false;
    KillTimer(hwnd(), kHeldUpdatesTimer);
    view_.grid().ReleaseWindowUpdates();
    searchPane_.grid.ReleaseWindowUpdates();
    if (heldTitle_) SetWindowTextA(hwnd(), heldTitle_->c_str());
    if (captionHeld_ && searchPane_.hwnd()) SetWindowTextA(searchPane_.hwnd(), searchPaneCaption_.c_str());
    const std::optional<std::string> notice = std::move(heldNotice_);
    heldTitle_.reset();
    captionHeld_ = false;
    heldNotice_.reset();
    if (notice) Notify(*notice);
}

std::string CMainFrame::FrameTitle() const {
    if (heldTitle_) return *heldTitle_;
    return fw::GetText(hwnd());
}

void CMainFrame::SetFrameTitle(const std::string& title) {
    if (updatesHeld_) {
        heldTitle_ = title;
        return;
    }
    SetWindowTextA(hwnd(), title.c_str());
}

void CMainFrame::SetSearchPaneCaption(const std::string& c) {
    searchPaneCaption_ = c;
    if (updatesHeld_) {
        captionHeld_ = true;
        return;
    }
    if (searchPane_.hwnd()) SetWindowTextA(searchPane_.hwnd(), c.c_str());
}
