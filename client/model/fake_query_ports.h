// Records what the search, watch and area steps do through the frame, in order:
// "send ...", "queue ...", "drop", "rights", "toolong", "pane", "layout", "top",
// "tree", "title ...".
#pragma once

#include <string>
#include <vector>

#include "client/model/search_commands.h"

namespace tovan {

class FakeQueryPorts : public Outbox, public QueryFramePorts {
public:
    FakeQueryPorts() : QueryFramePorts(static_cast<Outbox&>(*this)) {}

    bool sendWorks = true;
    std::vector<std::string> calls;

    // The session's outbox: a message whose send fails is queued.
    void Send(const std::string& m) override {
        calls.push_back("send " + m);
        if (!sendWorks) calls.push_back("queue " + m);
    }
    void DropQueuedListRequests() override { calls.push_back("drop"); }
    void ShowLimitedRightsBox() override { calls.push_back("rights"); }
    void ShowCriteriaTooLongBox() override { calls.push_back("toolong"); }
    void ShowSearchPane() override { calls.push_back("pane"); }
    void RecalcLayout() override { calls.push_back("layout"); }
    void ScrollViewToTop() override { calls.push_back("top"); }
    void SelectCurrentAreaInTree() override { calls.push_back("tree"); }
    void SetFrameTitle(const std::string& t) override { calls.push_back("title " + t); }
};

}  // namespace tovan
