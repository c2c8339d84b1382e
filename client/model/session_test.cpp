#include "client/model/session.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tovan {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// Records what the session did to the socket; sends fail while `failing`
// matches (all, or texts containing a marker).
struct FakeSocket : SessionSocket {
    std::vector<std::string> calls;  // "close", "create", "connect host:port", "shutdown"
    std::vector<std::string> sent;   // texts taken
    std::vector<std::string> refused;
    bool down = false;               // every send fails
    std::string failMarker;          // sends of texts containing it fail
    int connectError = 0;

    void Close() override { calls.push_back("close"); }
    int Create() override { calls.push_back("create"); return 0; }
    int Connect(const std::string& host, int port) override {
        calls.push_back("connect " + host + ":" + std::to_string(port));
        return connectError;
    }
    int Send(std::string_view t) override {
        const std::string text(t);
        if (down || (!failMarker.empty() && text.find(failMarker) != std::string::npos)) {
            refused.push_back(text);
            return -1;
        }
        sent.push_back(text);
        return static_cast<int>(text.size());
    }
    void ShutdownSend() override { calls.push_back("shutdown"); }
};

struct FakeTimers : SessionTimers {
    std::map<unsigned, unsigned> running;  // id -> period
    void Start(unsigned id, unsigned ms) override { running[id] = ms; }
    void Stop(unsigned id) override { running.erase(id); }
};

struct FakeClock : Clock {
    std::tm LocalNow() override {
        std::tm t{};
        t.tm_hour = 9;
        t.tm_min = 5;
        t.tm_sec = 7;
        return t;
    }
};

// Answers the login dialog from a script; records the messages it showed.
struct FakeLogin : LoginPrompt {
    std::deque<bool> answers;
    std::string typedName = "typed";
    std::vector<std::string> shown;
    std::function<void()> whileShowing;  // runs inside the "modal loop"
    bool Ask(const std::string& message, std::string& name, std::string& password) override {
        shown.push_back(message);
        if (whileShowing) whileShowing();
        const bool ok = answers.empty() ? false : answers.front();
        if (!answers.empty()) answers.pop_front();
        if (ok) {
            name = typedName;
            password = "pw";
        }
        return ok;
    }
};

struct FakeLog : LogWindowSink {
    std::vector<std::string> lines;
    int raised = 0;
    void AddLine(const std::string& l) override { lines.push_back(l); }
    void ShowAndRaise() override { ++raised; }
};

struct FakeNotice : NoticeSink {
    std::vector<std::string> shown;
    void ShowNotice(const std::string& t) override { shown.push_back(t); }
};

const std::string kMid = "0123456789ABCDEF0123456789ABCDEF-001A2BC3D4E5";

class SessionTest : public ::testing::Test {
protected:
    SessionTest()
        : session_(SessionPorts{socket_, timers_, clock_, login_, log_, notice_}, account_, Hooks()) {
        SessionSettings s;
        s.serverHost = "10.0.0.5";
        s.serverPort = 8000;
        s.userName = "zhang";
        s.password = "-";
        session_.Configure(s, [this] {
            ++machineIdLookups_;
            return kMid;
        });
    }

    SessionHooks Hooks() {
        SessionHooks h;
        h.clearRecordLists = [this] { hookCalls_.push_back("clear"); };
        h.selectOwnAreaInTree = [this] {
            hookCalls_.push_back("select " + session_.account().currentArea +
                                 (session_.unsentQueue().size() == 1 ? " (one queued)" : ""));
            return false;  // the tree asked for nothing
        };
        h.setLimitedRights = [this](bool l) { hookCalls_.push_back(l ? "limited" : "full"); };
        h.updateTitleAndPages = [this] { hookCalls_.push_back("title"); };
        h.updateCurrentInfoButton = [this] { hookCalls_.push_back("button"); };
        h.refillShownList = [this] {
            hookCalls_.push_back(socket_.sent.empty() ? "refill (nothing sent yet)" : "refill");
        };
        h.pagingTick = [this] {
            hookCalls_.push_back(timers_.running.count(kPagingTimer) ? "page (armed)" : "page");
        };
        return h;
    }

    // Start-up up to a live session: connect, connected, logon sent.
    void GoOnline() {
        session_.Connect();
        session_.OnConnect(0);
        socket_.calls.clear();
        socket_.sent.clear();
        log_.lines.clear();
    }

    FakeSocket socket_;
    FakeTimers timers_;
    FakeClock clock_;
    FakeLogin login_;
    FakeLog log_;
    FakeNotice notice_;
    std::vector<std::string> hookCalls_;
    int machineIdLookups_ = 0;
    AccountState account_;
    Session session_;
};

TEST_F(SessionTest, FirstConnectLogsOnSilentlyAndStartsPagingAndKeepAlive) {
    session_.Connect();
    EXPECT_THAT(login_.shown, IsEmpty());
    EXPECT_THAT(socket_.calls, ElementsAre("close", "create", "connect 10.0.0.5:8000"));
    EXPECT_THAT(timers_.running, IsEmpty());  // no logon before the connect completes

    session_.OnConnect(0);
    EXPECT_THAT(socket_.sent, ElementsAre("!LOGON!|zhang|-|" + kMid + "^"));
    EXPECT_EQ(timers_.running, (std::map<unsigned, unsigned>{{1, 500}, {2, 1400}}));
    EXPECT_THAT(log_.lines, ElementsAre("09:05:07 正在连接服务器...", "09:05:07 连接服务器成功"));
    EXPECT_EQ(log_.raised, 0);
    EXPECT_THAT(session_.logLines(), ElementsAreArray(log_.lines));  // kept for a log window opened later
}

TEST_F(SessionTest, DaysOfFailedConnectsLeaveTheLogBounded) {
    session_.Connect();
    for (int i = 0; i < 100'000; ++i) {
        session_.OnConnect(10061);
        session_.OnTimer(kReconnectTimer);
        log_.lines.clear();
    }
    ASSERT_EQ(session_.logLines().size(), kConnectionLogLines);
    EXPECT_EQ(session_.logLines().front(), "09:05:07 连接服务器失败");
    EXPECT_EQ(session_.logLines().back(), "09:05:07 正在连接服务器...");
}

TEST_F(SessionTest, MachineIdIsLookedUpAtTheFirstLogonOnly) {
    session_.Connect();
    EXPECT_EQ(machineIdLookups_, 0);  // the frame may still be reading the adapters
    session_.OnConnect(0);
    session_.OnClose(0);
    session_.OnConnect(0);
    EXPECT_EQ(machineIdLookups_, 1);
    EXPECT_THAT(socket_.sent, ElementsAre("!LOGON!|zhang|-|" + kMid + "^", "!LOGON!|zhang|-|" + kMid + "^"));
}

TEST_F(SessionTest, FailedConnectRetriesEvery1500msWithoutTheDialog) {
    session_.Connect();
    session_.OnConnect(10061);  // refused
    EXPECT_EQ(timers_.running, (std::map<unsigned, unsigned>{{8, 1500}}));
    EXPECT_EQ(session_.pendingLoginError(), "无法连接服务器，请检查网络");
    EXPECT_EQ(log_.lines.back(), "09:05:07 连接服务器失败");
    EXPECT_EQ(log_.raised, 1);

    socket_.calls.clear();
    EXPECT_TRUE(session_.OnTimer(8));
    EXPECT_THAT(timers_.running, IsEmpty());  // one shot
    EXPECT_THAT(socket_.calls, ElementsAre("close", "create", "connect 10.0.0.5:8000"));
    EXPECT_EQ(session_.pendingLoginError(), "");  // every connect clears it at its end
    EXPECT_THAT(login_.shown, IsEmpty());
}

TEST_F(SessionTest, LoginCommandAfterAFailedConnectShowsWhyAndSendsTheTypedUser) {
    session_.Connect();
    session_.OnConnect(10061);
    login_.answers = {true};
    session_.LoginCommand();
    EXPECT_THAT(login_.shown, ElementsAre("无法连接服务器，请检查网络"));
    EXPECT_EQ(timers_.running.count(8), 0u);  // the retry must not replace this connection
    session_.OnConnect(0);
    EXPECT_EQ(socket_.sent.back(), "!LOGON!|typed|pw|" + kMid + "^");
    EXPECT_FALSE(session_.showLoginFirst());
}

TEST_F(SessionTest, ImmediateConnectFailureInTheDialogCaseRetriesNonInteractively) {
    socket_.connectError = 10049;
    login_.answers = {true};
    session_.LoginCommand();
    EXPECT_THAT(socket_.calls,
                ElementsAre("close", "create", "connect 10.0.0.5:8000", "shutdown"));
    EXPECT_FALSE(session_.showLoginFirst());
    EXPECT_EQ(timers_.running.count(8), 1u);
    EXPECT_EQ(log_.raised, 1);

    session_.OnTimer(8);
    EXPECT_EQ(login_.shown.size(), 1u);  // the retry did not ask again
    EXPECT_EQ(socket_.calls.back(), "connect 10.0.0.5:8000");
    EXPECT_EQ(std::count(socket_.calls.begin(), socket_.calls.end(), "shutdown"), 1);
}

TEST_F(SessionTest, CancelledDialogAfterAClosedConnectionLeavesTheClientOffline) {
    GoOnline();
    session_.OnErr("!ERR!|密码错误");
    session_.OnClose(0);  // the server closes after its error
    EXPECT_THAT(login_.shown, ElementsAre("密码错误"));
    EXPECT_THAT(socket_.calls, IsEmpty());   // nothing re-opened
    EXPECT_THAT(timers_.running, IsEmpty()); // no paging, keep-alive or retry
    EXPECT_TRUE(session_.showLoginFirst());
    EXPECT_EQ(session_.pendingLoginError(), "");
    EXPECT_THAT(log_.lines, ElementsAre("09:05:07 发生错误:密码错误", "09:05:07 连接已关闭",
                                        "09:05:07 正在连接服务器..."));

    // Only the login command starts a new attempt.
    login_.answers = {true};
    session_.LoginCommand();
    EXPECT_EQ(login_.shown.size(), 2u);
    EXPECT_THAT(socket_.calls, ElementsAre("close", "create", "connect 10.0.0.5:8000"));
}

TEST_F(SessionTest, LoginCommandWhileConnected) {
    GoOnline();
    session_.Send("!ADDMSG!|货|x^");
    socket_.down = true;
    session_.Send("!ADDMSG!|货|queued^");
    socket_.down = false;

    // Cancel: the live session, its timers and its queue go on; the flag stays set.
    session_.LoginCommand();
    EXPECT_THAT(socket_.calls, IsEmpty());
    EXPECT_EQ(timers_.running.size(), 2u);
    EXPECT_TRUE(session_.showLoginFirst());
    EXPECT_THAT(session_.unsentQueue(), ElementsAre("!ADDMSG!|货|queued^"));

    // OK the next time: the live socket is replaced without a close
    // notification; the timers run on until the new connect starts them again.
    login_.answers = {true};
    session_.LoginCommand();
    EXPECT_THAT(socket_.calls, ElementsAre("close", "create", "connect 10.0.0.5:8000"));
    EXPECT_EQ(timers_.running.size(), 2u);
    session_.OnConnect(0);
    EXPECT_EQ(socket_.sent.back(), "!LOGON!|typed|pw|" + kMid + "^");
}

// The queue holds what the account did while offline (offers, resends,
// deals): the same account logging on through the dialog sends it after the
// logon, on the first keep-alive tick, as after a reconnect; another account
// must not send it under its name, so it goes and the user is told.
TEST_F(SessionTest, UnsentQueueOutlivesTheDialogOnlyForTheSameAccount) {
    std::vector<std::string> told;
    SessionHooks hooks;
    hooks.tellUser = [&told](const std::string& text) { told.push_back(text); };
    Session session(SessionPorts{socket_, timers_, clock_, login_, log_, notice_}, account_, hooks);
    SessionSettings s;
    s.userName = "zhang";
    s.password = "pw";
    session.Configure(s, [] { return kMid; });

    struct Case { const char* typedName; std::vector<std::string> sentAfterLogon; const char* told; };
    const Case cases[] = {
        {"zhang", {"!ADDMSG!|货|first^", "!CHENGJIAO!|7^"}, nullptr},
        {"li", {"LOOP^"}, "已换用其他客户号登录，上一客户号未发出的 2 条信息已丢弃"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typedName);
        socket_.down = true;
        session.Send("!ADDMSG!|货|first^");
        session.Send("!CHENGJIAO!|7^");
        socket_.down = false;
        log_.lines.clear();
        told.clear();

        login_.typedName = c.typedName;
        login_.answers = {true};
        session.LoginCommand();
        session.OnConnect(0);
        socket_.sent.clear();
        session.OnTimer(2);
        EXPECT_EQ(socket_.sent, c.sentAfterLogon);
        EXPECT_THAT(session.unsentQueue(), IsEmpty());
        if (c.told) {
            EXPECT_THAT(told, ElementsAre(c.told));
            EXPECT_NE(std::find(log_.lines.begin(), log_.lines.end(), std::string("09:05:07 ") + c.told),
                      log_.lines.end());
        } else {
            EXPECT_THAT(told, IsEmpty());
        }
        login_.typedName = "zhang";  // the next case starts as zhang again
        login_.answers = {true};
        session.LoginCommand();
        session.OnConnect(0);
    }
}

// A stored name or password that cannot be sent is not tried at start-up:
// the dialog comes with the reason, and only what it gives is sent.
TEST_F(SessionTest, StoredUserThatCannotBeSentBringsTheDialogInstead) {
    struct Case { const char* name; const char* password; const char* shown; };
    const Case cases[] = {
        {"te^st|x'\"\\", "a|b^c", "客户号不能含有 | 或 ^ 字符"},
        {"test", "a|b^c", "密码不能含有 | 或 ^ 字符"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SessionSettings s;
        s.serverHost = "10.0.0.5";
        s.userName = c.name;
        s.password = c.password;
        session_.Configure(s, [] { return kMid; });
        login_.shown.clear();
        socket_.calls.clear();
        socket_.sent.clear();

        session_.Connect();  // cancelled
        EXPECT_THAT(login_.shown, ElementsAre(c.shown));
        EXPECT_THAT(socket_.calls, IsEmpty());
        EXPECT_TRUE(session_.showLoginFirst());

        login_.answers = {true};
        session_.Connect();
        session_.OnConnect(0);
        EXPECT_THAT(socket_.sent, ElementsAre("!LOGON!|typed|pw|" + kMid + "^"));
    }
}

// Each field of the logon line ends on a whole character, so that the "|"
// after it stays a separator for a server that reads GBK.
TEST_F(SessionTest, StoredFieldsAreCutBetweenCharacters) {
    std::string hundred;  // 200 bytes: a byte cut at 199 leaves a lone lead byte
    for (int i = 0; i < 100; ++i) hundred += "张";
    SessionSettings s;
    s.serverHost = "10.0.0.5";
    s.userName = hundred;
    s.password = "密\xC2";  // read cut short from the profile
    session_.Configure(s, [] { return kMid; });
    session_.Connect();
    session_.OnConnect(0);
    EXPECT_THAT(socket_.sent, ElementsAre("!LOGON!|" + hundred.substr(0, 198) + "|密|" + kMid + "^"));
}

TEST_F(SessionTest, CancelledLoginCommandBringsTheDialogBackWhenTheSessionCloses) {
    GoOnline();
    session_.LoginCommand();  // cancelled: the session goes on
    EXPECT_EQ(timers_.running.size(), 2u);
    session_.OnClose(0);
    EXPECT_EQ(login_.shown.size(), 2u);  // the flag was still set
    EXPECT_THAT(socket_.calls, IsEmpty());
    EXPECT_THAT(timers_.running, IsEmpty());
}

TEST_F(SessionTest, CloseWhileTheDialogIsUpDoesNotOpenASecondDialog) {
    GoOnline();
    login_.whileShowing = [this] { session_.OnClose(0); };
    session_.LoginCommand();  // cancelled; the connection closed meanwhile
    EXPECT_EQ(login_.shown.size(), 1u);
    EXPECT_THAT(socket_.calls, IsEmpty());
    EXPECT_THAT(timers_.running, IsEmpty());
    EXPECT_TRUE(session_.showLoginFirst());
}

TEST_F(SessionTest, KeepAliveTickDrainsTheQueueInsteadOfLoop) {
    GoOnline();
    session_.OnTimer(2);
    EXPECT_THAT(socket_.sent, ElementsAre("LOOP^"));

    socket_.down = true;
    session_.Send("one^");
    session_.Send("two^");
    session_.Send("three^");
    socket_.down = false;
    EXPECT_THAT(session_.unsentQueue(), ElementsAre("one^", "two^", "three^"));

    socket_.sent.clear();
    socket_.failMarker = "two";
    session_.OnTimer(2);
    EXPECT_THAT(socket_.sent, ElementsAre("one^", "three^"));  // no "LOOP^" in this tick
    EXPECT_THAT(session_.unsentQueue(), ElementsAre("two^"));

    socket_.failMarker.clear();
    session_.OnTimer(2);
    session_.OnTimer(2);
    EXPECT_THAT(socket_.sent, ElementsAre("one^", "three^", "two^", "LOOP^"));
}

TEST_F(SessionTest, LogonKeepAliveAndAreaRequestAreNeverQueued) {
    socket_.down = true;
    session_.Connect();
    session_.OnConnect(0);
    session_.OnTimer(2);
    session_.OnOk("!OK!|c|p|u1|1|n|-|-|30|1^");
    EXPECT_EQ(socket_.refused.size(), 3u);
    EXPECT_THAT(session_.unsentQueue(), IsEmpty());
}

TEST_F(SessionTest, TextQueuedWhileOfflineGoesOutAfterTheReconnect) {
    GoOnline();
    session_.OnClose(0);  // server dropped us; reconnect at once
    EXPECT_THAT(socket_.calls, ElementsAre("close", "create", "connect 10.0.0.5:8000"));
    socket_.down = true;
    session_.Send("!ADDMSG!|车|late^");
    socket_.down = false;
    session_.OnConnect(0);
    EXPECT_THAT(socket_.sent, ElementsAre("!LOGON!|zhang|-|" + kMid + "^"));
    session_.OnTimer(2);
    EXPECT_EQ(socket_.sent.back(), "!ADDMSG!|车|late^");
    EXPECT_THAT(session_.unsentQueue(), IsEmpty());
}

TEST_F(SessionTest, ServerClosingBeforeTheLogonReplyIsRetriedAtTheFailedConnectPace) {
    // Accepted and closed at once, again and again: the first closes reconnect
    // at once, then every further one waits for timer 8.
    session_.Connect();
    int connects = 0;
    for (int i = 0; i < 10; ++i) {
        session_.OnConnect(0);
        socket_.calls.clear();
        session_.OnClose(0);
        const bool reconnected = !socket_.calls.empty();
        if (i + 1 < kImmediateClosesBeforeWait) {
            EXPECT_TRUE(reconnected) << i;
            EXPECT_EQ(timers_.running.count(kReconnectTimer), 0u) << i;
        } else {
            EXPECT_FALSE(reconnected) << i;
            EXPECT_EQ(timers_.running, (std::map<unsigned, unsigned>{{8, 1500}})) << i;
            session_.OnTimer(kReconnectTimer);  // the wait is over
            EXPECT_THAT(socket_.calls, ElementsAre("close", "create", "connect 10.0.0.5:8000"));
        }
        connects += reconnected ? 1 : 0;
    }
    EXPECT_EQ(connects, kImmediateClosesBeforeWait - 1);
    EXPECT_THAT(login_.shown, IsEmpty());

    // A logon that holds ends the run: the next drop reconnects at once.
    session_.OnConnect(0);
    session_.OnOk("!OK!|c|p|u1|1|n|-|-|30|1");
    EXPECT_EQ(timers_.running.at(kLogonHeldTimer), 10'000u);
    EXPECT_TRUE(session_.OnTimer(kLogonHeldTimer));
    EXPECT_EQ(timers_.running.count(kLogonHeldTimer), 0u);
    socket_.calls.clear();
    session_.OnClose(0);
    EXPECT_THAT(socket_.calls, ElementsAre("close", "create", "connect 10.0.0.5:8000"));

    // The login dialog after an error is not delayed.
    for (int i = 0; i < kImmediateClosesBeforeWait; ++i) session_.OnClose(0);
    session_.OnErr("!ERR!|停用");
    session_.OnClose(0);
    EXPECT_THAT(login_.shown, ElementsAre("停用"));
}

// The account logged on elsewhere, or a server that restarts: every logon is
// accepted and then closed. After the first few, each close waits for the
// retry timer, and the log says why.
TEST_F(SessionTest, ServerClosingSoonAfterTheLogonIsRetriedAtTheFailedConnectPace) {
    session_.Connect();
    int immediateReconnects = 0;
    for (int i = 0; i < 10; ++i) {
        session_.OnConnect(0);
        session_.OnOk("!OK!|c|p|u1|1|n|-|-|30|1");
        socket_.calls.clear();
        log_.lines.clear();
        session_.OnClose(0);
        if (!socket_.calls.empty()) {
            ++immediateReconnects;
            continue;
        }
        EXPECT_EQ(timers_.running, (std::map<unsigned, unsigned>{{kReconnectTimer, 1500}})) << i;
        EXPECT_THAT(log_.lines, ElementsAre("09:05:07 连接已关闭",
                                            "09:05:07 登录后连接随即被服务器关闭（该帐号可能已在别处登录），稍后重新连接"))
            << i;
        session_.OnTimer(kReconnectTimer);
        EXPECT_THAT(socket_.calls, ElementsAre("close", "create", "connect 10.0.0.5:8000")) << i;
    }
    EXPECT_EQ(immediateReconnects, kImmediateClosesBeforeWait - 1);
}

TEST_F(SessionTest, PagingTimerStopsRunsTheHookAndRearms) {
    EXPECT_FALSE(session_.OnTimer(9));
    GoOnline();
    EXPECT_TRUE(session_.OnTimer(1));
    EXPECT_THAT(hookCalls_, ElementsAre("page"));  // stopped while the hook runs
    EXPECT_EQ(timers_.running.at(1), 500u);

    session_.OnClose(0);
    session_.OnTimer(1);  // a tick left over from before the close
    EXPECT_THAT(hookCalls_, ElementsAre("page"));
    EXPECT_EQ(timers_.running.count(1), 0u);
}

// --- logon reply ---------------------------------------------------------

TEST_F(SessionTest, NineFieldReplyAppliesDefaultsAndAsksForTheAreaOfItsLevel) {
    struct Case { const char* level; const char* key; };
    for (const Case& c : {Case{"1", "湖南"}, Case{"2", "长沙"}, Case{"0", "湖南"}}) {
        SCOPED_TRACE(c.level);
        GoOnline();
        hookCalls_.clear();
        socket_.down = true;
        session_.Send("!SINGLERECORD!|0|80|旧^");  // a row request for the old list
        session_.Send("!ADDMSG!|货|keep^");          // the user's offer
        socket_.down = false;

        session_.OnOk((std::string("!OK!|长沙|湖南|u7|") + c.level + "|李四|-|-|30|3").c_str());
        const AccountState& a = session_.account();
        EXPECT_EQ(a.homeCity, "长沙");
        EXPECT_EQ(a.homeProvince, "湖南");
        EXPECT_EQ(a.ownUserId, "u7");
        EXPECT_EQ(a.contactName, "李四");
        EXPECT_EQ(a.contactPhone, "");
        EXPECT_EQ(a.contactMobile, "");
        EXPECT_EQ(a.serviceDaysLeft, 30);
        EXPECT_EQ(a.publishRights, 3);
        EXPECT_EQ(a.thirdArea, "长沙");  // J defaults to the home city
        EXPECT_EQ(a.isFullMember, 1);     // K defaults to "1"
        EXPECT_EQ(a.accountTitle, "");
        EXPECT_EQ(a.currentArea, c.key);
        EXPECT_THAT(socket_.sent, ElementsAre(std::string("!TODAYRECORD!|") + c.key + "^"));
        EXPECT_THAT(hookCalls_, ElementsAre("clear", std::string("select ") + c.key + " (one queued)",
                                            "full", "title", "refill", "button"));
        // The stale request went; the offer waits for the next keep-alive tick.
        EXPECT_THAT(session_.unsentQueue(), ElementsAre("!ADDMSG!|货|keep^"));
        session_.ClearUnsentQueue();
        EXPECT_EQ(log_.lines.back(), "09:05:07 已成功登录");
    }
}

TEST_F(SessionTest, OptionalFieldsAndLimitedRights) {
    GoOnline();
    session_.OnOk("!OK!|长沙|湖南|u7|2|李四|0731-1234|13800000000|5|1|岳阳|0|长沙物流");
    const AccountState& a = session_.account();
    EXPECT_EQ(a.contactPhone, "0731-1234");
    EXPECT_EQ(a.contactMobile, "13800000000");
    EXPECT_EQ(a.thirdArea, "岳阳");
    EXPECT_EQ(a.isFullMember, 0);
    EXPECT_EQ(a.accountTitle, "长沙物流");
    EXPECT_THAT(hookCalls_, ::testing::Contains("limited"));

    // Numbers read like the C library: junk is 0.
    session_.OnOk("!OK!|长沙|湖南|u7|x|李四|-|-|abc|9z|岳阳|yes");
    EXPECT_EQ(session_.account().areaLevel, 0);
    EXPECT_EQ(session_.account().serviceDaysLeft, 0);
    EXPECT_EQ(session_.account().publishRights, 9);
    EXPECT_EQ(session_.account().isFullMember, 0);
}

TEST_F(SessionTest, ShortReplyIsALogonErrorThatRestartsThroughTheDialog) {
    GoOnline();
    session_.OnOk("!OK!|长沙|湖南|u7|2|李四|-|-|30|1|岳阳|0|物流");
    hookCalls_.clear();
    log_.lines.clear();
    session_.OnOk("!OK!|广州|广东|u8|1|王五|-|-|30");  // eight fields
    session_.OnOk("!OK!junk");                      // no field at all
    const AccountState& a = session_.account();
    EXPECT_EQ(a.homeCity, "长沙");  // the earlier logon's values stay
    EXPECT_EQ(a.currentArea, "长沙");
    EXPECT_EQ(a.isFullMember, 0);
    EXPECT_EQ(a.accountTitle, "物流");
    EXPECT_THAT(hookCalls_, ElementsAre("clear", "clear"));
    EXPECT_THAT(login_.shown, ElementsAre("客户信息错误，请联系管理员", "客户信息错误，请联系管理员"));
    EXPECT_THAT(timers_.running, IsEmpty());
    EXPECT_EQ(std::count(log_.lines.begin(), log_.lines.end(), "09:05:07 发生错误:客户信息错误，请联系管理员"), 2);
}

TEST_F(SessionTest, ShortReplyConfirmedReconnectsWithTheTypedUser) {
    GoOnline();
    login_.answers = {true};
    session_.OnOk("!OK!|a|b");
    EXPECT_THAT(log_.lines, ElementsAre("09:05:07 发生错误:客户信息错误，请联系管理员",
                                        "09:05:07 连接已关闭", "09:05:07 正在连接服务器..."));
    EXPECT_THAT(socket_.calls, ElementsAre("close", "create", "connect 10.0.0.5:8000"));
    session_.OnConnect(0);
    EXPECT_EQ(socket_.sent.back(), "!LOGON!|typed|pw|" + kMid + "^");
}

TEST_F(SessionTest, ErrWithoutTextOnlySetsTheFlag) {
    session_.OnErr("!ERR!");
    EXPECT_TRUE(session_.showLoginFirst());
    EXPECT_THAT(log_.lines, IsEmpty());
    EXPECT_EQ(session_.pendingLoginError(), "");
}

TEST_F(SessionTest, LongErrTextIsCutToTheWorkingCopy) {
    const std::string text(5000, 'e');
    session_.OnErr(("!ERR!|" + text).c_str());
    EXPECT_EQ(session_.pendingLoginError(), std::string(kErrCopySize - 1 - 6, 'e'));
    EXPECT_EQ(log_.lines.back().size(), std::string("09:05:07 发生错误:").size() + 993);
}

TEST_F(SessionTest, OverlongServerTextThroughTheFramerIsCutNotOverflowed) {
    GoOnline();
    ServerMessageHandler& handler = session_;
    ServerMessageFramer framer;
    const std::string city(3000, 'c');
    const std::string stream = "!ERR!|" + std::string(6000, 'e') + "^!OK!|" + city +
                               "|p|u|2|n|-|-|1|1|" + std::string(3000, 't') + "^";
    for (std::size_t at = 0; at < stream.size(); at += kReceiveChunk) {
        const std::string chunk = stream.substr(at, kReceiveChunk);
        framer.Feed(chunk.data(), chunk.size(), handler);
    }
    EXPECT_EQ(session_.pendingLoginError(), std::string(kErrCopySize - 1 - 6, 'e'));
    EXPECT_EQ(session_.account().currentArea, city);
    EXPECT_EQ(socket_.sent.back(), "!TODAYRECORD!|" + city + "^");
}

TEST_F(SessionTest, NoticeShowsItsTextOrNothing) {
    session_.OnSendNotify("!SENDNOTIFY!|今晚停机维护");
    session_.OnSendNotify("!SENDNOTIFY!");
    EXPECT_THAT(notice_.shown, ElementsAre("今晚停机维护", ""));
}

TEST(SessionMessageHandlerTest, DispatchReachesTheSession) {
    FakeSocket socket;
    FakeTimers timers;
    FakeClock clock;
    FakeLogin login;
    FakeLog log;
    FakeNotice notice;
    AccountState account;
    Session session(SessionPorts{socket, timers, clock, login, log, notice}, account);
    ServerMessageHandler& handler = session;
    ServerMessageFramer framer;
    const std::string stream = "!SENDNOTIFY!|hi^!ERR!|no^!OK!|c|p|u|2|n|-|-|1|1^";
    framer.Feed(stream.data(), stream.size(), handler);
    EXPECT_THAT(notice.shown, ElementsAre("hi"));
    EXPECT_EQ(session.pendingLoginError(), "no");
    EXPECT_EQ(session.account().currentArea, "c");
}

}  // namespace
}  // namespace tovan
