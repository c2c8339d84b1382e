#include "text/replace.h"

#include <gtest/gtest.h>

#include <string>

namespace tovan {
namespace {

TEST(GbkTextEditTest, MatchesStartOnCharacterBoundaries) {
    // Bytes C1 AA CF B5 C8 CB are "联系人", but here they start inside the
    // character B0 C1: no match.
    const std::string shifted = "a\xB0\xC1\xAA\xCF\xB5\xC8\xCB";
    EXPECT_EQ(GbkRemoveAll(shifted, "联系人"), shifted);
    EXPECT_EQ(GbkRemoveAll("a联系人b联系人", "联系人"), "ab");
    EXPECT_EQ(GbkReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(GbkReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(GbkRemoveAll("x\xD6", "\xD6"), "x");  // a lone last lead byte is a character
    EXPECT_EQ(ReduceWireSignCharacters("a\x81|b\x95^中\xD6"), "a|b^中\xD6");
}

TEST(GbkTextEditTest, FieldSeparatorsBecomeDoubleQuotesWithTheCharactersThatEndInOne) {
    struct Case { std::string text, out; };
    const Case cases[] = {
        {"a|b", "a\"b"},
        {"||", "\"\""},
        {"a\x81|b", "a\"b"},      // a character whose second byte is "|"
        {"\x95^中|\xD6", "\x95^中\"\xD6"},  // "^" is no field separator; a lone last lead byte stays
        {"中文", "中文"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReplaceFieldSeparators(c.text), c.out) << c.text;
}

TEST(ReplaceBytesTest, MatchesAnywhereLeftToRightWithoutOverlap) {
    struct Case { std::string text, from, to, out; };
    const Case cases[] = {
        {"aaa", "aa", "b", "ba"},
        {"\r\n\r\n\r\n", "\r\n\r\n", "\r\n", "\r\n\r\n"},  // one pass, no rescan of what was put in
        {"a b  c", " ", "", "abc"},
        {"\x81 x", " ", "", "\x81x"},                       // bytes, not characters
        {"ab", "", "x", "ab"},
        {"xyz", "y", "yy", "xyyz"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReplaceAllBytes(c.text, c.from, c.to), c.out) << c.text;
    EXPECT_EQ(RemoveAllBytes("a'b''", "'"), "ab");
}

}  // namespace
}  // namespace tovan
