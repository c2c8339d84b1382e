// The client's own search and watch statements, built by its query code,
// run against the simulator's store: client and simulator must agree on
// every text the client can send.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tools/exchange-sim/areas.h"
#include "client/model/fake_profile_reader.h"
#include "tools/exchange-sim/offer_store.h"
#include "tools/exchange-sim/sample_offers.h"
#include "tools/exchange-sim/store_test_util.h"
#include "client/model/search_commands.h"
#include "client/model/search_queries.h"

namespace exsim {
namespace {

using tovan::QueryCriteria;

class ClientQueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        store = OfferStore::Open(":memory:", &error);
        ASSERT_TRUE(store) << error;
        Add("货", "石家庄市", "河北省", "正定县", "石家庄到广州，有钢材30吨");       // 1
        Add("车", "石家庄市", "河北省", "辛集市", "9.6米厢式车，求往郑州方向的货");  // 2
        Add("货", "保定市", "河北省", "涿州市", "保定到广州，有玉米20吨");           // 3
        Add("货", "石家庄市", "河北省", "石家庄市", "石家庄到广州，有钢材30吨");     // 4, text of 1
        Add("货", "济南市", "山东省", "章丘区", "济南到石家庄，有钢材10吨");         // 5
        Add("车", "保定市", "河北省", "保定市", "9.6米车x) OR 1=1 --");              // 6
    }
    void Add(const char* cls, const char* area, const char* sheng, const char* xian, const char* body) {
        Offer o;
        o.cls = cls;
        o.byName = "test";
        o.addTime = "12-09 08:00";
        o.area = area;
        o.sheng = sheng;
        o.xian = xian;
        o.body = body;
        ASSERT_GT(store->Add(o, DestinationKeywords(o.body, o.area)), 0);
    }
    // Runs a statement, failing the test when the store rejects it.
    std::int64_t Count(const std::string& sql) {
        const std::int64_t n = store->CountQuery(sql);
        EXPECT_EQ(store->lastQueryError(), "") << sql;
        return n;
    }
    std::vector<std::int64_t> Rows(const std::string& sql) {
        std::vector<std::int64_t> ids = Ids(store->RowsQuery(sql, 0, 80));
        EXPECT_EQ(store->lastQueryError(), "") << sql;
        return ids;
    }

    std::unique_ptr<OfferStore> store;
};

TEST_F(ClientQueryTest, StatementsCountAndListWhatTheCriteriaSay) {
    const std::string both = "'货','车'";
    using V = std::vector<std::int64_t>;
    struct Case {
        const char* name;
        QueryCriteria c;
        V watch;   // every matching record, newest first
        V search;  // the newest record of each text
    };
    const Case cases[] = {
        {"city by area", {"'石家庄市'", both, "", ""}, {4, 2, 1}, {4, 2}},
        {"province by sheng", {"'河北省'", both, "", ""}, {6, 4, 3, 2, 1}, {6, 4, 3, 2}},
        {"county by xian", {"'辛集市'", both, "", ""}, {2}, {2}},
        {"class list", {"'河北省'", "'车'", "", ""}, {6, 2}, {6, 2}},
        {"empty class list", {"'河北省'", "''", "", ""}, {}, {}},
        {"destinations", {"'河北省'", both, "'广州市'", ""}, {4, 3, 1}, {4, 3}},
        {"keyword", {"'河北省','山东省'", both, "", "钢材"}, {5, 4, 1}, {5, 4}},
        {"destinations or keyword", {"'河北省'", both, "'郑州市'", "玉米"}, {3, 2}, {3, 2}},
        {"empty name in the area list", {"'石家庄市','','保定市'", both, "", ""}, {6, 4, 3, 2, 1},
         {6, 4, 3, 2}},
        {"all areas filtered away", {"''", both, "", ""}, {}, {}},
        // Quotes in user text never reach the statement: the text is searched as written.
        {"quote in keyword", {"'河北省'", both, "", "x') OR 1=1 --"}, {6}, {6}},
        {"quote in area list", {"'河北省') OR 1=1 --", both, "", ""}, {}, {}},
        {"message characters in keyword", {"'河北省'", both, "", "钢^材|"}, {4, 1}, {4}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(Count(tovan::BuildWatchCountStatement(k.c)), static_cast<std::int64_t>(k.watch.size()));
        EXPECT_EQ(Rows(tovan::BuildWatchRecordStatement(k.c)), k.watch);
        EXPECT_EQ(Count(tovan::BuildSearchCountStatement(k.c)), static_cast<std::int64_t>(k.search.size()));
        EXPECT_EQ(Rows(tovan::BuildSearchRecordStatement(k.c)), k.search);
    }
}

// Every sample offer, searched for the way the client asks: to its city, its
// county and its province, it is among the results; to its own city (where
// it starts, not where it goes) it is not.
TEST(SampleOffers, EachIsFoundBySearchesToItsOwnDestination) {
    std::string error;
    std::unique_ptr<OfferStore> store = OfferStore::Open(":memory:", &error);
    ASSERT_TRUE(store) << error;
    const std::vector<SampleOffer> samples = SampleOffers(1765270800);
    ASSERT_EQ(LoadSampleOffers(*store, 1765270800), static_cast<int>(samples.size()));

    auto found = [&](const SampleOffer& s, const std::string& destinations) {
        const QueryCriteria c{"'" + s.offer.area + "'", "'" + s.offer.cls + "'", destinations, ""};
        const std::vector<std::int64_t> ids = Ids(store->RowsQuery(tovan::BuildWatchRecordStatement(c), 0, 1000));
        EXPECT_EQ(store->lastQueryError(), "");
        return std::find(ids.begin(), ids.end(), s.offer.id) != ids.end();
    };
    std::int64_t id = 0;
    for (SampleOffer s : samples) {
        s.offer.id = ++id;  // stored oldest first
        SCOPED_TRACE(s.offer.body);
        const SampleCity* to = FindCity(s.destCity);
        ASSERT_NE(to, nullptr) << s.destCity;
        EXPECT_TRUE(found(s, "'" + s.destCity + "'"));
        EXPECT_TRUE(found(s, "'" + std::string(to->province) + "'"));
        if (!s.destCounty.empty()) {
            EXPECT_TRUE(found(s, "'" + s.destCounty + "'"));
        }
        if (s.destCity != s.offer.area) {
            EXPECT_FALSE(found(s, "'" + s.offer.area + "'"));
        }
    }
}

// The ports of the frame: what the commands send.
struct SentMessages : tovan::Outbox, tovan::QueryFramePorts {
    SentMessages() : QueryFramePorts(static_cast<tovan::Outbox&>(*this)) {}
    std::vector<std::string> sent;
    void Send(const std::string& m) override { sent.push_back(m); }
    void DropQueuedListRequests() override {}
    void ShowLimitedRightsBox() override {}
    void ShowCriteriaTooLongBox() override {}
    void ShowSearchPane() override {}
    void RecalcLayout() override {}
    void ScrollViewToTop() override {}
    void SelectCurrentAreaInTree() override {}
    void SetFrameTitle(const std::string&) override {}
};

// The statement inside "!WORD!|statement^".
std::string Statement(const std::string& message, const std::string& word) {
    EXPECT_EQ(message.substr(0, word.size() + 1), word + "|");
    EXPECT_EQ(message.back(), '^');
    return message.substr(word.size() + 1, message.size() - word.size() - 2);
}

TEST_F(ClientQueryTest, CommandsSendWhatTheStoreAnswers) {
    tovan::ClientModel frame;
    tovan::AccountState& account = frame.account;
    account.homeCity = "石家庄市";
    account.homeProvince = "河北省";
    account.thirdArea = "保定市";
    account.areaLevel = 2;
    account.isFullMember = 1;
    account.currentArea = "石家庄市";
    frame.titlePrefix = "T";
    const std::string& searchRecords = frame.searchRecordQuery;
    const std::string& watchRecords = frame.watchRecordQuery;
    SentMessages ports;

    // A level-2 account watching its city, a county of it, a city outside
    // its scope (dropped) and its third area, for cargo going to 广州.
    tovan::FakeProfileReader profiles;
    profiles.Set("area.ini", "石家庄市", "XIAN", "正定县\\辛集市\\");
    profiles.Set("dmr.ini", "关注", "From", "正定县,济南市,保定市");
    profiles.Set("dmr.ini", "关注", "To", "广州市");
    profiles.Set("dmr.ini", "关注", "Type", "货");
    const tovan::AreaIni areas{profiles, "area.ini"};
    ASSERT_EQ(tovan::StartWatch(frame, ports, profiles, areas), tovan::QueryCommandResult::kSent);
    ASSERT_EQ(ports.sent.size(), 1u);
    EXPECT_EQ(Count(Statement(ports.sent[0], "!GUANZHUCOUNT!")), 2);
    EXPECT_EQ(Rows(watchRecords), (std::vector<std::int64_t>{3, 1}));

    const auto dialog = [](const tovan::SearchDialogInputs&, tovan::SearchDialogResult& out) {
        out = {"'石家庄市','济南市'", "", "'货','车'", "钢'材"};
        return true;
    };
    ASSERT_EQ(tovan::StartSearch(frame, ports, dialog), tovan::QueryCommandResult::kSent);
    ASSERT_EQ(ports.sent.size(), 2u);
    EXPECT_EQ(Count(Statement(ports.sent[1], "!SOUSUOCOUNT!")), 2);
    EXPECT_EQ(Rows(searchRecords), (std::vector<std::int64_t>{5, 4}));
}

}  // namespace
}  // namespace exsim
