// What the client shows: the one port through which the portable client
// reaches its windows. The main frame implements it; tests fake it.
#pragma once

#include <string>

namespace tovan {

// The search pane's caption while no search result is counted.
constexpr const char* kSearchPaneTitle = "搜索结果";

// What the list handlers show: the frame's title, the search pane's caption
// and the notification of a new hit.
class ListDisplay {
public:
    virtual ~ListDisplay() = default;
    virtual std::string FrameTitle() const = 0;
    virtual void SetFrameTitle(const std::string& title) = 0;
    virtual std::string SearchPaneCaption() const = 0;
    virtual void SetSearchPaneCaption(const std::string& caption) = 0;
    virtual bool SearchPaneVisible() const = 0;
    // A new watch or search hit ("新关注信息", "搜索结果中有新信息").
    virtual void Notify(const std::string& text) = 0;
};

class ClientView : public ListDisplay {
public:
    virtual void ShowSearchPane() = 0;  // control bar 1000, without delay
    virtual void RecalcLayout() = 0;
    virtual void ShowLimitedRightsBox() = 0;
    // The criteria make a count message longer than its buffer.
    virtual void ShowCriteriaTooLongBox() = 0;
    // The view's grid back at its first row: first visible row 0, repaint
    // without erasing, vertical scroll position 0.
    virtual void ScrollViewToTop() = 0;
    // Selects the current area in the area tree; its handler asks for the
    // list, else the view calls ClientCore::SwitchToArea itself.
    virtual void SelectCurrentAreaInTree() = 0;
};

}  // namespace tovan
