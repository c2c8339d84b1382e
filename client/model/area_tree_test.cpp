#include "client/model/area_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/model/fake_profile_reader.h"
#include "client/model/fake_query_ports.h"
#include "client/model/record_test_fakes.h"

namespace tovan {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kIni = "C:\\Tovan\\area.ini";

std::vector<std::string> Texts(const AreaTreeNode& node) {
    std::vector<std::string> out;
    for (const AreaTreeNode& child : node.children) out.push_back(child.text);
    return out;
}

// 河北省 with two cities and a county of its own, a municipality whose one
// city shares its section, a province listed in SF without any section.
class AreaTreeTest : public ::testing::Test {
protected:
    AreaTreeTest() {
        ini_.Set(kIni, "全国省城", "SF", "北京市\\河北省\\\\台湾省");
        ini_.Set(kIni, "北京市", "CS", "北京市\\");
        ini_.Set(kIni, "北京市", "XIAN", "东城区\\朝阳区\\");
        ini_.Set(kIni, "河北省", "CS", "石家庄市\\保定市");  // no trailing "\"
        ini_.Set(kIni, "河北省", "XIAN", "辛集市\\");
        ini_.Set(kIni, "石家庄市", "XIAN", "正定县\\");
    }
    FakeProfileReader ini_;
    AreaIni area_{ini_, kIni};
};

TEST_F(AreaTreeTest, ProvincesInListOrderWithCitiesBeforeTheirOwnCounties) {
    const AreaTreeNode root = BuildAreaTree(area_);
    EXPECT_EQ(root.text, "全部");
    ASSERT_THAT(Texts(root), ElementsAre("北京市", "河北省", "台湾省"));
    EXPECT_THAT(Texts(root.children[0]), ElementsAre("北京市", "东城区", "朝阳区"));
    EXPECT_THAT(Texts(root.children[1]), ElementsAre("石家庄市", "保定市", "辛集市"));
    EXPECT_THAT(Texts(root.children[2]), IsEmpty());
    for (const AreaTreeNode& province : root.children) {
        for (const AreaTreeNode& place : province.children) {
            EXPECT_THAT(place.children, IsEmpty()) << place.text;  // the city's counties stay out
        }
    }
    FakeProfileReader empty;
    EXPECT_THAT(BuildAreaTree(AreaIni(empty, kIni)).children, IsEmpty());
}

TEST_F(AreaTreeTest, OwnAreaIsLookedForUnderTheProvincesOnly) {
    const AreaTreeNode root = BuildAreaTree(area_);
    struct Case {
        const char* current;
        std::optional<std::pair<std::size_t, std::size_t>> item;
    };
    const Case cases[] = {
        {"保定市", std::make_pair(1, 1)},
        {"辛集市", std::make_pair(1, 2)},    // a county of the province itself
        {"北京市", std::make_pair(0, 0)},    // the municipality's city, not the province
        {"河北省", std::nullopt},            // provinces select nothing
        {"台湾省", std::nullopt},
        {"正定县", std::nullopt},            // counties of cities are not in the tree
        {"全部", std::nullopt},
        {"", std::nullopt},
        {"保定", std::nullopt},              // exact names only
    };
    for (const Case& c : cases) {
        int drops = 0;
        const auto found = SelectOwnArea(root, c.current, [&drops] { ++drops; });
        EXPECT_EQ(drops, 1) << c.current;  // whether or not an item is found
        ASSERT_EQ(found.has_value(), c.item.has_value()) << c.current;
        if (found) {
            EXPECT_EQ(found->province, c.item->first) << c.current;
            EXPECT_EQ(found->place, c.item->second) << c.current;
        }
    }
    // The first match in tree order wins.
    ini_.Set(kIni, "北京市", "XIAN", "东城区\\保定市\\");
    const auto twice = FindOwnAreaItem(BuildAreaTree(area_), "保定市");
    ASSERT_TRUE(twice.has_value());
    EXPECT_EQ(twice->province, 0u);
    EXPECT_EQ(twice->place, 2u);  // after 北京市 and 东城区
}

TEST(AreaSelectionRuleTest, WhichSelectionsSwitchTheListAtEachAreaLevel) {
    AccountState a;
    a.homeCity = "石家庄市";
    a.homeProvince = "河北省";
    a.thirdArea = "保定市";
    const AreaTreeSelection root{"全部", "", true};
    const AreaTreeSelection province{"河北省", "全部", true};
    const AreaTreeSelection home{"石家庄市", "河北省", false};
    const AreaTreeSelection neighbour{"保定市", "河北省", false};     // the third area, too
    const AreaTreeSelection ownCounty{"辛集市", "河北省", false};
    const AreaTreeSelection away{"济南市", "山东省", false};
    const AreaTreeSelection bareProvince{"河北省", "全部", false};   // a province without places
    const AreaTreeSelection bareOther{"山东省", "全部", false};
    struct Case {
        int level;
        const AreaTreeSelection& item;
        const char* area;  // nullptr: nothing changes
    };
    const Case cases[] = {
        {0, root, nullptr},       {0, province, nullptr},   {0, home, "石家庄市"},
        {0, away, "济南市"},      {0, bareOther, "山东省"}, {1, root, nullptr},
        {1, province, nullptr},   {1, home, "石家庄市"},    {1, neighbour, "保定市"},
        {1, ownCounty, "辛集市"}, {1, away, nullptr},       {1, bareProvince, "河北省"},
        {1, bareOther, nullptr},  {2, root, nullptr},       {2, home, "石家庄市"},
        {2, neighbour, nullptr},  {2, ownCounty, nullptr},  {2, bareProvince, nullptr},
        {2, away, nullptr},
    };
    for (const Case& c : cases) {
        a.areaLevel = c.level;
        const std::optional<std::string> area = AreaForSelection(a, c.item);
        if (c.area == nullptr) {
            EXPECT_FALSE(area.has_value()) << c.level << " " << c.item.text;
        } else {
            EXPECT_EQ(area.value_or("(none)"), c.area) << c.level << " " << c.item.text;
        }
    }
    // A city-level account whose home city is listed with children (never in
    // area.ini, but the tree does not know) still switches nothing.
    a.areaLevel = 2;
    EXPECT_FALSE(AreaForSelection(a, AreaTreeSelection{"石家庄市", "河北省", true}));
}

// A province-level account in 河北省 whose view shows the watch list.
class AreaSwitchTest : public ::testing::Test {
protected:
    AreaSwitchTest() {
        watchMode = 1;
        titlePrefix = "物流网  石家庄市站";
        account.homeCity = "石家庄市";
        account.homeProvince = "河北省";
        account.areaLevel = 1;
        account.currentArea = "河北省";
        currentGrid = {&grid, &pending};
        currentList.Reset(5);
    }
    bool Select(const AreaTreeSelection& item) { return OnAreaTreeSelection(model, ports, item); }

    // The client model the selection changes, and its values under short names.
    ClientModel model;
    AccountState& account = model.account;
    int& watchMode = model.watchMode;
    std::string& titlePrefix = model.titlePrefix;
    RecordStore& currentList = model.lists.currentList;
    testing::FakeGrid grid;
    PendingRequests pending;
    ListGrid& currentGrid = model.lists.currentGrid;
    FakeQueryPorts ports;
};

TEST_F(AreaSwitchTest, ACitySwitchesTheListAndAsksForIt) {
    ASSERT_TRUE(Select({"保定市", "河北省", false}));
    EXPECT_EQ(account.currentArea, "保定市");
    EXPECT_EQ(watchMode, 0);
    EXPECT_EQ(currentList.Size(), 0);
    EXPECT_THAT(grid.calls, ElementsAre("reset 0"));
    EXPECT_THAT(ports.calls, ElementsAre("drop", "title 物流网  石家庄市站    保定市信息处理中",
                                         "send !TODAYRECORD!|保定市^"));

    // The same city again starts over all the same; a failed send waits.
    ports.calls.clear();
    ports.sendWorks = false;
    currentList.Reset(3);
    ASSERT_TRUE(Select({"保定市", "河北省", false}));
    EXPECT_EQ(currentList.Size(), 0);
    EXPECT_THAT(ports.calls, ElementsAre("drop", "title 物流网  石家庄市站    保定市信息处理中",
                                         "send !TODAYRECORD!|保定市^",
                                         "queue !TODAYRECORD!|保定市^"));
}

TEST_F(AreaSwitchTest, RefusedSelectionsLeaveEverythingAsItWas) {
    for (const AreaTreeSelection& item : {AreaTreeSelection{"全部", "", true},
                                          AreaTreeSelection{"山东省", "全部", true},
                                          AreaTreeSelection{"济南市", "山东省", false}}) {
        EXPECT_FALSE(Select(item)) << item.text;
    }
    EXPECT_EQ(account.currentArea, "河北省");
    EXPECT_EQ(watchMode, 1);
    EXPECT_EQ(currentList.Size(), 5);
    EXPECT_THAT(grid.calls, IsEmpty());
    EXPECT_THAT(ports.calls, IsEmpty());
}

TEST(AreaTitleTest, LongTitlesAreCutToTheBufferWithoutHalfCharacters) {
    const std::string area = "保定市";
    EXPECT_EQ(AreaProcessingTitle("T", area), "T    保定市信息处理中");
    // The title is cut at 499 bytes: with a prefix of 490 bytes that cut falls
    // inside "市", with 492 inside "定"; with 491 "定" just fits.
    struct Case { std::size_t prefix; const char* kept; };
    for (const Case& c : {Case{490, "保定"}, Case{491, "保定"}, Case{492, "保"}}) {
        const std::string prefix(c.prefix, 'x');
        EXPECT_EQ(AreaProcessingTitle(prefix, area), prefix + "    " + c.kept) << c.prefix;
    }
    EXPECT_EQ(AreaProcessingTitle(std::string(600, 'x'), area), std::string(499, 'x'));
}

}  // namespace
}  // namespace tovan
