#include "client/windows/logic/settings_dialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "client/windows/logic/fake_profiles.h"
#include "client/model/toolbar_plan.h"
#include "client/model/tools_menu.h"

namespace tovan {
namespace {

const std::string kConfig = "C:\\prog\\Config.ini";

TEST(PhraseListsTest, EditTextToStoredValue) {
    struct Case {
        const char* edit;
        const char* stored;
    } cases[] = {
        {"a b\r\n\r\n\r\nc'", "ab/c\""},
        {"\r\n\r\n\r\n", ""},
        {"  \r\n \r\n", ""},
        {"\r\nx\r\ny\r\n", "x/y"},
        {"x^|\r\n\r\n\r\n\r\n\r\ny", "x/y"},
        {"\xB1|\r\n\xC4^", "\xB1|/\xC4^"},  // "^" and "|" as second bytes stay
    };
    for (const Case& c : cases) EXPECT_EQ(PhraseListValue(c.edit), c.stored) << c.edit;
}

TEST(PhraseListsTest, EditTextSkipsEmptyEntries) {
    FakeProfiles p;
    p.Set(kConfig, "Sentence", "Goods", "//x//y/");
    EXPECT_EQ(PhraseListEditText(p, kConfig, "Goods"), "x\r\ny");
    EXPECT_EQ(PhraseListEditText(p, kConfig, "CarType"), "");
    // The value is read into 4000 bytes.
    p.Set(kConfig, "Sentence", "Freight", std::string(4100, 'z'));
    EXPECT_EQ(PhraseListEditText(p, kConfig, "Freight").size(), 3999u);
}

TEST(ToolbarChoicesTest, DefaultsAndWrittenValues) {
    FakeProfiles p;
    std::vector<bool> shown = ReadToolbarChoices(p);
    const std::vector<bool> defaults = {false, true, true, false, true, true, true, true,
                                        true,  true, true, true, true, false, false};
    EXPECT_EQ(shown, defaults);

    p.Set("dmr.ini", "ToolBar", "退出", "2");
    p.Set("dmr.ini", "ToolBar", "字体", "0");
    shown = ReadToolbarChoices(p);
    EXPECT_TRUE(shown[14]);
    EXPECT_FALSE(shown[2]);

    p.writes.clear();
    WriteToolbarChoices(p, shown);
    ASSERT_EQ(p.writes.size(), 15u);
    EXPECT_EQ(p.writes[0], (FakeProfiles::Write{"dmr.ini", "ToolBar", "登录", "0"}));
    EXPECT_EQ(p.writes[12], (FakeProfiles::Write{"dmr.ini", "ToolBar", "重发管理", "1"}));
    EXPECT_EQ(p.writes[14], (FakeProfiles::Write{"dmr.ini", "ToolBar", "退出", "1"}));
}

// On a fresh profile the dialog ticks exactly the buttons the bar shows, so
// that OK without a change leaves the bar as it is.
TEST(ToolbarChoicesTest, FreshProfileTicksWhatTheBarShows) {
    FakeProfiles fresh;
    const std::vector<bool> ticked = ReadToolbarChoices(fresh);
    std::vector<std::string> onBar;
    for (const ToolbarSlot& slot : PlanToolbar(fresh, "当前信息"))
        if (!slot.separator) onBar.push_back(slot.caption);
    std::vector<std::string> tickedCaptions;
    for (std::size_t i = 0; i < ticked.size(); ++i)
        if (ticked[i]) tickedCaptions.push_back(ToolbarChoices()[i].caption);
    std::sort(onBar.begin(), onBar.end());
    std::sort(tickedCaptions.begin(), tickedCaptions.end());
    EXPECT_EQ(tickedCaptions, onBar);
}

TEST(ExternalToolsTest, ReadAndWriteRoundTrip) {
    FakeProfiles p;
    p.Set(kConfig, "Tools", "ToolString", "\\calc\\\\note\\");
    p.Set(kConfig, "Tools", "calc", "C:\\WINDOWS\\calc.exe");
    std::vector<ExternalTool> tools = ReadExternalTools(p, kConfig);
    ASSERT_EQ(tools.size(), 2u);
    EXPECT_EQ(tools[0].name, "calc");
    EXPECT_EQ(tools[0].path, "C:\\WINDOWS\\calc.exe");
    EXPECT_EQ(tools[1].name, "note");
    EXPECT_EQ(tools[1].path, "");

    tools.erase(tools.begin());
    tools.insert(tools.begin(), {"paint", "C:\\PAINT~1.EXE"});
    WriteExternalTools(p, kConfig, tools);
    const std::vector<FakeProfiles::Write> expected = {
        {kConfig, "Tools", "paint", "C:\\PAINT~1.EXE"},
        {kConfig, "Tools", "note", ""},
        {kConfig, "Tools", "ToolString", "paint\\note\\"},
    };
    EXPECT_EQ(p.writes, expected);
    // The removed tool's key stays.
    EXPECT_EQ(p.ReadString(kConfig, "Tools", "calc", "", 500), "C:\\WINDOWS\\calc.exe");

    p.writes.clear();
    WriteExternalTools(p, kConfig, {});
    EXPECT_EQ(p.writes, (std::vector<FakeProfiles::Write>{{kConfig, "Tools", "ToolString", ""}}));
    EXPECT_EQ(WithoutBlanks(" my  tool "), "mytool");
}

TEST(ExternalToolsTest, ToolNameKeepsNoSeparator) {
    struct Case {
        const char* typed;
        const char* name;
    } cases[] = {
        {" my tool ", "mytool"},
        {"a\\b\\", "ab"},
        {"\xCA\x5C\\x", "\xCA\x5Cx"},  // a double-byte character ending in 0x5C stays
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToolNameOf(c.typed), c.name) << c.typed;
        EXPECT_EQ(SplitToolNames(ToolNameOf(c.typed) + "\\"), std::vector<std::string>{c.name});
    }
}

TEST(DisplayChoiceTest, DefaultsStoredValuesAndWriteOrder) {
    FakeProfiles p;
    DisplayChoice d = ReadDisplayChoice(p);
    EXPECT_EQ(d.fontSize, 12);
    EXPECT_EQ(d.backColor, 16708839u);
    EXPECT_EQ(d.phoneColor, 255u);
    EXPECT_EQ(d.fontColor, 0u);
    EXPECT_FALSE(d.bold);
    EXPECT_EQ(d.fontFamily, "宋体");
    EXPECT_EQ(d.lines, 3);

    p.Set("dmr.ini", "Display", "PhoneColor", "65280");
    p.Set("dmr.ini", "Display", "Bold", "1");
    p.Set("dmr.ini", "Display", "FontSize", "20");
    d = ReadDisplayChoice(p);
    EXPECT_EQ(d.phoneColor, 65280u);
    EXPECT_TRUE(d.bold);
    EXPECT_EQ(d.fontSize, 20);

    d.lines = 0;
    d.fontFamily = "黑体";
    d.fontColor = 0x123456;
    WriteDisplayChoice(p, d);
    const std::vector<FakeProfiles::Write> expected = {
        {"dmr.ini", "Display", "FontSize", "20"},
        {"dmr.ini", "Display", "FontColor", "1193046"},
        {"dmr.ini", "Display", "BackColor", "16708839"},
        {"dmr.ini", "Display", "PhoneColor", "65280"},
        {"dmr.ini", "Display", "Bold", "1"},
        {"dmr.ini", "Display", "FontFamily", "黑体"},
        {"dmr.ini", "Display", "Line", "0"},
    };
    EXPECT_EQ(p.writes, expected);
}

TEST(DisplayChoiceTest, LineChoices) {
    struct Case {
        int lines, index;
    } cases[] = {{0, 0}, {2, 1}, {3, 2}, {5, 4}, {1, -1}, {6, -1}, {-3, -1}};
    for (const Case& c : cases) EXPECT_EQ(LineChoiceIndex(c.lines), c.index) << c.lines;
    // No selection stores automatic.
    EXPECT_EQ(LinesOfChoice(-1), 0);
    EXPECT_EQ(LinesOfChoice(0), 0);
    EXPECT_EQ(LinesOfChoice(3), 4);
    EXPECT_EQ(LineChoiceTexts().size(), 5u);
}

}  // namespace
}  // namespace tovan
