#include "client/model/area_scope.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "client/model/fake_profile_reader.h"

namespace tovan {
namespace {

using ::testing::ElementsAre;

const std::string kAreaIni = "C:\\Tovan\\area.ini";

// Two provinces; 广东 has two cities and one county of its own.
class AreaScopeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ini_.Set(kAreaIni, "全国省城", "SF", "广东\\湖南\\");
        ini_.Set(kAreaIni, "广东", "CS", "广州\\深圳\\");
        ini_.Set(kAreaIni, "广东", "XIAN", "顺德\\");
        ini_.Set(kAreaIni, "广州", "XIAN", "番禺\\花都\\");
        ini_.Set(kAreaIni, "深圳", "XIAN", "宝安\\");
        ini_.Set(kAreaIni, "顺德", "XIAN", "大良\\");
        ini_.Set(kAreaIni, "湖南", "CS", "长沙\\");
        ini_.Set(kAreaIni, "长沙", "XIAN", "浏阳\\");
    }
    FakeProfileReader ini_;
    AreaIni area_{ini_, kAreaIni};
};

TEST_F(AreaScopeTest, SplitSkipsEmptyPiecesAndNeedsNoTrailingSeparator) {
    EXPECT_THAT(SplitAreaList("广州\\\\深圳"), ElementsAre("广州", "深圳"));
    EXPECT_THAT(SplitAreaList("\\广州\\深圳\\"), ElementsAre("广州", "深圳"));
    EXPECT_THAT(SplitAreaList(""), ElementsAre());
    // A double-byte character may end in the byte of "\": it stays whole.
    const std::string trail5c = "A\x95\x5C" "B";
    EXPECT_THAT(SplitAreaList(trail5c + "\\C"), ElementsAre(trail5c, "C"));
}

TEST_F(AreaScopeTest, CityLevelSeesOnlyItsCityThirdAreaAndCounties) {
    const AreaScope city{2, "广东", "广州", "长沙"};
    struct Case { const char* section; const char* name; bool allowed; };
    for (const Case& c : {Case{"广州", "广州", true}, Case{"广州", "长沙", true},
                          Case{"广州", "番禺", true}, Case{"广州", "广东", false},
                          Case{"广州", "宝安", false}, Case{"深圳", "宝安", true}}) {
        EXPECT_EQ(IsAreaAllowed(city, area_, c.section, c.name), c.allowed)
            << c.section << " " << c.name;
    }
    EXPECT_TRUE(IsWatchAreaAllowed(city, area_, "花都"));
    EXPECT_FALSE(IsWatchAreaAllowed(city, area_, "宝安"));
    EXPECT_FALSE(IsWatchAreaAllowed(city, area_, "广东"));
}

TEST_F(AreaScopeTest, ProvinceLevelSeesEveryPlaceOfItsProvince) {
    const AreaScope province{1, "广东", "广州", "广州"};
    for (const char* name : {"广东", "广州", "深圳", "宝安", "番禺", "顺德", "大良"}) {
        EXPECT_TRUE(IsWatchAreaAllowed(province, area_, name)) << name;
    }
    for (const char* name : {"湖南", "长沙", "浏阳"}) {
        EXPECT_FALSE(IsWatchAreaAllowed(province, area_, name)) << name;
    }
}

TEST_F(AreaScopeTest, LevelZeroSeesEverythingAndMissingSectionsSeeNothingMore) {
    EXPECT_TRUE(IsWatchAreaAllowed(AreaScope{0, "广东", "广州", "广州"}, area_, "浏阳"));
    const AreaScope city{2, "西藏", "拉萨", "拉萨"};  // no sections in the file
    EXPECT_TRUE(IsWatchAreaAllowed(city, area_, "拉萨"));
    EXPECT_FALSE(IsWatchAreaAllowed(city, area_, "番禺"));
}

TEST_F(AreaScopeTest, ListsAreReadThrough2000ByteBuffers) {
    std::string longList(1995, 'x');
    longList += "\\番禺\\";  // "番禺" would start at byte 1996: beyond what the buffer holds
    ini_.Set(kAreaIni, "广州", "XIAN", longList);
    EXPECT_FALSE(IsAreaAllowed(AreaScope{2, "广东", "广州", "广州"}, area_, "广州", "番禺"));
}

}  // namespace
}  // namespace tovan
