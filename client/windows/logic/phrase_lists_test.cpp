#include "client/windows/logic/phrase_lists.h"

#include <gtest/gtest.h>

#include <map>

namespace tovan {
namespace {

std::vector<std::string> Numbered(int n) {
    std::vector<std::string> items;
    for (int i = 1; i <= n; ++i) items.push_back("词" + std::to_string(i));
    return items;
}

TEST(SplitPhraseListTest, SkipsEmptyItems) {
    const struct { const char* value; std::vector<std::string> items; } cases[] = {
        {"", {}},
        {"/", {}},
        {"整车/零担", {"整车", "零担"}},
        {"//x//y/", {"x", "y"}},
        {"高栏 车/ 平板", {"高栏 车", " 平板"}},  // blanks are the writer's business
    };
    for (const auto& c : cases) EXPECT_EQ(SplitPhraseList(c.value), c.items) << c.value;
}

TEST(PhraseMenuTest, MainPopupListsAtMost22ItemsLastFirst) {
    auto menu = PhraseMenu(Numbered(30), false);
    ASSERT_EQ(menu.size(), 22u);
    EXPECT_EQ(menu.front().id, 1047u);
    EXPECT_EQ(menu.front().text, "词22");
    EXPECT_EQ(menu.back().id, 1026u);
    EXPECT_EQ(menu.back().text, "词1");

    menu = PhraseMenu(Numbered(3), false);
    ASSERT_EQ(menu.size(), 3u);
    EXPECT_EQ(menu[0].text, "词3");
    EXPECT_EQ(menu[0].id, 1028u);
    EXPECT_TRUE(PhraseMenu({}, false).empty());
}

TEST(PhraseMenuTest, SparePopupListsItemsFrom23OnLastFirst) {
    auto menu = PhraseMenu(Numbered(30), true);
    ASSERT_EQ(menu.size(), 8u);
    EXPECT_EQ(menu.front().text, "词30");
    EXPECT_EQ(menu.front().id, 1033u);
    EXPECT_EQ(menu.back().text, "词23");
    EXPECT_EQ(menu.back().id, 1026u);
    EXPECT_TRUE(PhraseMenu(Numbered(22), true).empty());
}

TEST(AssignSpareButtonsTest, FirstThreeLongListsInOrder) {
    struct Case {
        const char* what;
        bool cargo;
        std::map<std::string, std::size_t> counts;
        std::vector<std::string> captions;
        std::vector<std::string> keys;
    };
    const Case cases[] = {
        {"no long list", false, {{"Other1", 22}, {"Goods", 5}}, {}, {}},
        {"23 items are enough", false, {{"Changyongci", 23}}, {"常用词2"}, {"Changyongci"}},
        {"vehicle: Other1 then Changyongci", false, {{"Other1", 25}, {"Changyongci", 30}},
         {"常用短语2", "常用词2"}, {"Other1", "Changyongci"}},
        {"cargo uses Other2 with the same caption", true, {{"Other1", 40}, {"Other2", 23}},
         {"常用短语2"}, {"Other2"}},
        {"only three of four", false,
         {{"Other1", 30}, {"Goods", 30}, {"CarType", 30}, {"Freight", 30}},
         {"常用短语2", "货型2", "车型2"}, {"Other1", "Goods", "CarType"}},
    };
    for (const Case& c : cases) {
        const auto got = AssignSpareButtons(c.cargo, [&](const std::string& key) {
            auto it = c.counts.find(key);
            return it == c.counts.end() ? std::size_t{0} : it->second;
        });
        std::vector<std::string> captions, keys;
        for (const auto& s : got) {
            captions.push_back(s.caption);
            keys.push_back(s.key);
        }
        EXPECT_EQ(captions, c.captions) << c.what;
        EXPECT_EQ(keys, c.keys) << c.what;
    }
}

TEST(ResendIntervalChoicesTest, ScheduleNeverSpansMoreThan30Minutes) {
    EXPECT_EQ(ResendIntervalChoices(1).size(), 26u);
    EXPECT_EQ(ResendIntervalChoices(1).back(), 30);
    EXPECT_EQ(ResendIntervalChoices(2).back(), 15);
    EXPECT_EQ(ResendIntervalChoices(4), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(ResendIntervalChoices(6), (std::vector<int>{5}));
    EXPECT_TRUE(ResendIntervalChoices(0).empty());
    EXPECT_TRUE(ResendIntervalChoices(7).empty());
}

}  // namespace
}  // namespace tovan
