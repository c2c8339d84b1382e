#include "client/model/server_message.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tovan {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace std::string_literals;

// Records every dispatched message as "slot:text".
struct Recorder : ServerMessageHandler {
    std::vector<std::string> got;
    void Put(const char* slot, const char* m) { got.push_back(std::string(slot) + ":" + m); }
    void OnNewRecord(const char* m) override { Put("new", m); }
    void OnErr(const char* m) override { Put("err", m); }
    void OnOk(const char* m) override { Put("ok", m); }
    void OnChengjiao(const char* m) override { Put("deal", m); }
    void OnDeleteMsg(const char* m) override { Put("del", m); }
    void OnSendNotify(const char* m) override { Put("notify", m); }
    void OnRecordCount(const char* m) override { Put("count", m); }
    void OnSingleRecord(const char* m) override { Put("row", m); }
    void OnSousuoCount(const char* m) override { Put("scount", m); }
    void OnSousuoRecord(const char* m) override { Put("srow", m); }
    void OnGuanzhuCount(const char* m) override { Put("gcount", m); }
    void OnGuanzhuRecord(const char* m) override { Put("grow", m); }
    void OnMyRecordCount(const char* m) override { Put("mcount", m); }
    void OnMyMsgRecord(const char* m) override { Put("mrow", m); }
    void OnAddChater(const char* m) override { Put("addchat", m); }
    void OnBddChater(const char* m) override { Put("bddchat", m); }
};

// Delivers s as the socket would: in receive calls of at most 1024 bytes.
void Feed(ServerMessageFramer& f, const std::string& s, ServerMessageSink& h) {
    for (std::size_t i = 0; i < s.size(); i += kReceiveChunk)
        f.Feed(s.data() + i, std::min(kReceiveChunk, s.size() - i), h);
}

TEST(DispatchTest, EveryCommandWordReachesItsOwnSlot) {
    struct Case { const char* msg; const char* slot; };
    const Case cases[] = {
        {"!NEWRECORD!|1", "new"},        {"!ERR!|x", "err"},
        {"!OK!|a", "ok"},                {"!CHENGJIAO!|1,2", "deal"},
        {"!DELETEMSG!|7", "del"},        {"!SENDNOTIFY!|hi", "notify"},
        {"!RECORDCOUNT!|k", "count"},    {"!SINGLERECORD!|1", "row"},
        {"!SOUSUOCOUNT!|3", "scount"},   {"!SOUSUORECORD!|1", "srow"},
        {"!GUANZHUCOUNT!|3", "gcount"},  {"!GUANZHURECORD!|1", "grow"},
        {"!MYRECORDCOUNT!|3", "mcount"}, {"!MYMSGRECORD!|1", "mrow"},
        {"!ADDCHATER!|u", "addchat"},    {"!BDDCHATER!|u", "bddchat"},
    };
    ASSERT_EQ(ServerCommandWords().size(), std::size(cases));
    for (const Case& c : cases) {
        Recorder r;
        EXPECT_TRUE(DispatchServerMessage(c.msg, r)) << c.msg;
        EXPECT_THAT(r.got, ElementsAre(std::string(c.slot) + ":" + c.msg));
    }
}

TEST(DispatchTest, UnknownAndClientOnlyWordsAreDropped) {
    for (const char* msg : {"", "LOOP", "!LOGON!|u|p|m", "!ADDMSG!|货|x", "!O", "OK!|a",
                            "!TODAYRECORD!|k", "!newrecord!|1"}) {
        Recorder r;
        EXPECT_FALSE(DispatchServerMessage(msg, r)) << msg;
        EXPECT_THAT(r.got, IsEmpty());
    }
}

TEST(DispatchTest, CommandWordFollowedDirectlyByTextStillMatches) {
    Recorder r;
    EXPECT_TRUE(DispatchServerMessage("!OK!garbage", r));
    EXPECT_THAT(r.got, ElementsAre("ok:!OK!garbage"));
}

// Handlers that serve some slots each, as the session and the lists do, and
// log into one shared list.
struct LogonPart : ServerMessageHandler {
    explicit LogonPart(std::vector<std::string>& l) : log(l) {}
    void OnOk(const char* m) override { log.push_back("logon " + std::string(m)); }
    std::vector<std::string>& log;
};
struct ListPart : ServerMessageHandler {
    explicit ListPart(std::vector<std::string>& l) : log(l) {}
    void OnRecordCount(const char* m) override { log.push_back("list " + std::string(m)); }
    void OnOk(const char* m) override { log.push_back("list saw " + std::string(m)); }
    std::vector<std::string>& log;
};

TEST(DispatchTest, AGroupHandsEachMessageToEveryMemberInOrder) {
    std::vector<std::string> log;
    LogonPart logon(log);
    ListPart list(log);
    Recorder all;
    ServerMessageHandlers group{&logon, &list, &all};
    ServerMessageFramer f;
    Feed(f, "!OK!|a^!RECORDCOUNT!|k|x|3^!DELETEMSG!|7^", group);
    EXPECT_THAT(log, ElementsAre("logon !OK!|a", "list saw !OK!|a", "list !RECORDCOUNT!|k|x|3"));
    EXPECT_THAT(all.got, ElementsAre("ok:!OK!|a", "count:!RECORDCOUNT!|k|x|3", "del:!DELETEMSG!|7"));
}

TEST(SplitFieldsTest, TokenizerSemantics) {
    struct Case { std::string in; std::vector<std::string> out; };
    const Case cases[] = {
        {"!OK!|a|b", {"!OK!", "a", "b"}},
        {"!OK!|a||b", {"!OK!", "a", "b"}},        // empty field vanishes
        {"|a|", {"a"}},                            // leading and trailing separators
        {"", {}},
        {"|||", {}},
        {"!ERR!", {"!ERR!"}},
        {"!X!|\x81\x40|\xfe\xff|\x80", {"!X!", "\x81\x40", "\xfe\xff", "\x80"}},
        {"!NEWRECORD!|1|货|张三", {"!NEWRECORD!", "1", "货", "张三"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitFields(c.in), c.out) << c.in;
}

TEST(FramerTest, SeveralMessagesInOneChunkInOrderRestKept) {
    ServerMessageFramer f;
    Recorder r;
    Feed(f, "!OK!|a^!ERR!|b^!DELETEMSG!|", r);
    EXPECT_THAT(r.got, ElementsAre("ok:!OK!|a", "err:!ERR!|b"));
    EXPECT_EQ(f.Pending(), "!DELETEMSG!|");
}

TEST(FramerTest, MessageSplitOverChunksDispatchedWhenCaretArrives) {
    ServerMessageFramer f;
    Recorder r;
    Feed(f, "!NEWRE", r);
    Feed(f, "CORD!|1|车", r);
    EXPECT_THAT(r.got, IsEmpty());
    Feed(f, "^LO", r);
    EXPECT_THAT(r.got, ElementsAre("new:!NEWRECORD!|1|车"));
    EXPECT_EQ(f.Pending(), "LO");
}

TEST(FramerTest, EmptyMessagesAndKeepAliveAreDropped) {
    ServerMessageFramer f;
    Recorder r;
    Feed(f, "^^LOOP^!OK!|x^", r);
    EXPECT_THAT(r.got, ElementsAre("ok:!OK!|x"));
    EXPECT_TRUE(f.Pending().empty());
}

TEST(FramerTest, OverflowBoundary) {
    // 5480 held + 1000 received = 6480: kept together and dispatched whole.
    {
        ServerMessageFramer f;
        Recorder r;
        std::string head = "!SENDNOTIFY!|" + std::string(5480 - 13, 'a');
        Feed(f, head, r);
        ASSERT_EQ(f.Pending().size(), 5480u);
        Feed(f, std::string(999, 'b') + "^", r);
        ASSERT_EQ(r.got.size(), 1u);
        EXPECT_EQ(r.got[0].size(), std::string("notify:").size() + 6479);
    }
    // 5481 held + 1000 received = 6481: the held text is dropped, and the
    // fragment the "^" closes matches no command word.
    {
        ServerMessageFramer f;
        Recorder r;
        Feed(f, "!SENDNOTIFY!|" + std::string(5481 - 13, 'a'), r);
        Feed(f, std::string(999, 'b') + "^", r);
        EXPECT_THAT(r.got, IsEmpty());
        EXPECT_TRUE(f.Pending().empty());
    }
    // 6000 held + 1000 received: only the new chunk remains.
    {
        ServerMessageFramer f;
        Recorder r;
        Feed(f, std::string(6000, 'x'), r);
        Feed(f, "!ERR!|new" + std::string(991, 'c'), r);
        EXPECT_EQ(f.Pending().substr(0, 9), "!ERR!|new");
        EXPECT_EQ(f.Pending().size(), 1000u);
    }
}

TEST(FramerTest, LongStreamWithoutCaretNeverGrowsPastLimit) {
    ServerMessageFramer f;
    Recorder r;
    const std::string chunk(1024, 'z');
    for (int i = 0; i < 100; ++i) {
        Feed(f, chunk, r);
        EXPECT_LE(f.Pending().size(), kMaxMessage);
    }
    Feed(f, "^!OK!|after^", r);
    EXPECT_THAT(r.got, ElementsAre("ok:!OK!|after"));
}

TEST(FramerTest, NulEndsOnlyTheTextOfItsOwnMessage) {
    // A NUL used to end the whole chunk: its "^" was lost and the next count
    // reply was glued to this one ("...66!RECORDCOUNT!...").
    ServerMessageFramer f;
    Recorder r;
    const std::string stream = "!RECORDCOUNT!|k|l|66\0junk^!RECORDCOUNT!|k|l|7^!OK\0!^x"s;
    f.Feed(stream.data(), stream.size(), r);
    EXPECT_THAT(r.got, ElementsAre("count:!RECORDCOUNT!|k|l|66", "count:!RECORDCOUNT!|k|l|7"));
    EXPECT_EQ(f.Pending(), "x");

    // Split over receive calls, the NUL and the "^" in different chunks.
    ServerMessageFramer g;
    Recorder q;
    g.Feed("!OK!|a\0", 7, q);
    g.Feed("b^!ERR!|c^", 10, q);
    EXPECT_THAT(q.got, ElementsAre("ok:!OK!|a", "err:!ERR!|c"));
}

TEST(FramerTest, HighBytesInsideFieldsPassUntouched) {
    ServerMessageFramer f;
    Recorder r;
    std::string msg = "!NEWRECORD!|\x81\x40|\xff\xfe\x80";
    Feed(f, msg + "^", r);
    ASSERT_EQ(r.got.size(), 1u);
    EXPECT_EQ(SplitFields(msg), (std::vector<std::string>{"!NEWRECORD!", "\x81\x40", "\xff\xfe\x80"}));
}

TEST(FramerTest, ClearLeavesNoFragmentForTheNextConnection) {
    // A fragment without "^" from a dropped connection, then the new
    // connection's logon reply: it must arrive as a logon reply.
    ServerMessageFramer f;
    Recorder r;
    Feed(f, "!SINGLERECORD!|9|half a row", r);
    f.Clear();
    Feed(f, "!OK!|a^", r);
    EXPECT_THAT(r.got, ElementsAre("ok:!OK!|a"));
}

TEST(FramerTest, HandlerMayReenterFeed) {
    // A handler that runs a modal loop can receive more data before it returns.
    struct Reentrant : Recorder {
        ServerMessageFramer* f = nullptr;
        bool once = false;
        void OnOk(const char* m) override {
            Recorder::OnOk(m);
            if (!once) {
                once = true;
                std::string more = "!ERR!|inner^";
                f->Feed(more.data(), more.size(), *this);
            }
        }
    } r;
    ServerMessageFramer f;
    r.f = &f;
    Feed(f, "!OK!|1^!DELETEMSG!|2^", r);
    EXPECT_THAT(r.got, ElementsAre("ok:!OK!|1", "del:!DELETEMSG!|2", "err:!ERR!|inner"));
}

TEST(FramerTest, OversizedReceiveCountIsClamped) {
    ServerMessageFramer f;
    Recorder r;
    std::string big(4000, 'q');
    f.Feed(big.data(), big.size(), r);
    EXPECT_EQ(f.Pending().size(), kReceiveChunk);
}

}  // namespace
}  // namespace tovan
