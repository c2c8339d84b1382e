#include "control/logic/peer_protocol.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "control/logic/control_test_fakes.h"
#include "control/logic/peer_datagram.h"

namespace tovan {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

const std::string kIdA = "11111111-1111-1111-1111-111111111111";
const std::string kIdB = "22222222-2222-2222-2222-222222222222";

// ---------------------------------------------------------------------------
// Two controls on a small in-memory network: datagrams are queued when sent
// and delivered by Pump(), to whatever endpoint (or NAT alias) listens there.

struct Network {
    struct Packet {
        std::string fromAddress;
        std::int32_t fromPort;
        std::string to;
        std::string bytes;
    };
    using Receiver = std::function<void(const std::string& bytes, const std::string& address, std::int32_t port)>;
    std::map<std::string, Receiver> listeners;  // "address:port"
    // A host behind a translator: its datagrams leave from the public
    // address, each port moved by the offset.
    struct Translation {
        std::string publicAddress;
        std::int32_t portOffset;
    };
    std::map<std::string, Translation> translated;  // by private address
    std::deque<Packet> queue;
    std::vector<std::string> dropped;  // datagrams to nowhere

    void Pump() {
        while (!queue.empty()) {
            Packet p = queue.front();
            queue.pop_front();
            auto nat = translated.find(p.fromAddress);
            if (nat != translated.end()) {
                p.fromAddress = nat->second.publicAddress;
                p.fromPort += nat->second.portOffset;
            }
            auto it = listeners.find(p.to);
            if (it == listeners.end()) dropped.push_back(p.to + " " + p.bytes);
            else it->second(p.bytes, p.fromAddress, p.fromPort);
        }
    }
};

struct NetSocket : DatagramSender {
    Network& net;
    std::string address;
    std::int32_t port;
    NetSocket(Network& n, std::string a, std::int32_t p) : net(n), address(std::move(a)), port(p) {}
    std::string Endpoint() const { return address + ":" + std::to_string(port); }
    void SendTo(const std::string& a, std::int32_t p, std::string_view bytes) override {
        net.queue.push_back({address, port, a + ":" + std::to_string(p), std::string(bytes)});
    }
};

// A control hosted the way the chat window hosts it: the first request that
// arrives while not connected empties the peer list and is accepted.
struct Node {
    NetSocket text, voiceReceive, voiceSend;
    FakeTimers timers;
    FakeClock& clock;
    FakeNetwork hostNetwork;
    RecordingEvents events;
    PeerProtocol control;
    bool connected = false;
    std::vector<std::string> played;

    Node(Network& net, FakeClock& c, const std::string& address, std::int32_t basePort, const std::string& id)
        : text(net, address, basePort), voiceReceive(net, address, basePort + 1),
          voiceSend(net, address, basePort + 2), clock(c),
          control({text, voiceReceive, voiceSend, timers, clock, hostNetwork, events}, id) {
        ListenText(net, text.Endpoint());
        net.listeners[voiceReceive.Endpoint()] = [this](const std::string& b, const std::string& a, std::int32_t p) {
            std::string_view sound = control.OnVoiceDatagram(b, a, p);
            if (!sound.empty()) played.emplace_back(sound);
        };
        events.then = [this](const std::string& name, const std::string& ip, std::int32_t port) {
            if (name == "PeerAdd" && !connected) {
                connected = true;
                control.RemoveAllChaters();
                control.AcceptChater(ip, port);
            } else if (name == "PeerAccept") {
                connected = true;
            }
        };
    }
    void ListenText(Network& net, const std::string& endpoint) {
        net.listeners[endpoint] = [this](const std::string& b, const std::string& a, std::int32_t p) {
            control.OnTextDatagram(b, a, p);
        };
    }
    // Puts this host behind a translator that forwards its public ports.
    void BehindTranslator(Network& net, const std::string& publicAddress, std::int32_t portOffset) {
        net.translated[text.address] = {publicAddress, portOffset};
        for (NetSocket* s : {&text, &voiceReceive}) {
            net.listeners[publicAddress + ":" + std::to_string(s->port + portOffset)] =
                net.listeners.at(s->Endpoint());
        }
    }
};

struct HandshakeTest : ::testing::Test {
    Network net;
    FakeClock clock;
    Node a{net, clock, "10.0.0.1", 4001, kIdA};
    Node b{net, clock, "10.0.0.2", 5001, kIdB};

    // After a handshake: text, voice and keep-alive flow both ways.
    void ExpectTalking(const std::string& bAsSeenByA) {
        a.control.SendShortMessage("", 0, "你好|ignored");
        b.control.SendShortMessage("", 0, "!ANAME!~王");
        net.Pump();
        EXPECT_EQ(b.events.fired.back(), "NewMessage 10.0.0.1:4001 你好");
        EXPECT_EQ(a.events.fired.back(), "NewMessage " + bAsSeenByA + " !ANAME!~王");

        a.control.SendVoice("sound-a");
        b.control.SendVoice("sound-b");
        net.Pump();
        EXPECT_THAT(b.played, ElementsAre("sound-a"));
        EXPECT_THAT(a.played, ElementsAre("sound-b"));

        const std::size_t firedA = a.events.fired.size(), firedB = b.events.fired.size();
        a.control.OnTimer(kPeerTimer);
        b.control.OnTimer(kPeerTimer);
        net.Pump();  // "!NOOP!" to text and voice sockets, "!P!" back, nothing fired or played
        EXPECT_EQ(a.events.fired.size(), firedA);
        EXPECT_EQ(b.events.fired.size(), firedB);
        EXPECT_THAT(a.played, SizeIs(1));
    }
};

TEST_F(HandshakeTest, LocalAddressAnswersWhilePublicOneIsUnreachable) {
    // The relay gave A both of B's addresses; only the local one is reachable.
    a.control.AddChater("10.0.0.2", 5001);
    a.control.AddChater("203.0.113.9", 61001);
    net.Pump();

    EXPECT_THAT(b.events.fired, ElementsAre("PeerAdd 10.0.0.1:4001"));
    EXPECT_THAT(a.events.fired, ElementsAre("PeerAccept 10.0.0.2:5001"));
    ASSERT_THAT(a.control.chaters(), SizeIs(1));
    ASSERT_THAT(b.control.chaters(), SizeIs(1));
    const ChaterInfo& bAtA = a.control.chaters()[0];
    const ChaterInfo& aAtB = b.control.chaters()[0];
    EXPECT_EQ(bAtA.id, kIdB);
    EXPECT_EQ(bAtA.voiceAddress + ":" + std::to_string(bAtA.voicePort), "10.0.0.2:5002");
    EXPECT_EQ(aAtB.id, kIdA);
    EXPECT_EQ(aAtB.tag, "10.0.0.2:5001");
    EXPECT_EQ(aAtB.voiceAddress + ":" + std::to_string(aAtB.voicePort), "10.0.0.1:4002");
    EXPECT_THAT(net.dropped, ElementsAre("203.0.113.9:61001 !ADDME!|" + kIdA + "|203.0.113.9:61001"));
    EXPECT_THAT(b.control.incoming(), IsEmpty());

    ExpectTalking("10.0.0.2:5001");

    // The unanswered request ends 45 s on, at the first tick after that.
    clock.now += 45;
    a.control.OnTimer(kPeerTimer);
    EXPECT_THAT(a.control.pending(), SizeIs(1));
    clock.now += 3;
    a.control.OnTimer(kPeerTimer);
    EXPECT_EQ(a.events.fired.back(), "AddChaterTimeOut 203.0.113.9:61001");
    EXPECT_THAT(a.control.pending(), IsEmpty());
    EXPECT_THAT(a.control.chaters(), SizeIs(1));  // peers never expire
}

TEST_F(HandshakeTest, PublicAddressAnswersWhenTheLocalOneIsOnAnotherNetwork) {
    b.BehindTranslator(net, "203.0.113.9", 61001 - 5001);
    net.listeners.erase("10.0.0.2:5001");  // A cannot reach B's local address

    a.control.AddChater("10.0.0.2", 5001);
    a.control.AddChater("203.0.113.9", 61001);
    net.Pump();

    EXPECT_THAT(a.events.fired, ElementsAre("PeerAccept 203.0.113.9:61001"));
    ASSERT_THAT(a.control.chaters(), SizeIs(1));
    EXPECT_EQ(a.control.chaters()[0].address, "203.0.113.9");
    EXPECT_EQ(a.control.pending()[0].tag, "10.0.0.2:5001");
    ExpectTalking("203.0.113.9:61001");
}

TEST_F(HandshakeTest, CrossingRequestsLeaveOnePeerOnEachSide) {
    a.control.AddChater("10.0.0.2", 5001);
    b.control.AddChater("10.0.0.1", 4001);
    net.Pump();

    // Each accepted the other's request, then heard its own accepted too.
    EXPECT_THAT(a.events.fired, ElementsAre("PeerAdd 10.0.0.2:5001", "PeerAccept 10.0.0.2:5001"));
    EXPECT_THAT(b.events.fired, ElementsAre("PeerAdd 10.0.0.1:4001", "PeerAccept 10.0.0.1:4001"));
    EXPECT_THAT(a.control.chaters(), SizeIs(1));
    EXPECT_THAT(b.control.chaters(), SizeIs(1));
    EXPECT_THAT(a.control.pending(), IsEmpty());

    a.control.SendShortMessage("", 0, "once");
    net.Pump();
    EXPECT_EQ(std::count(b.events.fired.begin(), b.events.fired.end(), "NewMessage 10.0.0.1:4001 once"), 1);
}

TEST_F(HandshakeTest, RejectedRequestAndClose) {
    b.events.then = [this](const std::string& name, const std::string& ip, std::int32_t port) {
        if (name == "PeerAdd") b.control.RejectChater(ip, port);
    };
    a.control.AddChater("10.0.0.2", 5001);
    net.Pump();
    EXPECT_THAT(a.events.fired, ElementsAre("PeerReject 10.0.0.2:5001"));
    EXPECT_THAT(a.control.pending(), IsEmpty());
    EXPECT_THAT(b.control.incoming(), IsEmpty());
    EXPECT_THAT(b.control.chaters(), IsEmpty());

    b.events.then = nullptr;
    b.events.fired.clear();
    a.control.AddChater("10.0.0.2", 5001);
    net.Pump();
    b.control.AcceptChater("10.0.0.1", 4001);
    net.Pump();
    ASSERT_THAT(a.control.chaters(), SizeIs(1));

    // The window goes: every peer hears "!CLOSE!" and reports it once.
    b.control.OnWindowDestroyed();
    net.Pump();
    EXPECT_EQ(a.events.fired.back(), "PeerClose 10.0.0.2:5001");
    EXPECT_THAT(a.control.chaters(), IsEmpty());
    EXPECT_THAT(b.control.chaters(), IsEmpty());
}

// ---------------------------------------------------------------------------
// One control, its sends and events recorded.

struct ProtocolTest : ::testing::Test {
    ControlRig rig;
    PeerProtocol control{rig.Ports(), kIdA};

    void Receive(const std::string& text, const std::string& source = "10.0.0.9", std::int32_t port = 4000) {
        control.OnTextDatagram(text, source, port);
    }
    // Makes (address, port) a peer with the given id through its request.
    void MakePeer(const std::string& id, const std::string& address, std::int32_t port) {
        Receive("!ADDME!|" + id + "|tag-" + id, address, port);
        control.AcceptChater(address, port);
    }
    void Forget() {
        rig.text.sent.clear();
        rig.voiceReceive.sent.clear();
        rig.voiceSend.sent.clear();
        rig.events.fired.clear();
    }
};

TEST_F(ProtocolTest, KeepAliveIsAnsweredAndItsAnswerIgnored) {
    Receive("!NOOP!");
    Receive("!noop!", "10.0.0.8", 7);
    Receive("!P!");
    EXPECT_THAT(rig.text.sent, ElementsAre("10.0.0.9:4000 !P!", "10.0.0.8:7 !P!"));
    EXPECT_THAT(rig.events.fired, IsEmpty());
}

TEST_F(ProtocolTest, RequestsFromTheSameSourceAreListedEachTimeUnlessAlreadyAPeer) {
    Receive("!addme!|peer-b|10.0.0.1:4001");
    Receive("!ADDME!|peer-b|10.0.0.1:4001");
    EXPECT_THAT(rig.events.fired, ElementsAre("PeerAdd 10.0.0.9:4000", "PeerAdd 10.0.0.9:4000"));
    EXPECT_THAT(control.incoming(), SizeIs(2));

    control.AcceptChater("10.0.0.9", 4000);
    EXPECT_THAT(rig.text.sent, ElementsAre("10.0.0.9:4000 !ADDACCEPT!|peer-b|10.0.0.1:4001|" + kIdA));
    EXPECT_THAT(control.incoming(), SizeIs(1));
    ASSERT_THAT(control.chaters(), SizeIs(1));
    EXPECT_EQ(control.chaters()[0].id, "peer-b");

    control.AcceptChater("10.0.0.9", 4000);  // already a peer: nothing
    Receive("!ADDME!|peer-b|10.0.0.1:4001");  // already a peer: ignored
    EXPECT_THAT(rig.text.sent, SizeIs(1));
    EXPECT_THAT(rig.events.fired, SizeIs(2));
    EXPECT_THAT(control.chaters(), SizeIs(1));
}

TEST_F(ProtocolTest, RepeatedRequestsToThePeerKeepTwoPendingEntriesAndAnAcceptTakesTheFirst) {
    control.AddChater("10.0.0.9", 4000);
    control.AddChater("10.0.0.9", 4000);
    const std::string addMe = "10.0.0.9:4000 !ADDME!|" + kIdA + "|10.0.0.9:4000";
    EXPECT_THAT(rig.text.sent, ElementsAre(addMe, addMe));
    ASSERT_THAT(control.pending(), SizeIs(2));

    Receive("!ADDACCEPT!|someone-else|10.0.0.9:4000|peer-b");  // meant for another control
    Receive("!ADDACCEPT!|" + kIdA + "|10.0.0.9:9|peer-b");       // no such tag
    Receive("!ADDACCEPT!|" + kIdA + "|10.0.0.9:4000");           // no accepter id
    EXPECT_THAT(control.pending(), SizeIs(2));
    EXPECT_THAT(rig.events.fired, IsEmpty());

    Receive("!ADDACCEPT!|" + kIdA + "|10.0.0.9:4000|peer-b");
    EXPECT_THAT(control.pending(), SizeIs(1));
    EXPECT_THAT(rig.events.fired, ElementsAre("PeerAccept 10.0.0.9:4000"));
    EXPECT_THAT(rig.voiceReceive.sent, ElementsAre("10.0.0.9:4000 !ADDVOICE!|" + kIdA));

    control.AddChater("10.0.0.9", 4000);  // now a peer: nothing sent
    EXPECT_THAT(rig.text.sent, SizeIs(2));
}

TEST_F(ProtocolTest, MessagesGoToEveryPeerAndArriveUpToTheNextBar) {
    MakePeer("peer-b", "10.0.0.9", 4000);
    MakePeer("peer-c", "10.0.0.7", 4100);
    Forget();

    control.SendShortMessage("", 0, "a|b");
    const std::string text = "!NEWMESSAGE!|" + kIdA + "|a|b";
    EXPECT_THAT(rig.text.sent, ElementsAre("10.0.0.9:4000 " + text, "10.0.0.7:4100 " + text));
    control.SendShortMessage("10.0.0.3", 9, "x");  // a given address, peer or not
    EXPECT_EQ(rig.text.sent.back(), "10.0.0.3:9 !NEWMESSAGE!|" + kIdA + "|x");

    // Reported with the peer's stored address.
    Receive("!NEWMESSAGE!|peer-c|a|b", "10.0.0.7", 4100);
    Receive("!NEWMESSAGE!|peer-b");
    Receive("!NEWMESSAGE!|stranger|hello");
    EXPECT_THAT(rig.events.fired, ElementsAre("NewMessage 10.0.0.7:4100 a", "NewMessage 10.0.0.9:4000 "));
}

TEST_F(ProtocolTest, RequestsExpireAfterFortyFiveSeconds) {
    control.AddChater("10.0.0.1", 1);
    rig.clock.now += 1;
    control.AddChater("10.0.0.2", 2);
    Receive("!ADDME!|peer-x|t");
    rig.clock.now += 45;  // the first request is 46 s old, the others 45 s

    control.OnTimer(kPeerTimer);
    EXPECT_THAT(rig.events.fired, ElementsAre("PeerAdd 10.0.0.9:4000", "AddChaterTimeOut 10.0.0.1:1"));
    EXPECT_THAT(control.pending(), SizeIs(1));
    EXPECT_THAT(control.incoming(), SizeIs(1));

    rig.clock.now += 3;
    control.OnTimer(kPeerTimer);
    EXPECT_EQ(rig.events.fired.back(), "AddChaterTimeOut 10.0.0.2:2");
    EXPECT_THAT(control.pending(), IsEmpty());
    EXPECT_THAT(control.incoming(), IsEmpty());  // silently

    control.AcceptChater("10.0.0.9", 4000);  // too late: nothing
    EXPECT_THAT(control.chaters(), IsEmpty());
    EXPECT_THAT(rig.events.fired, SizeIs(3));
}

TEST_F(ProtocolTest, ExpiredNeighboursWaitForTheNextTick) {
    control.AddChater("10.0.0.1", 1);
    control.AddChater("10.0.0.2", 2);
    rig.clock.now += 60;
    control.OnTimer(kPeerTimer);
    EXPECT_THAT(rig.events.fired, ElementsAre("AddChaterTimeOut 10.0.0.1:1"));
    control.OnTimer(kPeerTimer);
    EXPECT_THAT(rig.events.fired, ElementsAre("AddChaterTimeOut 10.0.0.1:1", "AddChaterTimeOut 10.0.0.2:2"));
}

TEST_F(ProtocolTest, KeepAliveGoesToTextAndLearnedVoiceAddresses) {
    control.OnWindowCreated();
    EXPECT_EQ(rig.timers.running.at(kPeerTimer), kPeerTimerMs);
    MakePeer("peer-b", "10.0.0.9", 4000);
    MakePeer("peer-c", "10.0.0.7", 4100);
    Receive("!BDDVOICE!|peer-c", "10.0.0.7", 4101);
    Forget();

    EXPECT_TRUE(control.OnTimer(kPeerTimer));
    EXPECT_FALSE(control.OnTimer(2));
    EXPECT_THAT(rig.text.sent, ElementsAre("10.0.0.9:4000 !NOOP!", "10.0.0.7:4100 !NOOP!", "10.0.0.7:4101 !NOOP!"));
}

TEST_F(ProtocolTest, VoiceAddressIsLearnedAndAnswered) {
    MakePeer("peer-b", "10.0.0.9", 4000);
    Forget();
    Receive("!ADDVOICE!|peer-b", "10.0.0.9", 4002);
    EXPECT_EQ(control.chaters()[0].voiceAddress, "10.0.0.9");
    EXPECT_EQ(control.chaters()[0].voicePort, 4002);
    EXPECT_THAT(rig.voiceReceive.sent, ElementsAre("10.0.0.9:4000 !BDDVOICE!|" + kIdA));
    Receive("!ADDVOICE!|stranger", "10.0.0.9", 4005);
    EXPECT_EQ(control.chaters()[0].voicePort, 4002);
    EXPECT_THAT(rig.voiceReceive.sent, SizeIs(1));
}

TEST_F(ProtocolTest, VoiceDatagramsMeetThePeerList) {
    MakePeer("peer-b", "10.0.0.9", 4000);
    MakePeer("peer-c", "10.0.0.7", 4100);
    Receive("!BDDVOICE!|peer-c", "10.0.0.7", 4101);
    Forget();

    control.SendVoice("compressed");  // peer-b's voice address is not known yet
    EXPECT_THAT(rig.voiceSend.sent, ElementsAre("10.0.0.7:4101 compressed"));

    EXPECT_EQ(control.OnVoiceDatagram("!noop!", "10.0.0.7", 4100), "");
    EXPECT_THAT(rig.voiceReceive.sent, ElementsAre("10.0.0.7:4100 !P!"));
    EXPECT_EQ(control.OnVoiceDatagram(std::string(20000, 's'), "10.5.5.5", 1).size(), kMaxVoiceDatagram);
    EXPECT_EQ(control.OnVoiceDatagram("sound from anyone", "10.5.5.5", 1), "sound from anyone");
}

TEST_F(ProtocolTest, ClosingPeers) {
    MakePeer("peer-b", "10.0.0.9", 4000);
    MakePeer("peer-c", "10.0.0.7", 4100);
    Receive("!ADDME!|peer-d|t", "10.0.0.6", 1);
    control.AddChater("10.0.0.5", 1);
    Forget();

    Receive("!CLOSE!|stranger");
    Receive("!close!|peer-c", "10.0.0.7", 4100);
    EXPECT_THAT(rig.events.fired, ElementsAre("PeerClose 10.0.0.7:4100"));

    control.RemoveChater("10.0.0.4", 2);  // no peer there: told all the same
    EXPECT_THAT(rig.text.sent, ElementsAre("10.0.0.4:2 !CLOSE!|" + kIdA));

    control.RemoveAllChaters();
    EXPECT_EQ(rig.text.sent.back(), "10.0.0.9:4000 !CLOSE!|" + kIdA);
    EXPECT_THAT(control.chaters(), IsEmpty());
    EXPECT_THAT(control.incoming(), SizeIs(1));  // requests stay
    EXPECT_THAT(control.pending(), SizeIs(1));
}

TEST_F(ProtocolTest, RemovingAPeerRemovesEveryEntryAtItsAddress) {
    // Our request to an address that meanwhile became a peer is accepted by
    // another control there: two neighbouring entries at one address.
    control.AddChater("10.0.0.9", 4000);
    MakePeer("peer-b", "10.0.0.9", 4000);
    Receive("!ADDACCEPT!|" + kIdA + "|10.0.0.9:4000|peer-z");
    MakePeer("peer-c", "10.0.0.7", 4100);
    ASSERT_THAT(control.chaters(), SizeIs(3));
    Forget();

    control.RemoveChater("10.0.0.9", 4000);
    ASSERT_THAT(control.chaters(), SizeIs(1));
    EXPECT_EQ(control.chaters()[0].id, "peer-c");
    EXPECT_THAT(rig.text.sent, ElementsAre("10.0.0.9:4000 !CLOSE!|" + kIdA));
}

// Datagrams from the network are untrusted: each of these leaves the lists
// as they were, sends nothing and fires nothing.
TEST_F(ProtocolTest, HostileDatagramsChangeNothing) {
    MakePeer("peer-b", "10.0.0.9", 4000);
    control.AddChater("10.0.0.5", 1);
    Forget();
    const std::string tag = "10.0.0.5:1";
    const std::vector<std::string> hostile = {
        "",
        "|||",
        "!ADDME!",
        "!ADDME!|only-id",
        "!ADDME!|" + std::string(kMaxRequestId + 1, 'i') + "|t",  // its echo would not fit
        "!ADDME!|id|" + std::string(kMaxRequestTag + 1, 't'),
        "!ADDACCEPT!|" + kIdA,
        "!ADDACCEPT!|" + kIdA.substr(0, 35) + "|" + tag + "|x",
        "!ADDACCEPT!|" + std::string(2000, '|'),
        "!ADDREJECT!|" + kIdA,
        "!ADDREJECT!|" + kIdA + "|" + tag + "x",
        "!ADDVOICE!",
        "!BDDVOICE!||||",
        "!CLOSE!",
        "!CLOSE!|PEER-B",  // ids compare exactly
        "!NEWMESSAGE!",
        "!YRADDR!|1.2.3.4|5",  // no server asked
        "!SERVERADDRESS!|1.2.3.4",
        std::string("!CLOSE!\0|peer-b", 15),  // the text ends at its NUL
        "!CLOSE!|peer-b" + std::string(kMaxTextDatagram, 'x'),  // longer than a read takes
        std::string(kMaxTextDatagram + 1, '!'),
        "\xff\xfe\x81|\x81",
    };
    for (const std::string& d : hostile) Receive(d);
    EXPECT_THAT(rig.events.fired, IsEmpty());
    EXPECT_THAT(rig.text.sent, IsEmpty());
    EXPECT_THAT(rig.voiceReceive.sent, IsEmpty());
    EXPECT_THAT(control.chaters(), SizeIs(1));
    EXPECT_THAT(control.pending(), SizeIs(1));
    EXPECT_THAT(control.incoming(), IsEmpty());

    Receive("!ADDME!|" + std::string(kMaxRequestId, 'i') + "|" + std::string(kMaxRequestTag, 't'), "10.0.0.3", 3);
    control.AcceptChater("10.0.0.3", 3);
    ASSERT_THAT(rig.text.sent, SizeIs(1));
    EXPECT_LE(rig.text.sent[0].size() - std::string("10.0.0.3:3 ").size(), kMaxComposedReply);
}

// Whoever learnt a peer's id (it is in every datagram the peer sends) and our
// own must still not speak for the peer: its datagrams count only from the
// addresses it is known by.
TEST_F(ProtocolTest, PeerDatagramsCountOnlyFromThePeersAddresses) {
    MakePeer("peer-b", "10.0.0.9", 4000);
    Receive("!ADDVOICE!|peer-b", "10.0.0.9", 4002);
    control.AddChater("10.0.0.5", 1);
    Forget();
    struct Forged {
        const char* what;
        std::string text, source;
        std::int32_t port;
    };
    const Forged forged[] = {
        {"text from another host", "!NEWMESSAGE!|peer-b|pay me", "10.6.6.6", 4000},
        {"text from another port", "!NEWMESSAGE!|peer-b|pay me", "10.0.0.9", 4999},
        {"close from another host", "!CLOSE!|peer-b", "10.6.6.6", 4000},
        {"close from another port", "!CLOSE!|peer-b", "10.0.0.9", 4001},
        {"voice address from another host", "!ADDVOICE!|peer-b", "10.6.6.6", 4002},
        {"voice answer from another host", "!BDDVOICE!|peer-b", "10.6.6.6", 4002},
        {"accept from elsewhere", "!ADDACCEPT!|" + kIdA + "|10.0.0.5:1|peer-x", "10.6.6.6", 1},
        {"reject from elsewhere", "!ADDREJECT!|" + kIdA + "|10.0.0.5:1", "10.0.0.5", 2},
    };
    for (const Forged& f : forged) {
        Receive(f.text, f.source, f.port);
        EXPECT_THAT(rig.events.fired, IsEmpty()) << f.what;
    }
    EXPECT_THAT(rig.voiceReceive.sent, IsEmpty());
    ASSERT_THAT(control.chaters(), SizeIs(1));
    EXPECT_EQ(control.chaters()[0].voiceAddress + ":" + std::to_string(control.chaters()[0].voicePort),
              "10.0.0.9:4002");
    EXPECT_THAT(control.pending(), SizeIs(1));

    // The peer itself, from its text socket or its voice address, still counts.
    Receive("!NEWMESSAGE!|peer-b|hi", "10.0.0.9", 4000);
    Receive("!NEWMESSAGE!|peer-b|hi again", "10.0.0.9", 4002);
    Receive("!ADDREJECT!|" + kIdA + "|10.0.0.5:1", "10.0.0.5", 1);
    Receive("!CLOSE!|peer-b", "10.0.0.9", 4000);
    EXPECT_THAT(rig.events.fired, ElementsAre("NewMessage 10.0.0.9:4000 hi", "NewMessage 10.0.0.9:4000 hi again",
                                              "PeerReject 10.0.0.5:1", "PeerClose 10.0.0.9:4000"));
}

// Event handlers call back into the control; the lists they change must not
// be in use underneath (ASan watches).
TEST_F(ProtocolTest, HandlersMayChangeTheListsFromWithinEvents) {
    std::string seenAfterCall;
    rig.events.then = [this, &seenAfterCall](const std::string& name, const std::string& ip, std::int32_t port) {
        if (name == "NewMessage" || name == "PeerAccept") control.RemoveAllChaters();
        if (name == "PeerClose") control.RemoveChater(ip, port);
        if (name == "AddChaterTimeOut") control.AddChater(ip, port);
        seenAfterCall = ip;  // the event's text must outlive the call back
    };
    MakePeer("peer-b", "10.0.0.9", 4000);
    MakePeer("peer-c", "10.0.0.7", 4100);
    Receive("!NEWMESSAGE!|peer-c|hi", "10.0.0.7", 4100);
    EXPECT_THAT(control.chaters(), IsEmpty());
    EXPECT_EQ(rig.events.fired.back(), "NewMessage 10.0.0.7:4100 hi");
    EXPECT_EQ(seenAfterCall, "10.0.0.7");

    MakePeer("peer-b", "10.0.0.9", 4000);
    Receive("!CLOSE!|peer-b");
    EXPECT_EQ(rig.events.fired.back(), "PeerClose 10.0.0.9:4000");
    EXPECT_THAT(control.chaters(), IsEmpty());

    control.AddChater("10.0.0.5", 1);
    Receive("!ADDACCEPT!|" + kIdA + "|10.0.0.5:1|peer-e", "10.0.0.5", 1);
    EXPECT_EQ(rig.voiceReceive.sent.back(), "10.0.0.5:1 !ADDVOICE!|" + kIdA);

    control.AddChater("10.0.0.1", 1);
    control.AddChater("10.0.0.2", 2);
    rig.clock.now += 46;
    control.OnTimer(kPeerTimer);  // each time-out asks again
    EXPECT_THAT(control.pending(), SizeIs(2));
}

}  // namespace
}  // namespace tovan
