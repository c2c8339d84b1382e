#include "client/model/outgoing_messages.h"

#include <gtest/gtest.h>

#include <string>

namespace tovan {
namespace {

// Each composed message against its bytes on the wire. The Chinese fields
// are written as their GBK bytes: that is what the server reads.
TEST(OutgoingMessages, EachMessageByteForByte) {
    struct Case {
        const char* what;
        std::string composed;
        std::string wire;
    };
    const Case cases[] = {
        {"logon", LogonMessage("zhang", "-", "MID-1"), "!LOGON!|zhang|-|MID-1^"},
        {"keep-alive", kKeepAliveMessage, "LOOP^"},
        {"current list", TodayRecordMessage("石家庄市"),
         "!TODAYRECORD!|\xCA\xAF\xBC\xD2\xD7\xAF\xCA\xD0^"},
        {"current rows", SingleRecordMessage(10, 15, "p"), "!SINGLERECORD!|10|15|p^"},
        {"watch rows", GuanzhuRecordMessage(10, 15, "WQ"), "!GUANZHURECORD!|10|15|WQ^"},
        {"search rows", SousuoRecordMessage(400, 80, "SQ"), "!SOUSUORECORD!|400|80|SQ^"},
        {"search count", *SousuoCountMessage("SELECT 1"), "!SOUSUOCOUNT!|SELECT 1^"},
        {"watch count", *GuanzhuCountMessage("SELECT 1"), "!GUANZHUCOUNT!|SELECT 1^"},
        {"my count", MyRecordCountMessage("u1"), "!MYRECORDCOUNT!|u1^"},
        {"my rows", MyMsgRecordMessage(30, 12, "u1"),
         "!MYMSGRECORD!|30|12|SELECT [ID],[Class],[ByName],[AddTime],[Area],[Sheng],[Status],[BodyIs],[xian] "
         "FROM msgis WHERE Byname='u1' ORDER BY ID DESC^"},
        {"offer", AddMsgMessage("货", "有车到北京"),
         "!ADDMSG!|\xBB\xF5|\xD3\xD0\xB3\xB5\xB5\xBD\xB1\xB1\xBE\xA9^"},
        {"deals", ChengjiaoMessage("9,3"), "!CHENGJIAO!|9,3^"},
        {"chat request", AddChaterMessage("peer", "1.2.3.4", 5000, "10.0.0.2", 5001),
         "!ADDCHATER!|peer|1.2.3.4|5000|10.0.0.2|5001^"},
        {"chat answer", BddChaterMessage("peer", "1.2.3.4", 5000, "10.0.0.2", 5001),
         "!BDDCHATER!|peer|1.2.3.4|5000|10.0.0.2|5001^"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.composed, c.wire) << c.what;
}

TEST(OutgoingMessages, CountMessagesFillTheirBufferButNeverOverflowIt) {
    for (auto* message : {&SousuoCountMessage, &GuanzhuCountMessage}) {
        const std::size_t frame = (*message)("")->size();
        std::string statement(kCountMessageBufferSize - 1 - frame, 's');
        ASSERT_TRUE((*message)(statement).has_value());
        EXPECT_EQ((*message)(statement)->size(), kCountMessageBufferSize - 1);
        statement += 's';
        EXPECT_FALSE((*message)(statement).has_value());
    }
}

TEST(OutgoingMessages, RelayLinesAreCutAtACharacterBelow248Bytes) {
    const std::string longAscii(300, 'a');
    const std::string cut = AddChaterMessage(longAscii, "x", 1, "y", 2);
    EXPECT_EQ(cut.size(), 249u);
    EXPECT_EQ(cut.substr(0, 12 + 236), "!ADDCHATER!|" + longAscii.substr(0, 236));
    // A double-byte character that the limit would cut is left out whole.
    std::string wide = "a";
    for (int i = 0; i < 150; ++i) wide += "\xB1\xED";
    const std::string line = AddChaterMessage(wide, "x", 1, "y", 2);
    EXPECT_EQ(line.size(), 247u + 1u);
    EXPECT_EQ(line.back(), '^');
    EXPECT_EQ(line[line.size() - 2], '\xED');
}

TEST(OutgoingMessages, OnlyListQueriesCountAsStale) {
    for (const char* m : {"!TODAYRECORD!|长沙^", "!SINGLERECORD!|0|80|长沙^", "!GUANZHUCOUNT!|q^",
                          "!GUANZHURECORD!|0|1|q^", "!SOUSUOCOUNT!|q^", "!SOUSUORECORD!|0|1|q^",
                          "!MYRECORDCOUNT!|u^", "!MYMSGRECORD!|0|1|q^"}) {
        EXPECT_TRUE(IsListRequest(m)) << m;
    }
    for (const char* m : {"!ADDMSG!|货|x^", "!CHENGJIAO!|1,2^", "!ADDCHATER!|u|a|1|b|2^",
                          "!BDDCHATER!|u|a|1|b|2^", "", "LOOP^"}) {
        EXPECT_FALSE(IsListRequest(m)) << m;
    }
}

}  // namespace
}  // namespace tovan
