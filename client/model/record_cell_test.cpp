#include "client/model/record_cell.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace tovan {
namespace {

struct ShownRun {
    std::string text;
    int useGridColor;
    Colorref color;  // meaningful when useGridColor is 0
    bool operator==(const ShownRun& o) const {
        return text == o.text && useGridColor == o.useGridColor && (useGridColor || color == o.color);
    }
};
std::ostream& operator<<(std::ostream& os, const ShownRun& r) {
    return os << "{\"" << r.text << "\", " << (r.useGridColor ? std::string("grid") : std::to_string(r.color)) << "}";
}
ShownRun Grid(const std::string& t) { return {t, 1, 0}; }
ShownRun Colored(const std::string& t, Colorref c) { return {t, 0, c}; }

std::vector<ShownRun> Runs(const CCell& cell) {
    std::vector<ShownRun> out;
    for (const CTextInfo& r : cell.runs) out.push_back({r.text, r.useGridColor, r.textColor});
    return out;
}

MsgInfo Record(const char* body, const char* time = "08:30", int status = 0) {
    MsgInfo m;
    std::memset(&m, 0, sizeof m);
    std::strcpy(m.ID, "4711");
    std::strcpy(m.Class, "货");
    std::strcpy(m.BodyIs, body);
    std::strcpy(m.AddTime, time);
    std::strcpy(m.xian, "乌鲁木齐市米东区");
    m.Status = status;
    m.loaded = time[0] ? 1 : 0;
    return m;
}

TEST(MaskTextTest, DigitRunsAndHiddenSpans) {
    struct Case {
        const char* name;
        std::string in, out;
    } cases[] = {
        {"five digits stay", "tel 12345 ok", "tel 12345 ok"},
        {"six digits go", "tel 123456 ok", "tel ****** ok"},
        {"run at the end", "13912345678", "***********"},
        {"groups of five survive", "139-1234-5678", "139-1234-5678"},
        {"span up to the closing byte", "a\x02secret\x03z", "a*******\x03z"},
        {"span at the first byte does not open", "\x02secret\x03z", "\x02secret\x03z"},
        {"latest opening byte counts", "a\x02x\x02yy\x03", "a\x02x***\x03"},
        {"closing byte without opening stays", "ab\x03 123", "ab\x03 123"},
        {"closed span does not reopen", "a\x02x\x03 bc\x03", "a**\x03 bc\x03"},
        {"GBK bytes are never digits", "电话:货车８８８８８８", "电话:货车８８８８８８"},
    };
    for (const Case& c : cases) EXPECT_EQ(MaskText(c.in, true, false, true), c.out) << c.name;
}

TEST(MaskTextTest, LimitedRightsMaskOnlyWhereApplied) {
    const std::string in = "电话:13912345678 ";
    EXPECT_EQ(MaskText(in, false, false, true), in);
    EXPECT_EQ(MaskText(in, false, true, false), in);  // the details window
    EXPECT_EQ(MaskText(in, false, true, true), "电话:*********** ");
    EXPECT_EQ(MaskText(in, true, false, false), "电话:*********** ");  // the user's own switch
}

TEST(ComposeRecordTextTest, MaskedDigitsVanishAndSuffixesFollow) {
    EXPECT_EQ(ComposeRecordText(Record("电话:13912345678 有*车 12345"), true, false),
              "电话: 有车 12345 [08:30]");
    EXPECT_EQ(ComposeRecordText(Record("车", "08:30", 1), false, false), "车 [08:30] (已成交)");
    EXPECT_EQ(ComposeRecordText(Record("", ""), false, false), "");
}

TEST(BuildRunsTest, TelephoneNumbersTakeTheirColour) {
    const Colorref phone = 0x00AA00;
    struct Case {
        const char* name;
        std::string text;
        int status;
        std::vector<ShownRun> runs;
    } cases[] = {
        {"mobile with hyphens, blank ends it", "货 手机:139-1234-5678 急",
         0, {Grid("货 手机:"), Colored("139-1234-5678", phone), Grid(" 急")}},
        {"both labels", "电话:(0991)5551234手机:13912345678 x",
         0, {Grid("电话:"), Colored("(0991)5551234", phone), Grid("手机:"), Colored("13912345678", phone), Grid(" x")}},
        {"never the last byte", "电话:123", 0, {Grid("电话:"), Colored("12", phone), Grid("3")}},
        {"only the first label counts", "电话:1 电话:2 ", 0, {Grid("电话:"), Colored("1", phone), Grid(" 电话:2 ")}},
        {"no number", "西安到北京", 0, {Grid("西安到北京")}},
        {"closed deal is blue around the number", "电话:5551234 [9:00]",
         1, {Colored("电话:", kClosedDealColor), Colored("5551234", phone), Colored(" [9:00]", kClosedDealColor)}},
    };
    for (const Case& c : cases) {
        CCell cell;
        BuildRuns(c.text, c.status, phone, GridFont(), &cell);
        EXPECT_EQ(Runs(cell), c.runs) << c.name;
    }
    CCell empty;
    BuildRuns("", 0, phone, GridFont(), &empty);
    EXPECT_TRUE(empty.runs.empty());
}

TEST(BuildRunsHighlightTest, KeywordsRedDestinationsSplitPhonesKeepColour) {
    const Colorref phone = 255;
    CCell cell;
    BuildRunsHighlight("西安发北京，冷藏 电话:5551234 到上海", 0, phone, "冷藏", "'北京','上海',,",
                       GridFont(), &cell);
    EXPECT_EQ(Runs(cell), (std::vector<ShownRun>{Grid("西安发"), Colored("北京", kKeywordColor), Grid("，"),
                                              Colored("冷藏", kKeywordColor), Grid(" 电话:"),
                                              Colored("5551234", phone), Grid(" 到"),
                                              Colored("上海", kKeywordColor)}));

    // A number right before a keyword gives two runs; a closed deal keeps red keywords.
    CCell deal;
    BuildRunsHighlight("手机:13912345678 x", 1, phone, "手机:", "", GridFont(), &deal);
    // A highlighted label is no longer a label: its number is not coloured.
    EXPECT_EQ(Runs(deal), (std::vector<ShownRun>{Colored("手机:", kKeywordColor), Colored("13912345678 x", kClosedDealColor)}));
    CCell adjacent;
    BuildRunsHighlight("电话:0991冷", 1, phone, "冷", "", GridFont(), &adjacent);
    EXPECT_EQ(Runs(adjacent), (std::vector<ShownRun>{Colored("电话:", kClosedDealColor), Colored("0991", phone),
                                                Colored("冷", kKeywordColor)}));
}

TEST(BuildRunsHighlightTest, MatchesOnlyWholeCharacters) {
    // "陆" is C2 BD; "陆陆" holds the bytes BD C2 in its middle.
    const std::string keyword = std::string("陆陆").substr(1, 2);
    CCell cell;
    BuildRunsHighlight("陆陆", 0, 255, keyword, "", GridFont(), &cell);
    EXPECT_EQ(Runs(cell), (std::vector<ShownRun>{Grid("陆陆")}));
}

struct FillFixture : ::testing::Test {
    RecordCellOptions o;
    CCell cell;
    std::vector<ShownRun> Fill(const MsgInfo& m, int column) {
        FillRecordCell(m, column, o, &cell);
        return Runs(cell);
    }
};

TEST_F(FillFixture, ColumnsAsTextOrPictures) {
    const MsgInfo m = Record("有车");
    EXPECT_EQ(Fill(m, kIdColumn), (std::vector<ShownRun>{Grid("4711")}));
    EXPECT_EQ(Fill(m, kClassColumn), (std::vector<ShownRun>{Grid("货")}));
    EXPECT_EQ(Fill(m, kPlaceColumn), (std::vector<ShownRun>{Grid("乌鲁木齐市米")}));  // 12 bytes
    EXPECT_EQ(Fill(m, kChatColumn), (std::vector<ShownRun>{Grid("交谈")}));
    EXPECT_EQ(Fill(m, 7), (std::vector<ShownRun>{Grid("")}));

    o.pictures = true;
    Fill(m, kClassColumn);
    EXPECT_EQ(cell.runs[0].isImage, 1);
    EXPECT_EQ(cell.runs[0].imageId, kCargoClassBitmap);
    MsgInfo truck = m;
    std::strcpy(truck.Class, "车");
    Fill(truck, kClassColumn);
    EXPECT_EQ(cell.runs[0].imageId, kOtherClassBitmap);
    Fill(m, kChatColumn);
    EXPECT_EQ(cell.runs[0].imageId, kChatBitmap);
    Fill(Record("", ""), kChatColumn);
    EXPECT_EQ(cell.runs[0].isImage, 0);
}

TEST_F(FillFixture, UnloadedRowHasNoTimeNoChatAndOnlyTheHint) {
    const MsgInfo zero = Record("", "");
    EXPECT_EQ(Fill(zero, kChatColumn), (std::vector<ShownRun>{Grid("")}));
    EXPECT_TRUE(Fill(zero, kBodyColumn).empty());
    o.limitedRights = true;
    EXPECT_EQ(Fill(zero, kBodyColumn), (std::vector<ShownRun>{Colored("    双击查看", kHintColor)}));
}

TEST_F(FillFixture, ClosedDealIsBlueInEveryColumn) {
    const MsgInfo m = Record("电话:5551234 冷藏", "9:00", 1);
    for (int column : {kIdColumn, kClassColumn, kPlaceColumn, kChatColumn}) {
        Fill(m, column);
        EXPECT_EQ(cell.runs.at(0).useGridColor, 0) << column;
        EXPECT_EQ(cell.runs.at(0).textColor, kClosedDealColor) << column;
    }
    o.highlight = true;
    o.keyword = "冷藏";
    EXPECT_EQ(Fill(m, kBodyColumn),
              (std::vector<ShownRun>{Colored("电话:", kClosedDealColor), Colored("5551234", kDefaultPhoneColor),
                                Colored(" ", kClosedDealColor), Colored("冷藏", kKeywordColor),
                                Colored(" [9:00] (已成交)", kClosedDealColor)}));
}

TEST_F(FillFixture, LimitedRightsMaskTheListAndAddTheHint) {
    o.limitedRights = true;
    EXPECT_EQ(Fill(Record("电话:13912345678 速"), kBodyColumn),
              (std::vector<ShownRun>{Grid("电话: 速 [08:30]"), Colored("    双击查看", kHintColor)}));
    o.limitedRights = false;
    o.maskDigits = false;
    EXPECT_EQ(Fill(Record("电话:13912345678 速"), kBodyColumn),
              (std::vector<ShownRun>{Grid("电话:"), Colored("13912345678", kDefaultPhoneColor), Grid(" 速 [08:30]")}));
}

}  // namespace
}  // namespace tovan
