#include "tools/exchange-sim/exchange.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/exchange-sim/accounts.h"
#include "tools/exchange-sim/address_server.h"
#include "tools/exchange-sim/wire.h"

namespace exsim {
namespace {

class FakeTransport : public Transport {
public:
    void Send(ConnId conn, std::string_view bytes) override {
        sent[conn].append(bytes);
        ++writes[conn];
    }
    void Close(ConnId conn) override { closed.insert(conn); }
    // Messages sent to conn since the last call, cut at "^".
    std::vector<std::string> Take(ConnId conn) {
        MessageFramer f(1 << 20);
        std::vector<std::string> out;
        f.Feed(sent[conn], out);
        sent[conn].clear();
        return out;
    }
    std::map<ConnId, std::string> sent;
    std::map<ConnId, int> writes;  // Send calls per connection
    std::set<ConnId> closed;
};

class ExchangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        store = OfferStore::Open(":memory:", &error);
        ASSERT_TRUE(store) << error;
        Make(false);
    }
    void Make(bool anyPassword) {
        ExchangeOptions o;
        o.acceptAnyPassword = anyPassword;
        o.clock = [] { return std::time_t(1765270800); };
        exchange = std::make_unique<Exchange>(*store, net, o);
    }
    // Connects conn and logs user on with its own password.
    void LogOn(ConnId conn, const std::string& user) {
        exchange->Connected(conn, "127.0.0.1:" + std::to_string(40000 + conn));
        exchange->Received(conn, "!LOGON!|" + user + "|" + user + "|MID^");
        std::vector<std::string> got = net.Take(conn);
        ASSERT_EQ(got.size(), 1u);
        ASSERT_EQ(got[0].rfind("!OK!|", 0), 0u) << got[0];
    }

    FakeTransport net;
    std::unique_ptr<OfferStore> store;
    std::unique_ptr<Exchange> exchange;
};

TEST_F(ExchangeTest, LogonRepliesCarryEveryAccountFieldInGbk) {
    LogOn(1, "test");
    // Compared as explicit GBK bytes: the wire must not carry UTF-8.
    const std::string city = "\xCA\xAF\xBC\xD2\xD7\xAF\xCA\xD0";   // 石家庄市
    const std::string province = "\xBA\xD3\xB1\xB1\xCA\xA1";      // 河北省
    const std::string contact = "\xD5\xC5\xBD\xA8\xB9\xFA";        // 张建国
    std::vector<std::string> f = SplitFields(LogonReply(*FindAccount("test")));
    ASSERT_EQ(f.size(), 13u);
    EXPECT_EQ(f[1], city);
    EXPECT_EQ(f[2], province);
    EXPECT_EQ(f[3], "test");
    EXPECT_EQ(f[4], "2");
    EXPECT_EQ(f[5], contact);
    EXPECT_EQ(f[9], "0");   // may publish freely
    EXPECT_EQ(f[11], "1");  // full member
    // Every account gives at least the nine required fields, none of them empty.
    for (const Account& a : SampleAccounts()) {
        std::string reply = LogonReply(a);
        EXPECT_EQ(reply.back(), '^');
        reply.pop_back();
        EXPECT_EQ(SplitFields(reply).size(), static_cast<std::size_t>(1 + a.replyFields)) << a.logon;
        EXPECT_EQ(reply.find("||"), std::string::npos) << a.logon;
    }
}

TEST_F(ExchangeTest, RefusedLogonsGiveErrorTextAndCloseTheConnection) {
    struct Case {
        const char* line;
        const char* error;
    };
    const Case cases[] = {
        {"!LOGON!|test|wrong|M^", kErrBadLogon},
        {"!LOGON!|test|-|M^", kErrBadLogon},
        {"!LOGON!|nobody|x|M^", kErrBadLogon},
        {"!LOGON!|stopped|stopped|M^", kErrDisabled},
        {"!LOGON!|test^", kErrIncomplete},
    };
    ConnId conn = 10;
    for (const Case& c : cases) {
        exchange->Connected(conn, "p");
        exchange->Received(conn, std::string(c.line) + "!TODAYRECORD!|x^!LOGON!|test|test|M^");
        // Nothing after the refusal is answered, not even a good logon.
        EXPECT_EQ(net.Take(conn), std::vector<std::string>{std::string("!ERR!|") + c.error}) << c.line;
        EXPECT_TRUE(net.closed.count(conn)) << c.line;
        ++conn;
    }
}

TEST_F(ExchangeTest, AnyPasswordOptionStillNeedsAKnownUser) {
    Make(true);
    exchange->Connected(1, "p");
    exchange->Received(1, "!LOGON!|sdwl|-|M^");
    EXPECT_EQ(net.Take(1)[0].rfind("!OK!|", 0), 0u);
    exchange->Connected(2, "p");
    exchange->Received(2, "!LOGON!|nobody|-|M^");
    EXPECT_EQ(net.Take(2), std::vector<std::string>{std::string("!ERR!|") + kErrBadLogon});
}

TEST_F(ExchangeTest, RequestsBeforeLogonAreLoggedButNotAnswered) {
    exchange->Connected(1, "p");
    exchange->Received(1, "!TODAYRECORD!|石家庄市^!ADDMSG!|货|x ^LOOP^");
    EXPECT_TRUE(net.Take(1).empty());
    EXPECT_EQ(store->Size(), 0);
    ASSERT_EQ(exchange->log().size(), 3u);
    EXPECT_EQ(exchange->log()[0], "1 - !TODAYRECORD!|石家庄市");
}

TEST_F(ExchangeTest, PublishedOfferIsStoredWholeAndPushedToEveryLoggedOnClient) {
    LogOn(1, "test");
    LogOn(2, "sdwl");
    exchange->Connected(3, "p");  // not logged on: gets no push
    // "亅" ends in the byte of "|": it must not split the text.
    const std::string body = "石家庄到郑州\x81\x7c有货 联系人:张建国 ";
    exchange->Received(1, "!ADDMSG!|货|" + body + "^");
    ASSERT_EQ(store->Size(), 1);
    EXPECT_EQ(store->Get(1)->body, body);

    for (ConnId c : {1, 2}) {
        std::vector<std::string> got = net.Take(c);
        ASSERT_EQ(got.size(), 1u) << c;
        std::vector<std::string> f = SplitFields(got[0]);
        ASSERT_EQ(f.size(), 10u) << got[0];
        EXPECT_EQ(f[0], "!NEWRECORD!");
        EXPECT_EQ(f[1], "1");
        EXPECT_EQ(f[2], "货");
        EXPECT_EQ(f[3], "test");
        EXPECT_EQ(f[5], "石家庄市");
        EXPECT_EQ(f[6], body);
        EXPECT_EQ(f[7], "河北省");
        EXPECT_EQ(f[8], "0");
    }
    EXPECT_TRUE(net.Take(3).empty());
    // Filed under its destination for the client's searches.
    EXPECT_EQ(store->CountQuery("SELECT COUNT(*) FROM msgfull WHERE fid=1 AND gjz='郑州市'"), 1);

    // Other classes and empty texts are not offers.
    exchange->Received(1, "!ADDMSG!|人|abc^!ADDMSG!|货^");
    EXPECT_EQ(store->Size(), 1);
}

TEST_F(ExchangeTest, PublishedOfferIsFiledUnderTheCountyItStartsFrom) {
    LogOn(1, "test");
    exchange->Received(1, "!ADDMSG!|货|石家庄市桥西区→北京市朝阳区,有20吨钢材。 联系人:张建国 ^"
                          "!ADDMSG!|车|石家庄市→北京市,有13米高栏。^");
    ASSERT_EQ(store->Size(), 2);
    EXPECT_EQ(store->Get(1)->xian, "桥西区");
    EXPECT_EQ(store->Get(2)->xian, "石家庄市");
    std::vector<std::string> got = net.Take(1);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(SplitFields(got[0]).back(), "桥西区");
    // Listed under the county and found by a search to the city it goes to.
    EXPECT_EQ(store->CountArea("桥西区"), 1);
    EXPECT_EQ(store->CountQuery("SELECT COUNT(*) FROM msgfull WHERE gjz='北京市'"), 2);
}

TEST_F(ExchangeTest, BurstStoresEveryOfferAndPushesThemInOneWrite) {
    LogOn(1, "test");
    const int writesBefore = net.writes[1];
    const std::int64_t last = exchange->PublishBurst(3, "peer", "石家庄市", "河北省", "长安区", "货", "急发");
    EXPECT_EQ(last, 3);
    EXPECT_EQ(store->Size(), 3);
    EXPECT_EQ(net.writes[1], writesBefore + 1);
    const std::vector<std::string> got = net.Take(1);
    ASSERT_EQ(got.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(got[i] + "^", NewRecordMessage(*store->Get(i + 1)));
    EXPECT_EQ(exchange->PublishBurst(0, "peer", "a", "b", "c", "货", "x"), -1);
}

TEST_F(ExchangeTest, CountAndRowRepliesFollowTheRequest) {
    LogOn(1, "test");
    for (int i = 0; i < 5; ++i) exchange->Publish("test", "车", "车源" + std::to_string(i));
    net.Take(1);
    exchange->Received(1, "!TODAYRECORD!|石家庄市^");
    EXPECT_EQ(net.Take(1), std::vector<std::string>{"!RECORDCOUNT!|石家庄市|当前|5"});

    exchange->Received(1, "!SINGLERECORD!|1|2|石家庄市^");
    std::vector<std::string> rows = net.Take(1);
    ASSERT_EQ(rows.size(), 2u);
    // ID|Class|ByName|AddTime|Area|BodyIs|Sheng|Status|key|row|xian, newest first
    std::vector<std::string> f = SplitFields(rows[0]);
    ASSERT_EQ(f.size(), 12u);
    EXPECT_EQ(f[0], "!SINGLERECORD!");
    EXPECT_EQ(f[1], "4");
    EXPECT_EQ(f[6], "车源3");
    EXPECT_EQ(f[9], "石家庄市");
    EXPECT_EQ(f[10], "1");
    EXPECT_EQ(f[11], "石家庄市");
    EXPECT_EQ(SplitFields(rows[1])[10], "2");

    const std::string q = "SELECT [ID],[Class],[ByName],[AddTime],[Area],[Sheng],[Status],[BodyIs],[xian] FROM msgis "
                          "WHERE Byname='test' ORDER BY ID DESC";
    exchange->Received(1, "!MYRECORDCOUNT!|test^!MYMSGRECORD!|0|3|" + q + "^");
    rows = net.Take(1);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], "!MYRECORDCOUNT!|5");
    EXPECT_EQ(SplitFields(rows[3])[10], "2");

    // A query that fails or writes gives a count of 0 and no rows.
    exchange->Received(1, "!SOUSUOCOUNT!|DELETE FROM MsgIs^!GUANZHURECORD!|0|5|DROP TABLE MsgIs^!SOUSUOCOUNT!|(^");
    EXPECT_EQ(net.Take(1), (std::vector<std::string>{"!SOUSUOCOUNT!|0", "!SOUSUOCOUNT!|0"}));
    EXPECT_EQ(store->Size(), 5);
}

TEST_F(ExchangeTest, HostileModesOvercountAndCloseAfterTheLogon) {
    LogOn(1, "test");
    for (int i = 0; i < 3; ++i) exchange->Publish("test", "车", "车源" + std::to_string(i));
    net.Take(1);
    exchange->SetCountExtra(20);
    exchange->Received(1, "!TODAYRECORD!|石家庄市^!GUANZHUCOUNT!|SELECT COUNT(*) FROM MsgIs^");
    EXPECT_EQ(net.Take(1), (std::vector<std::string>{"!RECORDCOUNT!|石家庄市|当前|23", "!GUANZHUCOUNT!|23"}));
    exchange->Received(1, "!SINGLERECORD!|0|23|石家庄市^");
    EXPECT_EQ(net.Take(1).size(), 3u) << "only the rows stored are served";

    exchange->SetCloseAfterLogon(true);
    LogOn(2, "peer");
    EXPECT_EQ(net.closed, std::set<ConnId>{2});
    exchange->Received(2, "!TODAYRECORD!|石家庄市^");
    EXPECT_TRUE(net.Take(2).empty()) << "closing: no more answers";
    exchange->SetCloseAfterLogon(false);
    LogOn(3, "peer");
    EXPECT_EQ(net.closed, std::set<ConnId>{2});
}

TEST_F(ExchangeTest, ClosedDealsOnlyForOwnOffersAndPushedToAll) {
    LogOn(1, "test");
    LogOn(2, "peer");
    std::int64_t mine = exchange->Publish("test", "货", "a");
    std::int64_t theirs = exchange->Publish("peer", "货", "b");
    net.Take(1);
    net.Take(2);
    exchange->Received(1, "!CHENGJIAO!|" + std::to_string(mine) + "," + std::to_string(theirs) + "^");
    std::vector<std::string> expected{"!CHENGJIAO!|" + std::to_string(mine)};
    EXPECT_EQ(net.Take(1), expected);
    EXPECT_EQ(net.Take(2), expected);
    EXPECT_EQ(store->Get(mine)->status, 1);
    EXPECT_EQ(store->Get(theirs)->status, 0);
    // Nothing of one's own: nothing is pushed.
    exchange->Received(1, "!CHENGJIAO!|" + std::to_string(theirs) + "^");
    EXPECT_TRUE(net.Take(2).empty());
}

TEST_F(ExchangeTest, ChatLinesReachOnlyTheNamedUserWithTheSenderInFront) {
    LogOn(1, "test");
    LogOn(2, "peer");
    LogOn(3, "peer");  // the same user twice: both connections get it
    LogOn(4, "sdwl");
    exchange->Received(1, "!ADDCHATER!|peer|1.2.3.4|5000|192.168.0.2|5001^");
    for (ConnId c : {2, 3})
        EXPECT_EQ(net.Take(c), std::vector<std::string>{"!ADDCHATER!|test|1.2.3.4|5000|192.168.0.2|5001"});
    EXPECT_TRUE(net.Take(1).empty());
    EXPECT_TRUE(net.Take(4).empty());
    exchange->Received(2, "!BDDCHATER!|test|5.6.7.8|6000|10.0.0.9|6001^");
    EXPECT_EQ(net.Take(1), std::vector<std::string>{"!BDDCHATER!|peer|5.6.7.8|6000|10.0.0.9|6001"});
    // A user who is not on: dropped.
    exchange->Received(1, "!ADDCHATER!|quanguo|1.2.3.4|5000|1.2.3.4|5000^");
    for (ConnId c : {1, 2, 3, 4}) EXPECT_TRUE(net.Take(c).empty());
}

TEST_F(ExchangeTest, ControlTargetsAndNotices) {
    LogOn(1, "test");
    LogOn(2, "peer");
    exchange->Connected(3, "p");
    EXPECT_EQ(exchange->Notify("系统维护"), 2);
    EXPECT_EQ(net.Take(1), std::vector<std::string>{"!SENDNOTIFY!|系统维护"});
    EXPECT_TRUE(net.Take(3).empty());
    EXPECT_EQ(exchange->Targets("*").size(), 3u);
    EXPECT_EQ(exchange->Targets("peer"), std::vector<ConnId>{2});
    EXPECT_EQ(exchange->Targets("3"), std::vector<ConnId>{3});
    EXPECT_TRUE(exchange->Targets("nobody").empty());
    EXPECT_EQ(exchange->Drop("test"), 1);
    EXPECT_TRUE(net.closed.count(1));
    exchange->Disconnected(1);
    EXPECT_EQ(exchange->ClientLines(), (std::vector<std::string>{"2 peer 127.0.0.1:40002", "3 - p"}));
}

TEST_F(ExchangeTest, AnyByteSequenceIsSurvived) {
    LogOn(1, "test");
    exchange->Connected(2, "p");
    // Deterministic noise rich in the bytes that matter to the protocol.
    const char alphabet[] = "!|^LOGONADDMSGSINGLERECORDSOUSUOCOUNT0123456789,'\x81\x7c\x5e\xff\x00 test";
    std::uint32_t s = 12345;
    std::string chunk;
    for (int round = 0; round < 400; ++round) {
        chunk.clear();
        for (int i = 0; i < 300; ++i) {
            s = s * 1103515245u + 12345u;
            chunk += alphabet[(s >> 16) % (sizeof alphabet - 1)];
        }
        exchange->Received(1 + round % 2, chunk);
    }
    // A blank first: it cannot be the second byte of a character left open.
    exchange->Received(1, " ^!TODAYRECORD!|河北省^");
    std::vector<std::string> got = net.Take(1);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back().rfind("!RECORDCOUNT!|河北省|", 0), 0u);
}

TEST(AddressServer, AnswersWithTheAddressItSaw) {
    AddressServer a;
    EXPECT_EQ(a.Answer("!MEADDRESS!", "127.0.0.1", 40123), std::optional<std::string>("!YRADDR!|127.0.0.1|40123"));
    EXPECT_EQ(a.Answer(std::string("!MEADDRESS!\0", 12), "127.0.0.1", 9), std::optional<std::string>("!YRADDR!|127.0.0.1|9"));
    EXPECT_FALSE(a.Answer("!SERVERADDRESS!", "127.0.0.1", 9));  // none announced yet
    EXPECT_FALSE(a.Answer("!ADMINADDRESS!|pw|10.1.1.1|7000", "127.0.0.1", 9));
    EXPECT_EQ(a.Answer("!SERVERADDRESS!", "127.0.0.1", 9), std::optional<std::string>("!SERVERADDRESS!|10.1.1.1|7000"));
    EXPECT_FALSE(a.Answer("garbage", "127.0.0.1", 9));
    EXPECT_EQ(a.log().size(), 6u);
}

}  // namespace
}  // namespace exsim
