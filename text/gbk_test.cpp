#include "text/gbk.h"

#include <gtest/gtest.h>

#include <string>

namespace tovan {
namespace {

constexpr auto npos = std::string_view::npos;

TEST(GbkTest, LeadAndTrailRanges) {
    EXPECT_FALSE(IsGbkLeadByte(0x80));
    EXPECT_TRUE(IsGbkLeadByte(0x81));
    EXPECT_TRUE(IsGbkLeadByte(0xFE));
    EXPECT_FALSE(IsGbkLeadByte(0xFF));
    EXPECT_FALSE(IsGbkTrailByte(0x3F));
    EXPECT_TRUE(IsGbkTrailByte(0x40));
    EXPECT_FALSE(IsGbkTrailByte(0x7F));
    EXPECT_TRUE(IsGbkTrailByte(0xFE));
    EXPECT_FALSE(IsGbkTrailByte(0xFF));
}

TEST(GbkTest, CharacterLengthAndCount) {
    struct Case { std::string text; std::size_t at, length; };
    const Case cases[] = {
        {"a中", 0, 1},
        {"a中", 1, 2},
        {"\x81\\", 0, 2},   // any byte after a lead byte is its second byte
        {"a\x81", 1, 1},    // a lone last lead byte stands alone
        {"\xFF\x40", 0, 1}, // 0xFF leads nothing
        {"\x80\x40", 0, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(GbkCharLength(c.text, c.at), c.length) << c.text << " @" << c.at;

    EXPECT_EQ(GbkCharCount(""), 0u);
    EXPECT_EQ(GbkCharCount("ab中文"), 4u);
    EXPECT_EQ(GbkCharCount("\x81\\x\xD6"), 3u);
}

TEST(GbkTest, FindsOnlyAtCharacterBoundaries) {
    struct Case { std::string text, what; std::size_t from, at; };
    const Case cases[] = {
        {"\x81\\a\\", "\\", 0, 3},      // the first "\" is a second byte
        {"a\\b\\", "\\", 2, 3},
        {"中文", "文", 0, 2},
        {"中文", "\xD0\xCE", 0, npos},  // the end of 中 and the start of 文
        {"货车", "车", 0, 2},
        {"abc", "", 0, npos},           // an empty word is found nowhere
        {"", "x", 0, npos},
        {"ab", "abc", 0, npos},
    };
    for (const Case& c : cases) EXPECT_EQ(GbkFind(c.text, c.what, c.from), c.at) << c.text << " / " << c.what;
    EXPECT_TRUE(GbkContains("a/b", "/"));
    EXPECT_FALSE(GbkContains("\x81/", "/"));
}

TEST(GbkTest, CutNeverSplitsACharacter) {
    struct Case { std::string text; std::size_t max; std::string cut; };
    const Case cases[] = {
        {"中文", 3, "中"},
        {"中文", 4, "中文"},
        {"中文", 100, "中文"},
        {"a中", 2, "a"},
        {"a\x81", 2, "a\x81"},  // a lone last lead byte is a whole character
        {"abc", 0, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(GbkCut(c.text, c.max), c.cut) << c.text << " max " << c.max;
}

// A field ends on a whole character: a "|" after it must stay a separator.
TEST(GbkTest, FieldCutDropsALoneLastLeadByte) {
    struct Case { std::string text; std::size_t max; std::string cut; };
    const Case cases[] = {
        {"a\x81", 10, "a"},            // cut short before it came here
        {"中文", 3, "中"},
        {"中\xD6", 3, "中"},
        {"\x81\x81\x81", 3, "\x81\x81"},  // the second byte of a character may be a lead byte
        {"ab", 1, "a"},
        {"\xD6", 1, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(GbkCutField(c.text, c.max), c.cut) << c.text << " max " << c.max;
}

}  // namespace
}  // namespace tovan
