#include "client/model/toolbar_plan.h"

#include <gtest/gtest.h>

#include <map>

#include "client/model/fake_profile_reader.h"

namespace tovan {
namespace {

// The bar as text: captions, "|" for a separator.
std::string Describe(const std::vector<ToolbarSlot>& bar) {
    std::string s;
    for (const ToolbarSlot& slot : bar) {
        if (!s.empty()) s += ' ';
        s += slot.separator ? "|" : slot.caption;
    }
    return s;
}

void SetAll(FakeProfileReader& ini, const char* value) {
    for (const ToolbarItem& item : ToolbarItems()) ini.Set(kUserIni, "ToolBar", item.caption, value);
}

TEST(ToolbarPlanTest, ShownItemsAndSeparators) {
    struct Case {
        const char* what;
        const char* allKeys;  // null: fresh profile
        std::map<std::string, std::string> keys;
        const char* bar;
    };
    const Case cases[] = {
        {"fresh profile: trailing separator dropped", nullptr, {},
         "地区列表 加密解密 字体 | 发布货源 发布车源 | 当前信息 关注信息 普通搜索 高级搜索 | 我的信息 重发管理"},
        {"all hidden: empty bar", "0", {}, ""},
        {"group 1 hidden, others shown: leading separator", "1",
         {{"登录", "0"}, {"地区列表", "0"}, {"加密解密", "0"}, {"字体", "0"}, {"工具栏", "0"}},
         "| 发布货源 发布车源 | 当前信息 关注信息 普通搜索 高级搜索 | 我的信息 重发管理 | 总站服务 退出"},
        {"only 退出 in group 5: separator kept", nullptr, {{"退出", "1"}},
         "地区列表 加密解密 字体 | 发布货源 发布车源 | 当前信息 关注信息 普通搜索 高级搜索 | 我的信息 重发管理 | 退出"},
        {"empty middle groups give no separator", "0", {{"字体", "1"}, {"总站服务", "1"}},
         "字体 | 总站服务"},
        {"only group 1: its separator is the trailing one", "0", {{"登录", "1"}}, "登录"},
    };
    for (const Case& c : cases) {
        FakeProfileReader ini;
        if (c.allKeys) SetAll(ini, c.allKeys);
        for (const auto& [k, v] : c.keys) ini.Set(kUserIni, "ToolBar", k, v);
        EXPECT_EQ(Describe(PlanToolbar(ini, "当前信息")), c.bar) << c.what;
    }
}

TEST(ToolbarPlanTest, ButtonsCarryCommandColourAndCurrentInfoCaption) {
    FakeProfileReader ini;
    SetAll(ini, "1");
    const std::vector<ToolbarSlot> bar = PlanToolbar(ini, "江苏信息");
    std::map<int, ToolbarSlot> byCommand;
    for (const ToolbarSlot& s : bar)
        if (!s.separator) byCommand[s.commandId] = s;
    ASSERT_EQ(byCommand.size(), 15u);
    EXPECT_EQ(byCommand[11005].caption, "江苏信息");
    EXPECT_EQ(byCommand[32777].caption, "登录");
    EXPECT_EQ(byCommand[57665].caption, "退出");
    for (int red : {32784, 32781, 32778}) EXPECT_TRUE(byCommand[red].red) << red;
    EXPECT_FALSE(byCommand[32771].red);
    EXPECT_FALSE(byCommand[11005].red);
}

TEST(ToolbarPlanTest, CurrentInfoCaption) {
    EXPECT_EQ(CurrentInfoCaption("", "南京市", 2), "当前信息");
    EXPECT_EQ(CurrentInfoCaption("江苏省", "南京市", 2), "南京信息");
    EXPECT_EQ(CurrentInfoCaption("江苏省", "南京市", 1), "江苏信息");
    EXPECT_EQ(CurrentInfoCaption("黑龙江省", "哈尔滨市", 0), "黑龙信息");
    EXPECT_EQ(CurrentInfoCaption("京", "", 1), "京信息");
}

}  // namespace
}  // namespace tovan
