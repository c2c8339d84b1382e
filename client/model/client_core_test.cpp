// Whole sequences of the client without its windows: a real session over a
// recording socket, the client core over a recording view, and the server's
// messages dispatched as the socket hands them over.
#include "client/model/client_core.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/model/fake_profile_reader.h"
#include "client/model/record_test_fakes.h"
#include "client/model/server_message.h"
#include "client/model/session.h"

namespace tovan {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The frame as the client core sees it: titles, caption, pane and notes.
struct RecordingView : ClientView {
    std::string title, caption;
    bool searchShown = false;
    std::vector<std::string> notes;

    std::string FrameTitle() const override { return title; }
    void SetFrameTitle(const std::string& t) override { title = t; }
    std::string SearchPaneCaption() const override { return caption; }
    void SetSearchPaneCaption(const std::string& c) override { caption = c; }
    bool SearchPaneVisible() const override { return searchShown; }
    void ShowSearchPane() override { searchShown = true; }
    void RecalcLayout() override {}
    void Notify(const std::string& text) override { notes.push_back(text); }
    void ShowLimitedRightsBox() override { notes.push_back("rights"); }
    void ShowCriteriaTooLongBox() override { notes.push_back("toolong"); }
    void ScrollViewToTop() override {}
    void SelectCurrentAreaInTree() override {}
};

// Every send is taken whole.
struct Wire : SessionSocket {
    std::vector<std::string> sent;
    void Close() override {}
    int Create() override { return 0; }
    int Connect(const std::string&, int) override { return 0; }
    int Send(std::string_view t) override {
        sent.emplace_back(t);
        return static_cast<int>(t.size());
    }
    void ShutdownSend() override {}
};
struct NoTimers : SessionTimers {
    void Start(unsigned, unsigned) override {}
    void Stop(unsigned) override {}
};
struct NineOClock : Clock {
    std::tm LocalNow() override {
        std::tm t{};
        t.tm_hour = 9;
        return t;
    }
};
struct NoLogin : LoginPrompt {
    bool Ask(const std::string&, std::string&, std::string&) override { return false; }
};
struct NoLog : LogWindowSink {
    void AddLine(const std::string&) override {}
    void ShowAndRaise() override {}
};
struct NoNotice : NoticeSink {
    void ShowNotice(const std::string&) override {}
};

// A level-2 account in 石家庄市 with full rights, connected and logged on.
class ClientSequenceTest : public ::testing::Test {
protected:
    ClientSequenceTest() {
        ClientModel& m = core.model();
        m.titlePrefix = "物流网";
        m.lists.currentGrid = {&viewGrid, &viewPending};
        m.lists.searchGrid = {&searchGrid, &searchPending};
        session.Connect();
        session.OnConnect(0);
        Receive(kLogon);
        wire.sent.clear();
        viewGrid.calls.clear();
    }

    SessionHooks Hooks() {
        SessionHooks h;
        h.clearRecordLists = [this] { core.ClearLists(); };
        // The frame's area tree: selecting the own city runs its handler.
        h.selectOwnAreaInTree = [this] {
            return treeHasOwnCity && core.SelectArea({core.model().account.currentArea, "河北省", false});
        };
        h.refillShownList = [this] { core.RefillAfterLogon(); };
        h.pagingTick = [this] { core.PagingTick(); };
        return h;
    }
    void Receive(const std::string& message) { ASSERT_TRUE(DispatchServerMessage(message.c_str(), messages)); }
    const std::string& LastSent() const { return wire.sent.back(); }

    static constexpr const char* kLogon = "!OK!|石家庄市|河北省|u1|2|张三|-|-|30|1|石家庄市|1|";

    RecordingView view;
    Wire wire;
    NoTimers timers;
    NineOClock clock;
    NoLogin login;
    NoLog log;
    NoNotice notice;
    // The core sends through the session, and the session's logon reply
    // writes the core's account: both are bound before either is used.
    ClientCore core{view, session, {}};
    Session session{SessionPorts{wire, timers, clock, login, log, notice}, core.model().account, Hooks()};
    ServerMessageHandlers messages{&session, &core.records()};
    testing::FakeGrid viewGrid, searchGrid;
    PendingRequests viewPending, searchPending;
    bool treeHasOwnCity = false;
};

// The logon selects the own city in the area tree, whose handler asks for
// the city's list; the server counts every such request, and each count asks
// for the rows in view.
TEST_F(ClientSequenceTest, LogonAsksForTheFirstRowsOnce) {
    treeHasOwnCity = true;
    Receive(kLogon);
    const std::vector<std::string> afterLogon = wire.sent;
    for (const std::string& request : afterLogon) {
        if (request == "!TODAYRECORD!|石家庄市^") Receive("!RECORDCOUNT!|石家庄市|当前|200");
    }
    EXPECT_THAT(wire.sent, ElementsAre("!TODAYRECORD!|石家庄市^", "!SINGLERECORD!|0|80|石家庄市^"));
}

TEST_F(ClientSequenceTest, SearchCountRowsAndPushReachTheTitleAndCaption) {
    EXPECT_EQ(core.model().account.currentArea, "石家庄市");
    Receive("!RECORDCOUNT!|石家庄市|当前|3");
    EXPECT_EQ(view.title, "物流网    石家庄市当前信息3条");
    // The rows in view are asked for with the count, not a paging tick later.
    EXPECT_THAT(wire.sent, ElementsAre("!SINGLERECORD!|0|3|石家庄市^"));

    const auto dialog = [](const SearchDialogInputs&, SearchDialogResult& out) {
        out = {"石家庄市", "", "货", ""};
        return true;
    };
    ASSERT_EQ(core.Search(dialog), QueryCommandResult::kSent);
    EXPECT_TRUE(view.searchShown);
    EXPECT_EQ(core.model().search.areas, "'石家庄市'");
    EXPECT_EQ(LastSent().rfind("!SOUSUOCOUNT!|SELECT COUNT(distinct BodyIs) FROM MsgIs WHERE ", 0), 0u);

    Receive("!SOUSUOCOUNT!|2");
    EXPECT_EQ(view.caption, "搜索结果        共2条");
    EXPECT_EQ(LastSent(), "!SOUSUORECORD!|0|2|" + core.model().searchRecordQuery + "^");
    Receive("!SOUSUORECORD!|7|货|u2|11:00|石家庄市|钢材一车|河北省|0|k|1");
    EXPECT_TRUE(core.model().lists.searchList.IsLoaded(1));
    EXPECT_FALSE(core.model().lists.searchList.IsLoaded(0));

    // One pushed cargo offer of the city enters both lists; each count follows.
    Receive("!NEWRECORD!|9|货|u3|12:00|石家庄市|有货到广州|河北省|0");
    EXPECT_EQ(view.title, "物流网    石家庄市当前信息4条");
    EXPECT_EQ(view.caption, "搜索结果        共3条");
    EXPECT_THAT(view.notes, ElementsAre("搜索结果中有新信息"));
    EXPECT_TRUE(core.model().lists.searchList.IsLoaded(2));  // the row reply's record moved down

    // The paging tick asks for what is still missing in view of both lists.
    wire.sent.clear();
    core.PagingTick();
    EXPECT_THAT(wire.sent, ElementsAre("!SINGLERECORD!|1|3|石家庄市^",
                                       "!SOUSUORECORD!|1|1|" + core.model().searchRecordQuery + "^"));
}

TEST_F(ClientSequenceTest, WatchModeSurvivesALogonAndAsksForTheWatchCountAgain) {
    FakeProfileReader profiles;
    profiles.Set("dmr.ini", "关注", "From", "石家庄市");
    profiles.Set("dmr.ini", "关注", "Type", "货");
    const AreaIni areas{profiles, "area.ini"};
    ASSERT_EQ(core.Watch(profiles, areas), QueryCommandResult::kSent);
    const std::string watchCount = LastSent();
    EXPECT_EQ(watchCount.rfind("!GUANZHUCOUNT!|", 0), 0u);

    Receive("!GUANZHUCOUNT!|5");
    EXPECT_EQ(view.title, "物流网    共有关注信息5条");
    EXPECT_EQ(LastSent(), "!GUANZHURECORD!|0|5|" + core.model().watchRecordQuery + "^");

    // Another logon reply (a reconnect) empties the lists and asks for the
    // area; the server answers that only outside watch mode, so the watch
    // count goes out again with the stored criteria.
    view.caption = "搜索结果        共8条";
    wire.sent.clear();
    Receive(kLogon);
    EXPECT_EQ(core.model().watchMode, 1);
    EXPECT_EQ(core.model().lists.currentList.Size(), 0);
    EXPECT_EQ(view.caption, "搜索结果");
    EXPECT_THAT(wire.sent, ElementsAre("!TODAYRECORD!|石家庄市^", watchCount));

    // The area's count is not the watch list's; the watch count is.
    Receive("!RECORDCOUNT!|石家庄市|当前|9");
    EXPECT_EQ(core.model().lists.currentList.Size(), 0);
    Receive("!GUANZHUCOUNT!|6");
    EXPECT_EQ(view.title, "物流网    共有关注信息6条");
    EXPECT_EQ(core.model().lists.currentList.Size(), 6);

    // Back to the current information: the area's list is asked for at once.
    wire.sent.clear();
    ASSERT_EQ(core.BackToCurrentInfo(), QueryCommandResult::kSent);
    EXPECT_EQ(core.model().watchMode, 0);
    EXPECT_EQ(view.title, "物流网    石家庄市信息处理中");
    EXPECT_THAT(wire.sent, ElementsAre("!TODAYRECORD!|石家庄市^"));
}

// A count reply sizes its list and asks at once for its first unloaded rows,
// at most one paging window of them, with the list's own selector.
TEST_F(ClientSequenceTest, CountRepliesAskForTheRowsInView) {
    struct Case {
        const char* reply;
        int watchMode;
        const char* expectedRequest;  // "" for none; {q} stands for the list's statement
    };
    const Case cases[] = {
        {"!RECORDCOUNT!|石家庄市|当前|200", 0, "!SINGLERECORD!|0|80|石家庄市^"},
        {"!RECORDCOUNT!|石家庄市|当前|0", 0, ""},
        {"!RECORDCOUNT!|保定市|当前|20", 0, ""},  // another area's count
        {"!GUANZHUCOUNT!|30", 1, "!GUANZHURECORD!|0|30|{q}^"},
        {"!GUANZHUCOUNT!|30", 0, ""},  // not in watch mode
        {"!SOUSUOCOUNT!|100", 0, "!SOUSUORECORD!|0|80|{q}^"},
    };
    for (const Case& c : cases) {
        ClientModel& m = core.model();
        m.watchMode = c.watchMode;
        m.watchRecordQuery = "W";
        m.searchRecordQuery = "S";
        wire.sent.clear();
        Receive(c.reply);
        std::string expected = c.expectedRequest;
        if (const std::size_t q = expected.find("{q}"); q != std::string::npos) {
            expected.replace(q, 3, expected.rfind("!SOUSUO", 0) == 0 ? "S" : "W");
        }
        if (expected.empty()) {
            EXPECT_THAT(wire.sent, IsEmpty()) << c.reply;
        } else {
            EXPECT_THAT(wire.sent, ElementsAre(expected)) << c.reply;
        }
    }
}

}  // namespace
}  // namespace tovan
