#include "client/windows/logic/search_criteria.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include "client/windows/logic/fake_profiles.h"
#include "client/model/search_commands.h"

namespace tovan {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kAreaFile[] = "C:\\prog\\area.ini";

// 江苏 with two cities and one county of its own; 南京 with two counties.
void FillAreas(FakeProfiles& p) {
    p.Set(kAreaFile, "全国省城", "SF", "北京\\江苏\\\\浙江\\");
    p.Set(kAreaFile, "江苏", "CS", "南京\\苏州\\");
    p.Set(kAreaFile, "江苏", "XIAN", "沭阳\\");
    p.Set(kAreaFile, "南京", "XIAN", "玄武\\江宁\\");
    p.Set(kAreaFile, "苏州", "XIAN", "昆山\\");
}

AreaScope Scope(int level) {
    AreaScope s;
    s.areaLevel = level;
    s.homeProvince = "江苏";
    s.homeCity = "南京";
    s.thirdArea = "上海";
    return s;
}

struct FormCase {
    const char* what;
    SearchForm form;
    const char* message;  // null: accepted
    const char* fromList;
    const char* toList;
    const char* typeList;
    const char* keyWords;
};

TEST(CheckSearchFormTest, RefusesIncompleteFormsAndQuotesTheLists) {
    const FormCase cases[] = {
        {"two origins, one destination, both classes",
         {{"甲", "乙"}, {"丙"}, "", false, true, true, false}, nullptr,
         "'甲','乙'", "'丙'", "'货','车'", ""},
        {"vehicles only, keyword without its quote",
         {{"甲"}, {}, "a'b", false, false, true, false}, nullptr, "'甲'", "", "'车'", "ab"},
        {"cargo only; the keyword is kept as typed, blanks and all",
         {{"甲"}, {}, " 吨 ", false, true, false, false}, nullptr, "'甲'", "", "'货'", " 吨 "},
        {"a keyword of quotes alone passes and comes out empty",
         {{"甲"}, {}, "''", false, true, true, false}, nullptr, "'甲'", "", "'货','车'", ""},
        {"all offers of the classes need no destination or keyword",
         {{"甲"}, {}, "", true, true, true, false}, nullptr, "'甲'", "", "'货','车'", ""},
        {"no origin", {{}, {"丙"}, "x", false, true, true, false}, "请选择信息所属地区",
         nullptr, nullptr, nullptr, nullptr},
        {"nothing to look for", {{"甲"}, {}, "", false, true, true, false},
         "请输入搜索的地区或关键字", nullptr, nullptr, nullptr, nullptr},
        {"no class", {{"甲"}, {"丙"}, "", false, false, false, false}, "请选择搜索的信息类型",
         nullptr, nullptr, nullptr, nullptr},
        {"the origin is checked first", {{}, {}, "", false, false, false, false},
         "请选择信息所属地区", nullptr, nullptr, nullptr, nullptr},
    };
    for (const FormCase& c : cases) {
        SCOPED_TRACE(c.what);
        const SearchOk ok = CheckSearchForm(c.form);
        if (c.message) {
            ASSERT_NE(ok.message, nullptr);
            EXPECT_STREQ(ok.message, c.message);
            continue;
        }
        ASSERT_EQ(ok.message, nullptr);
        EXPECT_EQ(ok.result.fromList, c.fromList);
        EXPECT_EQ(ok.result.toList, c.toList);
        EXPECT_EQ(ok.result.typeList, c.typeList);
        EXPECT_EQ(ok.result.keyWords, c.keyWords);
    }
}

TEST(SaveSearchSettingsTest, WritesTheListsAndOnlyWhenAskedTheWatch) {
    SearchDialogResult r;
    r.fromList = "'甲','乙'";
    r.toList = "";
    r.typeList = "'货','车'";
    r.keyWords = "冷藏";

    FakeProfiles plain;
    SaveSearchSettings(plain, r, false);
    EXPECT_THAT(plain.writes, ElementsAre(FakeProfiles::Write{"dmr.ini", "Search", "From", "甲,乙"},
                                          FakeProfiles::Write{"dmr.ini", "Search", "To", ""}));

    FakeProfiles watch;
    SaveSearchSettings(watch, r, true);
    EXPECT_THAT(watch.writes,
                ElementsAre(FakeProfiles::Write{"dmr.ini", "Search", "From", "甲,乙"},
                            FakeProfiles::Write{"dmr.ini", "Search", "To", ""},
                            FakeProfiles::Write{"dmr.ini", "关注", "From", "甲,乙"},
                            FakeProfiles::Write{"dmr.ini", "关注", "To", ""},
                            FakeProfiles::Write{"dmr.ini", "关注", "KeyWords", "冷藏"},
                            FakeProfiles::Write{"dmr.ini", "关注", "Type", "货,车"}));
}

// What the dialog stores is what the next showing and the watch command read.
TEST(SaveSearchSettingsTest, StoredCriteriaComeBackInTheDialogAndTheWatch) {
    FakeProfiles p;
    FillAreas(p);
    AreaIni areas(p, kAreaFile);
    const SearchOk ok = CheckSearchForm({{"南京", "玄武"}, {"北京", "上海"}, "冷'藏", false,
                                         false, true, true});
    ASSERT_EQ(ok.message, nullptr);
    SaveSearchSettings(p, ok.result, true);

    EXPECT_THAT(StoredOrigins(p, Scope(2), areas), ElementsAre("南京", "玄武"));
    EXPECT_THAT(StoredDestinations(p), ElementsAre("北京", "上海"));

    AccountState account;
    account.areaLevel = 2;
    account.homeCity = "南京";
    const QueryCriteria c = WatchCriteria(ReadWatchSettings(p, account), Scope(2), areas);
    EXPECT_EQ(c.areas, "'南京','玄武'");
    EXPECT_EQ(c.destinations, "'北京','上海'");
    EXPECT_EQ(c.classes, "'车'");
    EXPECT_EQ(c.keyword, "冷藏");
}

TEST(StoredOriginsTest, KeepsOnlyTheOriginsInScopeOfTheAccount) {
    FakeProfiles p;
    FillAreas(p);
    AreaIni areas(p, kAreaFile);
    p.Set("dmr.ini", "Search", "From", "北京,,江苏,南京,苏州,昆山,玄武,上海,沭阳");
    struct Case {
        int level;
        std::vector<std::string> kept;
    } cases[] = {
        {0, {"北京", "江苏", "南京", "苏州", "昆山", "玄武", "上海", "沭阳"}},
        // The province, its cities and counties, and the counties of its cities.
        {1, {"江苏", "南京", "苏州", "昆山", "玄武", "上海", "沭阳"}},
        // The home city, its counties and the third area.
        {2, {"南京", "玄武", "上海"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        EXPECT_EQ(StoredOrigins(p, Scope(c.level), areas), c.kept);
    }
    FakeProfiles none;
    EXPECT_THAT(StoredOrigins(none, Scope(0), AreaIni(none, kAreaFile)), IsEmpty());
    EXPECT_THAT(StoredDestinations(none), IsEmpty());
}

TEST(AreaListsTest, OriginListsFollowTheAreaLevelAndDestinationsDoNot) {
    FakeProfiles p;
    FillAreas(p);
    AreaIni areas(p, kAreaFile);
    EXPECT_THAT(OriginProvinces(areas, Scope(0)), ElementsAre("北京", "江苏", "浙江"));
    EXPECT_THAT(OriginProvinces(areas, Scope(1)), ElementsAre("江苏"));
    EXPECT_THAT(OriginProvinces(areas, Scope(2)), ElementsAre("江苏"));

    EXPECT_THAT(PlacesOf(areas, "江苏"), ElementsAre("南京", "苏州", "沭阳"));
    EXPECT_THAT(OriginPlacesOf(areas, Scope(0), "江苏"), ElementsAre("南京", "苏州", "沭阳"));
    EXPECT_THAT(OriginPlacesOf(areas, Scope(1), "江苏"), ElementsAre("南京", "苏州", "沭阳"));
    EXPECT_THAT(OriginPlacesOf(areas, Scope(2), "江苏"), ElementsAre("南京"));
    EXPECT_THAT(OriginPlacesOf(areas, Scope(3), "江苏"), IsEmpty());
    EXPECT_THAT(PlacesOf(areas, "西藏"), IsEmpty());
}

TEST(SplitStoredListTest, SkipsEmptyPieces) {
    EXPECT_THAT(SplitStoredList(",甲,,乙,"), ElementsAre("甲", "乙"));
    EXPECT_THAT(SplitStoredList(""), IsEmpty());
}

}  // namespace
}  // namespace tovan
