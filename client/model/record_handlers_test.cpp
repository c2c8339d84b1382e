#include "client/model/record_handlers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "client/model/record_test_fakes.h"

namespace tovan {
namespace {

using testing::FakeFrame;
using Calls = std::vector<std::string>;

class RecordHandlersTest : public ::testing::Test {
protected:
    FakeFrame f;
    RecordHandlers h{f.model, f};

    // A pushed offer: "!NEWRECORD!|ID|Class|ByName|AddTime|Area|BodyIs[|Sheng[|Status[|xian]]]".
    static std::string Push(const std::string& id, const std::string& area, const std::string& body,
                            const std::string& sheng, const std::string& cls = "车",
                            const std::string& xian = "") {
        std::string m = "!NEWRECORD!|" + id + "|" + cls + "|u1|12:00|" + area + "|" + body + "|" + sheng + "|0";
        if (!xian.empty()) m += "|" + xian;
        return m;
    }
    // A row reply: "!WORD!|ID|Class|ByName|AddTime|Area|BodyIs|Sheng|Status|key|row".
    static std::string Row(const std::string& word, const std::string& id, const std::string& key, int row) {
        return word + "|" + id + "|货|u2|11:00|c|body " + id + "|p|0|" + key + "|" + std::to_string(row);
    }
};

TEST_F(RecordHandlersTest, CurrentCountResetsOnlyForTheCurrentAreaOutsideWatchMode) {
    f.viewPending.Append(3, 7);
    f.lists.currentList.Reset(7);
    h.OnRecordCount("!RECORDCOUNT!|p|L|25");
    EXPECT_EQ(f.title, "T    pL信息25条");
    EXPECT_EQ(f.lists.currentList.Size(), 25);
    EXPECT_EQ(f.viewGrid.calls, Calls{"reset 25"});
    EXPECT_EQ(f.viewPending.Size(), 0u);

    f.title = "before";
    f.viewGrid.calls.clear();
    h.OnRecordCount("!RECORDCOUNT!|q|L|9");  // another area's count
    f.watchMode = 1;
    h.OnRecordCount("!RECORDCOUNT!|p|L|9");  // the view shows the watch list
    h.OnRecordCount("!RECORDCOUNT!|p|9");    // a field missing
    EXPECT_EQ(f.title, "before");
    EXPECT_EQ(f.lists.currentList.Size(), 25);
    EXPECT_TRUE(f.viewGrid.calls.empty());
}

TEST_F(RecordHandlersTest, WatchSearchAndMyCounts) {
    h.OnGuanzhuCount("!GUANZHUCOUNT!|4");  // not in watch mode: ignored
    EXPECT_EQ(f.lists.currentList.Size(), 0);
    f.watchMode = 1;
    h.OnGuanzhuCount("!GUANZHUCOUNT!|4");
    EXPECT_EQ(f.title, "T    共有关注信息4条");
    EXPECT_EQ(f.lists.currentList.Size(), 4);

    h.OnSousuoCount("!SOUSUOCOUNT!|30");  // the pane need not be visible
    EXPECT_EQ(f.caption, "搜索结果        共30条");
    EXPECT_EQ(f.lists.searchList.Size(), 30);
    EXPECT_EQ(f.searchGrid.calls, Calls{"reset 30"});

    f.lists.myMsgCount = -1;
    h.OnMyRecordCount("!MYRECORDCOUNT!|3");
    h.OnMyMsgRecord(Row("!MYMSGRECORD!", "77", "x", 1).c_str());
    h.OnMyRecordCount("!MYRECORDCOUNT!|5");  // grows, keeps the rows it has
    EXPECT_EQ(f.lists.myMsgCount, 5);
    EXPECT_STREQ(f.lists.myList.At(1).ID, "77");
    EXPECT_EQ(f.lists.myList.At(1).redraw, 1);
}

// The frame hears of every count reply that sized the current or the search
// list, once the list and its grid are reset: their rows in view are known.
TEST_F(RecordHandlersTest, CountRepliesTellTheFrameWhichListWasSized) {
    h.OnRecordCount("!RECORDCOUNT!|q|L|9");  // another area's count: nothing
    h.OnRecordCount("!RECORDCOUNT!|p|L|25");
    h.OnSousuoCount("!SOUSUOCOUNT!|30");
    h.OnMyRecordCount("!MYRECORDCOUNT!|3");  // the my-offers list is not paged
    f.watchMode = 1;
    h.OnGuanzhuCount("!GUANZHUCOUNT!|4");
    EXPECT_EQ(f.counted, (Calls{"current 25", "search 30", "current 4"}));
}

// Counts the client cannot hold are clamped; the caption shows what came.
TEST_F(RecordHandlersTest, CountsOutsideWhatTheClientHolds) {
    struct Case { const char* n; int rows; };
    const Case cases[] = {
        {"-5", 0}, {"abc", 0}, {"12abc", 12}, {" 7", 7},
        {"99999999999", RecordStore::kMaxRows},
        {"99999999999999999999999999", RecordStore::kMaxRows},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        h.OnSousuoCount((std::string("!SOUSUOCOUNT!|") + c.n).c_str());
        EXPECT_EQ(f.lists.searchList.Size(), c.rows);
        EXPECT_EQ(f.searchGrid.calls.back(), "reset " + std::to_string(c.rows));
        EXPECT_EQ(f.caption, std::string("搜索结果        共") + c.n + "条");
        h.OnMyRecordCount((std::string("!MYRECORDCOUNT!|") + c.n).c_str());
        EXPECT_EQ(f.lists.myList.Size(), c.rows);
        EXPECT_EQ(f.lists.myMsgCount, c.rows);
    }
}

TEST_F(RecordHandlersTest, RowRepliesFillRequestedRowsUnderTheirConditions) {
    h.OnRecordCount("!RECORDCOUNT!|p|L|10");
    h.OnSousuoCount("!SOUSUOCOUNT!|10");
    for (int r = 0; r < 4; ++r) {
        f.viewPending.Append(r, 10);
        f.searchPending.Append(r, 10);
    }
    f.viewGrid.calls.clear();
    f.searchGrid.calls.clear();

    h.OnSingleRecord(Row("!SINGLERECORD!", "100", "p", 0).c_str());
    h.OnSingleRecord(Row("!SINGLERECORD!", "101", "q", 1).c_str());    // other area: dropped
    h.OnGuanzhuRecord(Row("!GUANZHURECORD!", "102", "p", 2).c_str());  // not in watch mode
    h.OnSingleRecord("!SINGLERECORD!|103|货|u|t|c|b|p|0|p");            // no row index
    h.OnSousuoRecord(Row("!SOUSUORECORD!", "200", "anything", 3).c_str());  // key not checked
    h.OnSousuoRecord(Row("!SOUSUORECORD!", "201", "x", 8).c_str());    // never requested

    EXPECT_EQ(f.viewGrid.calls, Calls{"redraw 0"});
    EXPECT_EQ(f.searchGrid.calls, Calls{"redraw 3"});
    const MsgInfo& r = f.lists.currentList.At(0);
    EXPECT_STREQ(r.ID, "100");
    EXPECT_STREQ(r.Class, "货");
    EXPECT_STREQ(r.xian, "c");  // no xian field: the Area
    EXPECT_EQ(r.loaded, 1);
    EXPECT_EQ(f.lists.currentList.LoadedCount(), 1);
    EXPECT_STREQ(f.lists.searchList.At(3).ID, "200");

    f.watchMode = 1;
    h.OnSingleRecord(Row("!SINGLERECORD!", "104", "p", 1).c_str());     // watch mode: dropped
    h.OnGuanzhuRecord(Row("!GUANZHURECORD!", "105", "zz", 2).c_str());  // key not checked
    EXPECT_FALSE(f.lists.currentList.IsLoaded(1));
    EXPECT_STREQ(f.lists.currentList.At(2).ID, "105");
}

TEST_F(RecordHandlersTest, ALogonsClearingDropsTheOldListsPendingRows) {
    // Row 9 of a 10-row list was asked for; a logon reply empties the list,
    // an offer is pushed, and the late reply arrives: it must not land on
    // the pushed offer (9 + 1 - 10 = row 0).
    h.OnRecordCount("!RECORDCOUNT!|p|L|10");
    f.viewPending.Append(9, 10);
    ClearCurrentAndSearchLists(f.lists);
    EXPECT_EQ(f.viewPending.Size(), 0u);
    EXPECT_EQ(f.viewGrid.calls.back(), "reset 0");
    EXPECT_EQ(f.searchGrid.calls.back(), "reset 0");
    h.OnNewRecord(Push("77", "c", "pushed", "p").c_str());
    h.OnSingleRecord(Row("!SINGLERECORD!", "9", "p", 9).c_str());
    EXPECT_STREQ(f.lists.currentList.At(0).ID, "77");
}

TEST_F(RecordHandlersTest, RowReplyForAnEmptyListIsDropped) {
    f.viewPending.Append(0, 0);
    h.OnSingleRecord(Row("!SINGLERECORD!", "1", "p", 0).c_str());
    EXPECT_EQ(f.viewPending.Size(), 1u);  // not even looked up
    EXPECT_TRUE(f.viewGrid.calls.empty());
}

TEST_F(RecordHandlersTest, MyOffersRowIndexIsBoundsChecked) {
    h.OnMyRecordCount("!MYRECORDCOUNT!|2");
    for (const char* row : {"-1", "2", "99999999999", "-99999999999"}) {
        h.OnMyMsgRecord((std::string("!MYMSGRECORD!|9|车|u|t|c|b|p|2|k|") + row).c_str());
    }
    EXPECT_EQ(f.lists.myList.Size(), 2);
    EXPECT_EQ(f.lists.myList.LoadedCount(), 0);
    h.OnMyMsgRecord("!MYMSGRECORD!|9|车|u|t|c|b|p|2|k|1|xx");
    EXPECT_EQ(f.lists.myList.At(1).Status, 2);
    EXPECT_STREQ(f.lists.myList.At(1).xian, "xx");
}

// Server fields longer than the record's fields are cut to the width less one
// byte and stay NUL-terminated; nothing beyond them is touched.
TEST_F(RecordHandlersTest, OverlongFieldsAreCut) {
    h.OnMyRecordCount("!MYRECORDCOUNT!|1");
    const std::string big(7000, 'A');
    const std::string msg = "!MYMSGRECORD!|" + big + "|" + big + "|" + big + "|" + big + "|" + big + "|" + big +
                            "|" + big + "|1|k|0|" + big;
    h.OnMyMsgRecord(msg.c_str());
    const MsgInfo& r = f.lists.myList.At(0);
    struct Field { const char* name; const char* text; std::size_t width; };
    const Field fields[] = {
        {"ID", r.ID, sizeof r.ID}, {"Area", r.Area, sizeof r.Area},
        {"AddTime", r.AddTime, sizeof r.AddTime}, {"BodyIs", r.BodyIs, sizeof r.BodyIs},
        {"Class", r.Class, sizeof r.Class}, {"ByName", r.ByName, sizeof r.ByName},
        {"Sheng", r.Sheng, sizeof r.Sheng}, {"xian", r.xian, sizeof r.xian},
    };
    for (const Field& fd : fields) {
        EXPECT_EQ(std::strlen(fd.text), fd.width - 1) << fd.name;
    }
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.loaded, 1);
    EXPECT_EQ(r.redraw, 1);
}

TEST_F(RecordHandlersTest, PushEntersCurrentListByProvinceOrArea) {
    f.title = "T    p当前信息0条";
    h.OnNewRecord(Push("1", "x", "b", "p").c_str());  // Sheng is the key, Area differs
    h.OnNewRecord(Push("2", "p", "b", "y").c_str());  // Area is the key
    h.OnNewRecord(Push("3", "x", "b", "y").c_str());  // neither
    EXPECT_EQ(f.lists.currentList.Size(), 2);
    EXPECT_STREQ(f.lists.currentList.At(0).ID, "2");
    EXPECT_EQ(f.title, "T    p当前信息2条");
    EXPECT_EQ(f.viewGrid.calls, (Calls{"top", "top"}));
    EXPECT_TRUE(f.notes.empty());

    f.watchMode = 1;
    f.watchAreas = "'p'";
    f.watchClasses = "'车'";
    h.OnNewRecord(Push("4", "x", "b", "p").c_str());  // goes to the watch filter instead
    EXPECT_EQ(f.title, "T    关注信息3条");
}

TEST_F(RecordHandlersTest, PushOptionalFieldsAndTheirDefaults) {
    f.currentArea = "c";
    h.OnNewRecord("!NEWRECORD!|5|车|u|t|c|body");
    h.OnNewRecord("!NEWRECORD!|6|车|u|t|c|body|s|1|xx");
    h.OnNewRecord("!NEWRECORD!|7|车|u|t|c");  // no BodyIs: ignored
    ASSERT_EQ(f.lists.currentList.Size(), 2);
    const MsgInfo& a = f.lists.currentList.At(1);
    EXPECT_STREQ(a.Sheng, "");
    EXPECT_EQ(a.Status, 0);
    EXPECT_STREQ(a.xian, "c");
    const MsgInfo& b = f.lists.currentList.At(0);
    EXPECT_EQ(b.Status, 1);
    EXPECT_STREQ(b.xian, "xx");
}

TEST_F(RecordHandlersTest, ReturnTripTitleKeepsItsWord) {
    struct Case { const char* before; const char* after; };
    const Case cases[] = {
        {"T    p返程信息4条", "T    p返程信息1条"},
        {"返程 at the start only", "T    p当前信息1条"},
        {"T    p当前信息4条", "T    p当前信息1条"},
    };
    for (const Case& c : cases) {
        f.lists.currentList.Reset(0);
        f.title = c.before;
        h.OnNewRecord(Push("1", "p", "b", "p").c_str());
        EXPECT_EQ(f.title, c.after) << c.before;
    }
}

TEST_F(RecordHandlersTest, WatchAreaPermissionFollowsTheAreaLevel) {
    f.watchMode = 1;
    f.watchAreas = "'c','d','p','q'";
    f.watchClasses = "'车'";
    struct Case { int level; const char* area; const char* sheng; bool in; };
    const Case cases[] = {
        {0, "d", "q", true},    // all areas
        {1, "d", "p", true},    // own province
        {1, "d", "q", false},
        {2, "c", "q", true},    // own city
        {2, "d", "p", false},   // own province is not enough for a city account
    };
    for (const Case& c : cases) {
        f.areaLevel = c.level;
        const int before = f.lists.currentList.Size();
        h.OnNewRecord(Push("1", c.area, "b", c.sheng).c_str());
        EXPECT_EQ(f.lists.currentList.Size() - before, c.in ? 1 : 0)
            << c.level << " " << c.area << " " << c.sheng;
    }
}

TEST_F(RecordHandlersTest, WatchCriteria) {
    f.watchMode = 1;
    f.watchAreas = "'广州','深圳'";
    f.watchClasses = "'货'";
    f.watchKeywords = "冷藏";
    f.watchDestinations = "'北京','上海'";
    struct Case { const char* area; const char* sheng; const char* xian; const char* cls; const char* body; bool in; };
    const Case cases[] = {
        {"广州", "广东", "", "货", "发往上海", true},         // second destination
        {"广州", "广东", "", "货", "冷藏车去武汉", true},      // keyword
        {"广州", "广东", "", "货", "去武汉", false},          // neither
        {"佛山", "广东", "深圳", "货", "去上海", true},       // area found through xian
        {"佛山", "广东", "南海", "货", "去上海", false},      // area not listed
        {"广州", "广东", "", "车", "去上海", false},          // class not listed
    };
    for (const Case& c : cases) {
        const int before = f.lists.currentList.Size();
        h.OnNewRecord(Push("1", c.area, c.body, c.sheng, c.cls, c.xian).c_str());
        EXPECT_EQ(f.lists.currentList.Size() - before, c.in ? 1 : 0) << c.body;
    }
    EXPECT_EQ(f.notes, Calls(3, "新关注信息"));
    EXPECT_EQ(f.title, "T    关注信息3条");
}

TEST(RecordCriteria, EmptyKeywordAndDestinationsAcceptAnyText) {
    MsgInfo rec{};
    std::strcpy(rec.Area, "a");
    std::strcpy(rec.Class, "k");
    std::strcpy(rec.BodyIs, "text");
    EXPECT_TRUE(MatchesCriteria(rec, {"'a'", "'k'", "", ""}));
    EXPECT_FALSE(MatchesCriteria(rec, {"'a'", "'k'", "", "zz"}));
    EXPECT_FALSE(MatchesCriteria(rec, {"'a'", "'k'", "'zz'", ""}));
    EXPECT_TRUE(MatchesCriteria(rec, {"'a'", "'k'", "'zz',,'ex'", ""}));  // empty pieces skipped
    // A record without province (or county) passes any area list: the empty
    // text is part of every text.
    EXPECT_TRUE(MatchesCriteria(rec, {"'zone'", "'k'", "", ""}));
    std::strcpy(rec.Sheng, "s");
    std::strcpy(rec.xian, "x");
    EXPECT_FALSE(MatchesCriteria(rec, {"'zone'", "'k'", "", ""}));
}

// Destination lists are not limited to a fixed working copy: an item far
// beyond 6000 bytes is still found, and nothing overflows.
TEST(RecordCriteria, VeryLongDestinationList) {
    MsgInfo rec{};
    std::strcpy(rec.Area, "a");
    std::strcpy(rec.Class, "k");
    std::strcpy(rec.BodyIs, "to Lhasa");
    std::string dests;
    while (dests.size() < 9000) dests += "'nowhere',";
    EXPECT_FALSE(MatchesCriteria(rec, {"'a'", "'k'", dests, ""}));
    EXPECT_TRUE(MatchesCriteria(rec, {"'a'", "'k'", dests + "'Lhasa'", ""}));
    const std::string areas(7000, 'a');
    EXPECT_TRUE(MatchesCriteria(rec, {areas, "'k'", dests + "'Lhasa'", std::string(7000, 'x')}));
}

TEST_F(RecordHandlersTest, SearchFilterOnlyWhileThePaneIsVisible) {
    f.currentArea = "none";
    f.searchAreas = "'c'";
    f.searchClasses = "'车'";
    h.OnNewRecord(Push("1", "c", "b", "p").c_str());
    EXPECT_EQ(f.lists.searchList.Size(), 0);  // hidden pane
    EXPECT_TRUE(f.notes.empty());

    f.searchVisible = true;
    struct Case { int level; const char* area; const char* sheng; bool in; };
    const Case cases[] = {
        {2, "c", "q", true},
        {2, "d", "p", false},  // city account: other city
        {1, "c", "p", true},
        {1, "c", "q", false},  // province account: other province
        {0, "c", "q", true},
    };
    for (const Case& c : cases) {
        f.areaLevel = c.level;
        const int before = f.lists.searchList.Size();
        h.OnNewRecord(Push("1", c.area, "b", c.sheng, "车", "c").c_str());
        EXPECT_EQ(f.lists.searchList.Size() - before, c.in ? 1 : 0) << c.level << c.area << c.sheng;
    }
    EXPECT_EQ(f.caption, "搜索结果        共3条");
    EXPECT_EQ(f.notes, Calls(3, "搜索结果中有新信息"));
    EXPECT_EQ(f.searchGrid.calls, Calls(3, "top"));
}

TEST_F(RecordHandlersTest, OnePushCanLandInBothLists) {
    f.searchVisible = true;
    f.searchAreas = "'p'";
    f.searchClasses = "'车'";
    h.OnNewRecord(Push("1", "c", "b", "p").c_str());
    EXPECT_EQ(f.lists.currentList.Size(), 1);
    EXPECT_EQ(f.lists.searchList.Size(), 1);
}

TEST(IdList, ItemsMatchWholeIdsOnly) {
    struct Case { const char* list; const char* id; bool in; };
    const Case cases[] = {
        {"12,345", "12", true},  {"12,345", "345", true}, {"12,345", "123", false},
        {"12,345", "45", false}, {"12,345", "1", false},  {"12", "12", true},
        {"1,22,3", "22", true},  {"1,22,3", "2", false},  {",", "", false},
        {"12345", "12", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IdListContains(c.list, c.id), c.in) << c.list << " / " << c.id;
}

TEST_F(RecordHandlersTest, ClosedDealsMarkMatchingRowsOfBothLists) {
    f.lists.currentList.Reset(6);
    f.lists.searchList.Reset(2);
    f.lists.myList.Reset(1);
    const char* ids[] = {"12", "123", "45", "345"};
    for (int i = 0; i < 4; ++i) {
        MsgInfo r{};
        std::strcpy(r.ID, ids[i]);
        r.loaded = 1;
        f.lists.currentList.Store(i, r);
    }
    MsgInfo r{};
    std::strcpy(r.ID, "345");
    f.lists.searchList.Store(1, r);
    f.lists.myList.Store(0, r);

    h.OnChengjiao("!CHENGJIAO!|12,345");
    EXPECT_EQ(f.lists.currentList.At(0).Status, 1);
    EXPECT_EQ(f.lists.currentList.At(1).Status, 0);
    EXPECT_EQ(f.lists.currentList.At(2).Status, 0);
    EXPECT_EQ(f.lists.currentList.At(3).Status, 1);
    EXPECT_FALSE(f.lists.currentList.HasData(4));  // count-only rows stay untouched
    EXPECT_EQ(f.lists.searchList.At(1).Status, 1);
    EXPECT_EQ(f.lists.myList.At(0).Status, 0);
    EXPECT_EQ(f.viewGrid.calls, (Calls{"redraw 0", "redraw 3"}));
    EXPECT_EQ(f.searchGrid.calls, Calls{"redraw 1"});
}

TEST(ReplaceNumber, EveryOccurrenceAlsoInsideOtherNumbers) {
    EXPECT_EQ(ReplaceNumber("服务还有10天到期    p当前信息10条", 10, 9), "服务还有9天到期    p当前信息9条");
    EXPECT_EQ(ReplaceNumber("共110条", 10, 9), "共19条");
    EXPECT_EQ(ReplaceNumber("1111", 11, 10), "1010");
    EXPECT_EQ(ReplaceNumber("none", 10, 9), "none");
}

TEST_F(RecordHandlersTest, DeletionRemovesFirstMatchAndRewritesCaptions) {
    h.OnRecordCount("!RECORDCOUNT!|p|当前|10");
    f.title = "T  c站 A    您的服务还有10天到期    p当前信息10条";
    h.OnSousuoCount("!SOUSUOCOUNT!|3");
    for (RecordStore* list : {&f.lists.currentList, &f.lists.searchList}) {
        MsgInfo r{};
        std::strcpy(r.ID, "77");
        r.loaded = 1;
        list->Store(2, r);
        list->Store(1, r);  // the first match is removed, only that one
    }
    f.viewGrid.calls.clear();
    f.searchGrid.calls.clear();

    h.OnDeleteMsg("!DELETEMSG!|77");
    EXPECT_EQ(f.title, "T  c站 A    您的服务还有9天到期    p当前信息9条");
    EXPECT_EQ(f.caption, "搜索结果        共2条");
    EXPECT_EQ(f.lists.currentList.Size(), 9);
    EXPECT_EQ(f.lists.currentList.FindFirstById("77"), 1);  // the former row 2
    EXPECT_EQ(f.viewGrid.calls, Calls{"delete 1"});
    EXPECT_EQ(f.searchGrid.calls, Calls{"delete 1"});

    h.OnDeleteMsg("!DELETEMSG!|7");  // no row has exactly this ID
    h.OnDeleteMsg("!DELETEMSG!");
    EXPECT_EQ(f.lists.currentList.Size(), 9);
    EXPECT_EQ(f.viewGrid.calls.size(), 1u);
}

}  // namespace
}  // namespace tovan
