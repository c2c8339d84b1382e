#include "client/model/chat_relay.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tovan {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Records what the list asks of a window; `deleted` outlives it.
struct FakeWindow : ChatWindowLink {
    FakeWindow(const ChatPeer& p, std::vector<std::string>& log) : peer(p), log(log) {}
    ~FakeWindow() override { log.push_back("deleted " + peer.peerUserId); }
    ChatPeer& Peer() override { return peer; }
    void SendAddChater() override { log.push_back("request " + peer.peerUserId); }
    void AddPeerAddresses() override {
        log.push_back("addresses " + peer.peerUserId + " " + peer.peerPublicAddress + ":" +
                      std::to_string(peer.peerPublicPort) + " " + peer.peerLocalAddress + ":" +
                      std::to_string(peer.peerLocalPort));
    }
    void AddChater(const std::string& ip, int port) override {
        log.push_back("control " + peer.peerUserId + " " + ip + ":" + std::to_string(port));
    }
    void ShowInFront(bool byUser) override { shown.push_back(byUser ? "by user" : "by request"); }
    ChatPeer peer;
    std::vector<std::string> shown;
    std::vector<std::string>& log;
};

struct FakePorts : ChatListPorts, Outbox {
    std::unique_ptr<ChatWindowLink> CreateChatWindow(const ChatPeer& p) override {
        log.push_back("open " + p.peerUserId + " initiated " + std::to_string(p.initiatedLocally));
        if (refuse) return nullptr;
        auto w = std::make_unique<FakeWindow>(p, log);
        made.push_back(w.get());
        return w;
    }
    std::string OwnUserId() override { return "me"; }
    void RefuseRelayed(const std::string& id) override { log.push_back("refused " + id); }
    // The session's outbox: every send is tried, a failed one is queued.
    void Send(const std::string& line) override {
        sent.push_back(line);
        if (!sendWorks) queued.push_back(line);
    }
    void DropQueuedListRequests() override {}

    std::vector<std::string> log, sent, queued;
    std::vector<FakeWindow*> made;
    bool refuse = false;
    bool sendWorks = true;
};

class ChatListTest : public ::testing::Test {
protected:
    FakeWindow& Open(const std::string& id) {
        list.OpenChat(id, "", 0, "", 0, 1);
        return *ports.made.back();
    }
    FakePorts ports;
    ChatList list{ports, ports};
};

TEST_F(ChatListTest, OwnDoubleClickOpensOneWindowPerPeerAndIgnoresTheUserHimself) {
    list.OpenChat("me", "", 0, "", 0, 1);
    EXPECT_EQ(list.size(), 0u);
    FakeWindow& a = Open("alice");
    EXPECT_EQ(a.peer.peerName, "alice");
    EXPECT_EQ(a.peer.initiatedLocally, 1);
    // A second double-click repeats the request in the same window.
    list.OpenChat("alice", "", 0, "", 0, 1);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_THAT(ports.log, ElementsAre("open alice initiated 1", "request alice"));
    EXPECT_THAT(ports.sent, IsEmpty());
}

// Another user must not make this client ask a name server, which can keep
// the window thread waiting for seconds, as often as he likes.
TEST_F(ChatListTest, RelayedLinesNamingHostsAreRefusedAndNothingIsLookedUp) {
    FakeWindow& bob = Open("bob");
    ports.log.clear();
    list.OnAddChater("!ADDCHATER!|carol|slow.example|5000|10.0.0.2|5001");
    list.OnAddChater("!ADDCHATER!|carol|1.2.3.4|5000|host.lan|5001");
    list.OnBddChater("!BDDCHATER!|bob|1.2.3.4|5000|127.1|5001");
    EXPECT_THAT(ports.log, ElementsAre("refused carol", "refused carol", "refused bob"));
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(bob.peer.peerPublicAddress, "");
    EXPECT_THAT(ports.sent, IsEmpty());
}

TEST_F(ChatListTest, RelayedRequestOpensAWaitingWindowWithTheRelayedAddresses) {
    list.OnAddChater("!ADDCHATER!|bob|1.2.3.4|5000|192.168.0.9|abc");
    ASSERT_EQ(list.size(), 1u);
    const ChatPeer& p = ports.made[0]->peer;
    EXPECT_EQ(p.peerUserId, "bob");
    EXPECT_EQ(p.initiatedLocally, 0);
    EXPECT_EQ(p.peerPublicAddress, "1.2.3.4");
    EXPECT_EQ(p.peerPublicPort, 5000);
    EXPECT_EQ(p.peerLocalAddress, "192.168.0.9");
    EXPECT_EQ(p.peerLocalPort, 0);  // not a number
    EXPECT_THAT(ports.sent, IsEmpty());  // the new window answers once it knows its address
}

TEST_F(ChatListTest, RelayedRequestReusesTheUnconnectedWindowAndAnswersWithTheUserId) {
    FakeWindow& w = Open("bob");
    w.peer.peerName = "李明";  // from an earlier name exchange
    w.peer.ownPublicAddress = "8.8.8.8";
    w.peer.ownPublicPort = 7000;
    w.peer.ownLocalAddress = "10.0.0.1";
    w.peer.ownLocalPort = 7001;
    ports.log.clear();
    list.OnAddChater("!ADDCHATER!|bob|1.2.3.4|5000|192.168.0.9|5001");
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(w.peer.peerName, "bob");
    EXPECT_EQ(w.peer.initiatedLocally, 0);
    EXPECT_THAT(ports.log, ElementsAre("control bob 192.168.0.9:5001", "control bob 1.2.3.4:5000"));
    EXPECT_THAT(ports.sent, ElementsAre("!BDDCHATER!|bob|8.8.8.8|7000|10.0.0.1|7001^"));

    // Equal addresses: one control call. A failed answer waits in the queue.
    ports.log.clear();
    ports.sent.clear();
    ports.sendWorks = false;
    list.OnAddChater("!ADDCHATER!|bob|1.2.3.4|5000|1.2.3.4|5000");
    EXPECT_THAT(ports.log, ElementsAre("control bob 1.2.3.4:5000"));
    EXPECT_THAT(ports.queued, ElementsAre("!BDDCHATER!|bob|8.8.8.8|7000|10.0.0.1|7001^"));
}

TEST_F(ChatListTest, ConnectedWindowIsLeftAlone) {
    FakeWindow& w = Open("bob");
    w.peer.connected = 1;
    w.peer.peerName = "李明";
    ports.log.clear();
    list.OnAddChater("!ADDCHATER!|bob|1.2.3.4|5000|1.2.3.4|5000");
    list.OnBddChater("!BDDCHATER!|bob|1.2.3.4|5000|1.2.3.4|5000");
    list.OpenChat("bob", "", 0, "", 0, 1);
    EXPECT_THAT(ports.log, IsEmpty());
    EXPECT_THAT(ports.sent, IsEmpty());
    EXPECT_EQ(w.peer.peerName, "李明");
    EXPECT_EQ(w.peer.peerPublicAddress, "");
}

TEST_F(ChatListTest, WindowAskedForAgainComesToTheFront) {
    FakeWindow& w = Open("bob");
    EXPECT_THAT(w.shown, IsEmpty());  // a new window is shown by its maker
    list.OpenChat("bob", "", 0, "", 0, 1);
    list.OnAddChater("!ADDCHATER!|bob|1.2.3.4|5000|1.2.3.4|5000");
    EXPECT_THAT(w.shown, ElementsAre("by user", "by request"));

    w.shown.clear();
    w.peer.connected = 1;
    list.OnAddChater("!ADDCHATER!|bob|1.2.3.4|5000|1.2.3.4|5000");
    EXPECT_THAT(w.shown, IsEmpty());
    list.OpenChat("bob", "", 0, "", 0, 1);
    EXPECT_THAT(w.shown, ElementsAre("by user"));
}

TEST_F(ChatListTest, RelayedAnswerReachesOnlyTheWindowOfItsPeer) {
    FakeWindow& older = Open("alice");
    FakeWindow& newer = Open("bob");
    ports.log.clear();
    list.OnBddChater("!BDDCHATER!|alice|1.2.3.4|5000|1.2.3.4|x");
    list.OnBddChater("!BDDCHATER!|carol|1.1.1.1|1|1.1.1.1|1");  // no window: ignored
    list.OnBddChater("!BDDCHATER!|me|1.1.1.1|1|1.1.1.1|1");     // the user himself
    EXPECT_THAT(ports.log, ElementsAre("addresses alice 1.2.3.4:5000 1.2.3.4:0"));
    EXPECT_EQ(older.peer.peerName, "alice");
    EXPECT_EQ(newer.peer.peerPublicAddress, "");
    EXPECT_EQ(list.size(), 2u);
}

TEST_F(ChatListTest, MalformedAndHostileRelayLinesChangeNothing) {
    const std::string longId(5000, 'x');
    const std::string tooLong = "!ADDCHATER!|" + longId + "|1.2.3.4|99999999999999999999|1.2.3.4|-7";
    for (const char* msg : {"!ADDCHATER!", "!ADDCHATER!|bob", "!ADDCHATER!|bob|1.2.3.4|5000|1.2.3.4",
                            "!ADDCHATER!||||||", "!ADDCHATER!|me|1.2.3.4|1|1.2.3.4|1"}) {
        list.OnAddChater(msg);
        list.OnBddChater(msg);
    }
    list.OnAddChater(nullptr);
    EXPECT_EQ(list.size(), 0u);
    list.OnAddChater(tooLong.c_str());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(ports.made[0]->peer.peerUserId, longId);
    EXPECT_EQ(ports.made[0]->peer.peerPublicPort, 2147483647);
    EXPECT_EQ(ports.made[0]->peer.peerLocalPort, -7);
}

TEST_F(ChatListTest, RefusedWindowIsNotListed) {
    ports.refuse = true;
    list.OpenChat("bob", "", 0, "", 0, 1);
    EXPECT_EQ(list.size(), 0u);
    ports.refuse = false;
    Open("bob");
    EXPECT_EQ(list.size(), 1u);
}

TEST_F(ChatListTest, SweepDeletesEveryClosedWindowInOnePass) {
    Open("a").peer.closeRequested = 1;
    Open("b").peer.closeRequested = 1;
    Open("c");
    Open("d").peer.closeRequested = 1;
    ports.log.clear();
    list.SweepClosedChats();
    EXPECT_THAT(ports.log, ElementsAre("deleted a", "deleted b", "deleted d"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.at(0).Peer().peerUserId, "c");
    // A closed peer gets a new window on the next request.
    list.OnAddChater("!ADDCHATER!|a|1.2.3.4|1|1.2.3.4|1");
    EXPECT_EQ(list.size(), 2u);
}

}  // namespace
}  // namespace tovan
