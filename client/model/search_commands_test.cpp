#include "client/model/search_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "client/model/fake_profile_reader.h"
#include "client/model/fake_query_ports.h"
#include "client/model/record_handlers.h"
#include "client/model/record_test_fakes.h"

namespace tovan {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A frame of a level-2 account in 石家庄市 with the third area 辛集市;
// area.ini knows the city's counties.
class QueryCommandsTest : public ::testing::Test {
protected:
    QueryCommandsTest() {
        titlePrefix = "物流网 石家庄市";
        searchAreas = searchDestinations = searchClasses = searchText = searchRecordQuery = "old";
        account.homeCity = "石家庄市";
        account.homeProvince = "河北省";
        account.thirdArea = "辛集市";
        account.areaLevel = 2;
        account.isFullMember = 1;
        account.currentArea = "石家庄市";
        profiles.Set("area.ini", "石家庄市", "XIAN", "正定县\\栾城区\\");
        currentGrid = {&grid, &pending};
        MsgInfo row{};
        row.loaded = 1;
        currentList.Reset(3);
        currentList.Store(0, row);
    }

    void SetWatch(const char* key, const std::string& value) { profiles.Set("dmr.ini", "关注", key, value); }
    QueryCommandResult Watch() {
        return StartWatch(model, ports, profiles, areaIni);
    }
    QueryCommandResult Search(const SearchDialogRun& dialog) {
        return StartSearch(model, ports, dialog);
    }
    QueryCommandResult Current() {
        return BackToCurrentInfo(model, ports);
    }

    // The client model the commands change, and its values under short names.
    ClientModel model;
    AccountState& account = model.account;
    int& watchMode = model.watchMode;
    std::string& titlePrefix = model.titlePrefix;
    std::string& searchAreas = model.search.areas;
    std::string& searchDestinations = model.search.destinations;
    std::string& searchClasses = model.search.classes;
    std::string& searchText = model.search.keyword;
    std::string& watchAreas = model.watch.areas;
    std::string& watchDestinations = model.watch.destinations;
    std::string& watchKeywords = model.watch.keyword;
    std::string& watchClasses = model.watch.classes;
    std::string& searchRecordQuery = model.searchRecordQuery;
    std::string& watchRecordQuery = model.watchRecordQuery;
    RecordStore& currentList = model.lists.currentList;
    testing::FakeGrid grid;
    PendingRequests pending;
    ListGrid& currentGrid = model.lists.currentGrid;
    FakeProfileReader profiles;
    AreaIni areaIni{profiles, "area.ini"};
    FakeQueryPorts ports;
};

TEST_F(QueryCommandsTest, SearchStoresTheDialogsListsAndSendsTheCount) {
    SearchDialogInputs given;
    const auto dialog = [&](const SearchDialogInputs& in, SearchDialogResult& out) {
        given = in;
        out = {"'石家庄市','正定县'", "'广州市'", "'货','车'", "钢材"};
        return true;
    };
    EXPECT_EQ(Search(dialog), QueryCommandResult::kSent);
    EXPECT_EQ(given.homeCity, "石家庄市");
    EXPECT_EQ(given.homeProvince, "河北省");
    EXPECT_EQ(given.thirdArea, "辛集市");
    EXPECT_EQ(given.areaLevel, 2);

    EXPECT_EQ(searchAreas, "'石家庄市','正定县'");
    EXPECT_EQ(searchDestinations, "'广州市'");
    EXPECT_EQ(searchClasses, "'货','车'");
    EXPECT_EQ(searchText, "钢材");
    const QueryCriteria c{searchAreas, searchClasses, searchDestinations, searchText};
    EXPECT_EQ(searchRecordQuery, BuildSearchRecordStatement(c));
    EXPECT_THAT(ports.calls, ElementsAre("drop", "pane", "send " + *SearchCountMessage(c), "layout"));

    // A failed send waits in the queue.
    ports.calls.clear();
    ports.sendWorks = false;
    Search(dialog);
    EXPECT_THAT(ports.calls, ElementsAre("drop", "pane", "send " + *SearchCountMessage(c),
                                         "queue " + *SearchCountMessage(c), "layout"));
}

TEST_F(QueryCommandsTest, SearchWithoutRightsCancelledOrTooLongChangesNothing) {
    bool shown = false;
    const auto cancel = [&](const SearchDialogInputs&, SearchDialogResult&) {
        shown = true;
        return false;
    };
    const auto tooLong = [&](const SearchDialogInputs&, SearchDialogResult& out) {
        out = {"'" + std::string(1400, 'a') + "'", "", "'货'", ""};  // the areas stand three times
        return true;
    };
    account.isFullMember = 0;
    EXPECT_EQ(Search(cancel), QueryCommandResult::kNoRights);
    EXPECT_FALSE(shown);
    EXPECT_THAT(ports.calls, ElementsAre("rights"));

    account.isFullMember = 1;
    ports.calls.clear();
    EXPECT_EQ(Search(cancel), QueryCommandResult::kCancelled);
    EXPECT_TRUE(shown);
    EXPECT_EQ(Search(tooLong), QueryCommandResult::kTooLong);
    EXPECT_THAT(ports.calls, ElementsAre("toolong"));
    for (const std::string* s : {&searchAreas, &searchDestinations, &searchClasses, &searchText,
                                 &searchRecordQuery}) {
        EXPECT_EQ(*s, "old");
    }
}

TEST_F(QueryCommandsTest, WatchTakesItsCriteriaFromSettingsAndEmptiesTheCurrentList) {
    SetWatch("From", "石家庄市,保定市,正定县");  // 保定市 is outside a level-2 account's city
    SetWatch("To", "广州市,郑州市");
    SetWatch("Type", "货,车");
    SetWatch("KeyWords", "钢'材");
    EXPECT_EQ(Watch(), QueryCommandResult::kSent);

    EXPECT_EQ(watchMode, 1);
    EXPECT_EQ(watchAreas, "'石家庄市','正定县'");
    EXPECT_EQ(watchDestinations, "'广州市','郑州市'");
    EXPECT_EQ(watchClasses, "'货','车'");
    EXPECT_EQ(watchKeywords, "钢材");
    EXPECT_TRUE(currentList.Empty());
    EXPECT_THAT(grid.calls, ElementsAre("reset 0"));
    const QueryCriteria c{watchAreas, watchClasses, watchDestinations, watchKeywords};
    EXPECT_EQ(watchRecordQuery, BuildWatchRecordStatement(c));
    EXPECT_THAT(ports.calls,
                ElementsAre("drop",
                            "send !GUANZHUCOUNT!|SELECT COUNT(*) FROM MsgIs WHERE (area IN('石家庄市','正定县') "
                            "OR sheng IN ('石家庄市','正定县') OR xian IN ('石家庄市','正定县')) AND  Class IN "
                            "('货','车') AND ( id IN (SELECT fid FROM msgfull WHERE gjz IN ('广州市','郑州市')) "
                            "OR  CHARINDEX('钢材',bodyis)>0 )^"));

    // The stored criteria are what the push filter reads.
    MsgInfo county{};
    std::snprintf(county.Area, sizeof county.Area, "%s", "石家庄市");
    std::snprintf(county.xian, sizeof county.xian, "%s", "正定县");
    std::snprintf(county.Sheng, sizeof county.Sheng, "%s", "河北省");
    std::snprintf(county.Class, sizeof county.Class, "%s", "货");
    std::snprintf(county.BodyIs, sizeof county.BodyIs, "%s", "正定到郑州市，钢管");
    const RecordCriteria watch{watchAreas, watchClasses, watchDestinations, watchKeywords};
    EXPECT_TRUE(MatchesCriteria(county, watch));
    std::snprintf(county.Area, sizeof county.Area, "%s", "保定市");
    std::snprintf(county.xian, sizeof county.xian, "%s", "涿州市");
    EXPECT_FALSE(MatchesCriteria(county, watch));

    // Pressed again it only scrolls back; the paging timer reloads from the top.
    ports.calls.clear();
    EXPECT_EQ(Watch(), QueryCommandResult::kScrolled);
    EXPECT_THAT(ports.calls, ElementsAre("top"));
}

TEST_F(QueryCommandsTest, LogonInWatchModeAsksForTheWatchListAgain) {
    // Outside watch mode the area request of the logon refills the list.
    ClientModel& s = model;
    EXPECT_FALSE(RefillWatchAfterLogon(s, ports));
    EXPECT_THAT(ports.calls, IsEmpty());

    SetWatch("From", "石家庄市");
    SetWatch("Type", "货");
    ASSERT_EQ(Watch(), QueryCommandResult::kSent);
    const std::vector<std::string> watchCall = ports.calls;
    ports.calls.clear();

    // A reconnect's logon reply emptied the list; the same count goes out
    // again, queued when the send fails.
    EXPECT_TRUE(RefillWatchAfterLogon(s, ports));
    ASSERT_EQ(ports.calls.size(), 1u);
    EXPECT_EQ(ports.calls[0], watchCall.back());
    EXPECT_EQ(watchMode, 1);

    ports.calls.clear();
    ports.sendWorks = false;
    EXPECT_TRUE(RefillWatchAfterLogon(s, ports));
    EXPECT_THAT(ports.calls, ElementsAre(watchCall.back(), "queue" + watchCall.back().substr(4)));
}

TEST_F(QueryCommandsTest, WatchDefaultsAndEmptyValues) {
    struct Case {
        int level;
        const char* expectedAreas;
    };
    // No [关注] at all: the home city, or at levels 0 and 1 the province.
    for (const Case& k : {Case{2, "'石家庄市'"}, Case{1, "'河北省'"}, Case{0, "'河北省'"}}) {
        watchMode = 0;
        account.areaLevel = k.level;
        EXPECT_EQ(Watch(), QueryCommandResult::kSent);
        EXPECT_EQ(watchAreas, k.expectedAreas) << k.level;
        EXPECT_EQ(watchClasses, "''");
        EXPECT_EQ(watchDestinations, "");
        EXPECT_EQ(watchKeywords, "");
    }
    // Type is read into 9 bytes: at most 8 are used, and the half character
    // the cut leaves is dropped rather than sent before a quote.
    watchMode = 0;
    SetWatch("Type", "货,车,,货");
    Watch();
    EXPECT_EQ(watchClasses, "'货','车','',''");
    // The quotes removed, nothing is left: no destination clause.
    watchMode = 0;
    SetWatch("To", "''");
    Watch();
    EXPECT_EQ(watchDestinations, "");
}

TEST_F(QueryCommandsTest, WatchTooLongLeavesTheCurrentListAlone) {
    std::string from;
    for (int i = 0; i < 200; ++i) from += "正定县,";  // allowed, 1400 bytes, three times in the statement
    SetWatch("From", from);
    EXPECT_EQ(Watch(), QueryCommandResult::kTooLong);
    EXPECT_EQ(watchMode, 0);
    EXPECT_EQ(currentList.Size(), 3);
    EXPECT_THAT(grid.calls, IsEmpty());
    EXPECT_THAT(ports.calls, ElementsAre("toolong"));
}

TEST(FilterWatchAreas, RemovesNamesOutsideTheAccountsScope) {
    FakeProfileReader profiles;
    profiles.Set("area.ini", "石家庄市", "XIAN", "正定县\\");
    const AreaIni ini{profiles, "area.ini"};
    AreaScope scope;
    scope.areaLevel = 2;
    scope.homeProvince = "河北省";
    scope.homeCity = "石家庄市";
    scope.thirdArea = "辛集市";
    struct Case {
        std::string from, kept;
    };
    const Case cases[] = {
        {"石家庄市,保定市,正定县", "石家庄市,正定县"},
        {"保定市", ""},
        {"石家庄市,保定市,唐山市,正定县", "石家庄市,,正定县"},  // three commas become two
        {",保定市,石家庄市,", "石家庄市"},
        {"石家庄市,家庄", "石市"},                               // also inside a longer name
        {"辛集市,,正定县", "辛集市,正定县"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(FilterWatchAreas(c.from, scope, ini), c.kept) << c.from;

    // Only whole characters are matched: A1B0 lies across 啊阿 (B0A1 B0A2).
    scope.homeCity = "啊阿";
    EXPECT_EQ(FilterWatchAreas("啊阿,\xA1\xB0", scope, ini), "啊阿");
}

TEST_F(QueryCommandsTest, CurrentInfoGoesBackToTheHomeList) {
    // At home and not watching: only back to the top.
    EXPECT_EQ(Current(), QueryCommandResult::kScrolled);
    EXPECT_THAT(ports.calls, ElementsAre("top"));

    // At home while watching: the home list is asked for again.
    ports.calls.clear();
    watchMode = 1;
    ports.sendWorks = false;
    EXPECT_EQ(Current(), QueryCommandResult::kSent);
    EXPECT_EQ(watchMode, 0);
    EXPECT_TRUE(currentList.Empty());
    EXPECT_THAT(grid.calls, ElementsAre("reset 0"));
    EXPECT_THAT(ports.calls, ElementsAre("title 物流网 石家庄市    石家庄市信息处理中",
                                         "send !TODAYRECORD!|石家庄市^", "queue !TODAYRECORD!|石家庄市^"));

    // Elsewhere (watching or not): the tree selection asks for the home list.
    for (int mode : {0, 1}) {
        ports.calls.clear();
        watchMode = mode;
        account.currentArea = "保定市";
        EXPECT_EQ(Current(), QueryCommandResult::kAreaSelected);
        EXPECT_EQ(account.currentArea, "石家庄市");
        EXPECT_EQ(watchMode, 0);
        EXPECT_THAT(ports.calls, ElementsAre("tree"));
    }
    // A level-1 account's home is its province.
    account.areaLevel = 1;
    Current();
    EXPECT_EQ(account.currentArea, "河北省");
}

}  // namespace
}  // namespace tovan
