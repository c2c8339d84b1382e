#include "tools/exchange-sim/offer_store.h"
#include "tools/exchange-sim/store_test_util.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <string>
#include <vector>

#include "tools/exchange-sim/areas.h"

namespace exsim {
namespace {

// The query texts as the client assembles them from its criteria: head, the
// area list three times, the class list, then destinations and keyword.
const char* const kSearchCountHead = "SELECT COUNT(distinct BodyIs) FROM MsgIs WHERE (area IN(";
const char* const kWatchCountHead = "SELECT COUNT(*) FROM MsgIs WHERE (area IN(";
const char* const kRecordsHead =
    "SELECT [ID],[Class],[ByName],[AddTime],[Area],[Sheng],[Status],[BodyIs],[xian] FROM MsgIs WHERE  (area IN(";
const char* const kDedupe = " AND [ID] IN (SELECT MAX([ID]) FROM MsgIs GROUP BY BodyIs) ";
const char* const kOrder = " ORDER BY ID DESC";

std::string ClientWhere(const std::string& head, const std::string& areas, const std::string& classes,
                        const std::string& dest, const std::string& text, const std::string& open) {
    std::string s = head + areas + ") OR sheng IN (" + areas + ") OR xian IN (" + areas + ")) AND " +
                    " Class IN (" + classes + ") ";
    if (!dest.empty() || !text.empty()) s += open;
    if (!dest.empty()) s += " id IN (SELECT fid FROM msgfull WHERE gjz IN (" + dest + "))";
    if (!dest.empty() && !text.empty()) s += " OR ";
    if (!text.empty()) s += " CHARINDEX('" + text + "',bodyis)>0 ";
    if (!dest.empty() || !text.empty()) s += ")";
    return s;
}

struct Criteria {
    std::string areas, classes, dest, text;
};

std::string SearchCount(const Criteria& c) {
    return ClientWhere(kSearchCountHead, c.areas, c.classes, c.dest, c.text, "AND (");
}
std::string WatchCount(const Criteria& c) {
    return ClientWhere(kWatchCountHead, c.areas, c.classes, c.dest, c.text, "AND (");
}
std::string SearchRecords(const Criteria& c) {
    return ClientWhere(kRecordsHead, c.areas, c.classes, c.dest, c.text, " AND (") + kDedupe + kOrder;
}
std::string WatchRecords(const Criteria& c) {
    return ClientWhere(kRecordsHead, c.areas, c.classes, c.dest, c.text, " AND (") + kOrder;
}

class OfferStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        store = OfferStore::Open(":memory:", &error);
        ASSERT_TRUE(store) << error;
        // ids 1..5
        Add("货", "test", "石家庄市", "河北省", "正定县", "石家庄到广州，有钢材30吨");
        Add("车", "peer", "石家庄市", "河北省", "辛集市", "9.6米厢式车，求往郑州方向的货");
        Add("货", "bdkc", "保定市", "河北省", "涿州市", "保定到广州，有玉米20吨");
        Add("货", "test", "石家庄市", "河北省", "石家庄市", "石家庄到广州，有钢材30吨");
        Add("货", "sdwl", "济南市", "山东省", "章丘区", "济南到石家庄，有钢材10吨");
    }
    void Add(const char* cls, const char* by, const char* area, const char* sheng, const char* xian,
             const char* body) {
        Offer o;
        o.cls = cls;
        o.byName = by;
        o.addTime = "12-09 08:00";
        o.area = area;
        o.sheng = sheng;
        o.xian = xian;
        o.body = body;
        ASSERT_GT(store->Add(o, DestinationKeywords(o.body, o.area)), 0);
    }
    std::unique_ptr<OfferStore> store;
};

TEST_F(OfferStoreTest, ClientQueryTextsRunAgainstTheTables) {
    const std::string both = "'货','车'";
    struct Case {
        const char* name;
        Criteria c;
        std::int64_t watchCount, searchCount;
    };
    const Case cases[] = {
        {"city by area", {"'石家庄市'", both, "", ""}, 3, 2},
        {"province by sheng", {"'河北省'", both, "", ""}, 4, 3},
        {"county by xian", {"'辛集市'", both, "", ""}, 1, 1},
        {"class filter", {"'河北省'", "'车'", "", ""}, 1, 1},
        {"empty class list", {"'河北省'", "''", "", ""}, 0, 0},
        {"destination keyword", {"'河北省'", both, "'广州市'", ""}, 3, 2},
        {"free text", {"'河北省','山东省'", both, "", "钢材"}, 3, 2},
        {"destination or text", {"'河北省'", both, "'郑州市'", "玉米"}, 2, 2},
        {"nothing matches", {"'广东省'", both, "", ""}, 0, 0},
        // Watch areas that were all filtered away, and a name removed from the middle.
        {"empty area list", {"''", both, "", ""}, 0, 0},
        {"empty quoted name", {"'石家庄市','','保定市'", both, "", ""}, 4, 3},
        {"keyword with a quote removed and a bar", {"'河北省'", both, "", "a|b"}, 0, 0},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(store->CountQuery(WatchCount(k.c)), k.watchCount) << k.name << ": " << store->lastQueryError();
        EXPECT_EQ(store->CountQuery(SearchCount(k.c)), k.searchCount) << k.name << ": " << store->lastQueryError();
        EXPECT_EQ(static_cast<std::int64_t>(store->RowsQuery(WatchRecords(k.c), 0, 80).size()), k.watchCount)
            << k.name;
        EXPECT_EQ(static_cast<std::int64_t>(store->RowsQuery(SearchRecords(k.c), 0, 80).size()), k.searchCount)
            << k.name;
    }
}

TEST_F(OfferStoreTest, RecordQueriesGiveNewestFirstOnePerTextAndPage) {
    Criteria c{"'河北省'", "'货','车'", "'广州市'", ""};
    EXPECT_EQ(Ids(store->RowsQuery(WatchRecords(c), 0, 80)), (std::vector<std::int64_t>{4, 3, 1}));
    // The search keeps the newest offer of each text.
    EXPECT_EQ(Ids(store->RowsQuery(SearchRecords(c), 0, 80)), (std::vector<std::int64_t>{4, 3}));
    EXPECT_EQ(Ids(store->RowsQuery(WatchRecords(c), 1, 1)), std::vector<std::int64_t>{3});
    EXPECT_TRUE(store->RowsQuery(WatchRecords(c), 3, 10).empty());

    std::vector<Offer> rows = store->RowsQuery(WatchRecords(c), 2, 1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].cls, "货");
    EXPECT_EQ(rows[0].byName, "test");
    EXPECT_EQ(rows[0].area, "石家庄市");
    EXPECT_EQ(rows[0].sheng, "河北省");
    EXPECT_EQ(rows[0].xian, "正定县");
    EXPECT_EQ(rows[0].addTime, "12-09 08:00");
    EXPECT_EQ(rows[0].body, "石家庄到广州，有钢材30吨");

    // The my-offers query names the table in lower case.
    const std::string mine =
        "SELECT [ID],[Class],[ByName],[AddTime],[Area],[Sheng],[Status],[BodyIs],[xian] FROM msgis WHERE "
        "Byname='test' ORDER BY ID DESC";
    EXPECT_EQ(Ids(store->RowsQuery(mine, 0, 10)), (std::vector<std::int64_t>{4, 1}));
    EXPECT_EQ(store->CountByUser("test"), 2);
}

TEST_F(OfferStoreTest, ClientTextsCannotWriteAndFailuresGiveNothing) {
    const char* const texts[] = {
        "DELETE FROM MsgIs",
        "UPDATE MsgIs SET Status=1",
        "INSERT INTO MsgIs (Class) VALUES ('x')",
        "DROP TABLE MsgIs",
        "CREATE TABLE t (a)",
        "ATTACH DATABASE ':memory:' AS other",
        "PRAGMA writable_schema=1",
        "SELECT COUNT(*) FROM MsgIs; DELETE FROM MsgIs",
        "DELETE FROM MsgIs RETURNING ID",
        "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c) SELECT COUNT(*) FROM c",
        "SELECT length(zeroblob(100000000))",
        "SELECT COUNT(*) FROM nosuchtable",
        "SELECT COUNT(*) FROM MsgIs WHERE (area IN('",
        "",
        "\xFF\xFE garbage '",
    };
    for (const char* t : texts) {
        EXPECT_EQ(store->CountQuery(t), 0) << t;
        EXPECT_FALSE(store->lastQueryError().empty()) << t;
        EXPECT_TRUE(store->RowsQuery(t, 0, 10).empty()) << t;
    }
    EXPECT_EQ(store->Size(), 5);
    EXPECT_EQ(store->Get(1)->status, 0);
    // Still usable afterwards, and the internal writes are not limited.
    EXPECT_EQ(store->CountQuery("SELECT COUNT(*) FROM MsgIs"), 5);
    EXPECT_EQ(store->CloseDeals({1}, ""), std::vector<std::int64_t>{1});
}

TEST_F(OfferStoreTest, RunawayQueryIsStoppedQuickly) {
    const std::string join =
        "SELECT COUNT(*) FROM MsgIs a, MsgIs b, MsgIs c, MsgIs d, MsgIs e, MsgIs f, MsgIs g, MsgIs h, "
        "MsgIs i, MsgIs j, MsgIs k, MsgIs l";
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(store->CountQuery(join), 0);
    EXPECT_FALSE(store->lastQueryError().empty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST_F(OfferStoreTest, CharIndexHasServerSemanticsOnWholeCharacters) {
    struct Case {
        std::string sql;
        long long expected;  // -1: NULL
    };
    const Case cases[] = {
        {"SELECT CHARINDEX('b','abc')", 2},
        {"SELECT CHARINDEX('abc','abc')", 1},
        {"SELECT CHARINDEX('x','abc')", 0},
        {"SELECT CHARINDEX('','abc')", 0},
        {"SELECT CHARINDEX('a','abca',2)", 4},
        {"SELECT CHARINDEX('a','abca',9)", 0},
        {"SELECT CHARINDEX(NULL,'abc')", -1},
        {"SELECT CHARINDEX('钢材','有钢材')", 3},
        // The bytes A1 B0 occur in 啊阿 only across the two characters.
        {"SELECT CHARINDEX('\xA1\xB0','\xB0\xA1\xB0\xA2')", 0},
        {"SELECT charindex('c','abc')", 3},
    };
    for (const Case& c : cases) {
        sqlite3_stmt* s = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(store->handle(), c.sql.c_str(), -1, &s, nullptr), SQLITE_OK) << c.sql;
        ASSERT_EQ(sqlite3_step(s), SQLITE_ROW) << c.sql;
        if (c.expected < 0)
            EXPECT_EQ(sqlite3_column_type(s, 0), SQLITE_NULL) << c.sql;
        else
            EXPECT_EQ(sqlite3_column_int64(s, 0), c.expected) << c.sql;
        sqlite3_finalize(s);
    }
}

TEST_F(OfferStoreTest, AreaListsCountAndPageNewestFirst) {
    EXPECT_EQ(store->CountArea("石家庄市"), 3);
    EXPECT_EQ(store->CountArea("河北省"), 4);
    EXPECT_EQ(store->CountArea("章丘区"), 1);
    EXPECT_EQ(Ids(store->AreaRows("河北省", 0, 80)), (std::vector<std::int64_t>{4, 3, 2, 1}));
    EXPECT_EQ(Ids(store->AreaRows("河北省", 1, 2)), (std::vector<std::int64_t>{3, 2}));
    EXPECT_TRUE(store->AreaRows("河北省", -1, 2).empty());
}

TEST_F(OfferStoreTest, DealsOnlyForTheOwnerAndDeletionTakesKeywords) {
    EXPECT_EQ(store->CloseDeals({1, 2, 99}, "test"), std::vector<std::int64_t>{1});
    EXPECT_EQ(store->Get(1)->status, 1);
    EXPECT_EQ(store->Get(2)->status, 0);
    EXPECT_TRUE(store->Delete(3));
    EXPECT_FALSE(store->Delete(3));
    EXPECT_EQ(store->CountQuery("SELECT COUNT(*) FROM msgfull WHERE fid=3"), 0);
}

TEST(ParseIdList, TakesPlainDecimalsOnly) {
    EXPECT_EQ(ParseIdList("12,345"), (std::vector<std::int64_t>{12, 345}));
    EXPECT_EQ(ParseIdList(",7,,x,-3,0,8 ,9"), (std::vector<std::int64_t>{7, 9}));
    EXPECT_TRUE(ParseIdList("").empty());
    EXPECT_TRUE(ParseIdList("99999999999999999999999").empty());
}

}  // namespace
}  // namespace exsim
