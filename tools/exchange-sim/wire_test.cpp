#include "tools/exchange-sim/wire.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace exsim {
namespace {

// "亅" and "乛": GBK characters whose second byte is "|" and "^".
const std::string kTrailBar = "\x81\x7c";
const std::string kTrailCaret = "\x81\x5e";

std::vector<std::string> FeedAll(MessageFramer& f, const std::vector<std::string>& chunks) {
    std::vector<std::string> out;
    for (const std::string& c : chunks) f.Feed(c, out);
    return out;
}

TEST(MessageFramer, CutsMessagesAcrossChunksAndKeepsDoubleByteCharactersWhole) {
    struct Case {
        const char* name;
        std::vector<std::string> chunks;
        std::vector<std::string> messages;
        std::size_t pending;
    };
    const Case cases[] = {
        {"two and a rest", {"!A!|1^!B!|2^!C"}, {"!A!|1", "!B!|2"}, 2},
        {"split message", {"!A!|", "1", "^"}, {"!A!|1"}, 0},
        {"empty messages vanish", {"^^LOOP^^"}, {"LOOP"}, 0},
        {"trail byte equal to ^", {"!X!|a" + kTrailCaret + "b^"}, {"!X!|a" + kTrailCaret + "b"}, 0},
        {"lead byte at chunk end", {"!X!|\x81", "^b^"}, {"!X!|" + kTrailCaret + "b"}, 0},
        {"lead byte before a non-trail", {"\x81 ^"}, {"\x81 "}, 0},
        {"lead byte right before ^^", {"a\x81^^"}, {"a" + kTrailCaret}, 0},
    };
    for (const Case& c : cases) {
        MessageFramer f;
        EXPECT_EQ(FeedAll(f, c.chunks), c.messages) << c.name;
        EXPECT_EQ(f.pending(), c.pending) << c.name;
    }
}

TEST(MessageFramer, DropsAnOversizedMessageWholeAndGoesOn) {
    MessageFramer f(16);
    EXPECT_EQ(FeedAll(f, {std::string(40, 'a') + "^!OK!^"}), std::vector<std::string>{"!OK!"});
    EXPECT_EQ(f.dropped(), 1u);

    // The same when the long text arrives in pieces: memory stays bounded.
    MessageFramer g(16);
    std::vector<std::string> out;
    for (int i = 0; i < 1000; ++i) {
        g.Feed(std::string(100, 'x'), out);
        EXPECT_LE(g.pending(), 17u);
    }
    g.Feed("tail^!B!|1^", out);
    EXPECT_EQ(out, std::vector<std::string>{"!B!|1"});
    EXPECT_EQ(g.dropped(), 1u);

    // Exactly the limit is still a message.
    MessageFramer h(4);
    EXPECT_EQ(FeedAll(h, {"abcd^"}), std::vector<std::string>{"abcd"});
}

TEST(SplitFields, TokenizerSemanticsOutsideDoubleByteCharacters) {
    EXPECT_EQ(SplitFields("!A!|a||b|"), (std::vector<std::string>{"!A!", "a", "b"}));
    EXPECT_EQ(SplitFields("||x"), std::vector<std::string>{"x"});
    EXPECT_EQ(SplitFields(""), std::vector<std::string>{});
    EXPECT_EQ(SplitFields("!A!|" + kTrailBar + "z|c"), (std::vector<std::string>{"!A!", kTrailBar + "z", "c"}));
}

TEST(TailAfterFields, GivesTheUnsplitRest) {
    EXPECT_EQ(TailAfterFields("!ADDMSG!|货|a b|c", 2), "a b|c");
    EXPECT_EQ(TailAfterFields("!ADDMSG!||货||text", 2), "text");
    EXPECT_EQ(TailAfterFields("!ADDMSG!|货", 2), "");
    EXPECT_EQ(TailAfterFields("!S!|0|5|SELECT 1", 3), "SELECT 1");
}

TEST(WireField, KeepsPeerFramingIntactAndCutsWholeCharacters) {
    EXPECT_EQ(WireField("", 9), "-");
    EXPECT_EQ(WireField("a|b^c", 9), "a\"bc");
    EXPECT_EQ(WireField(kTrailBar, 9), kTrailBar);  // the character is not a separator
    // 石家庄市 is 8 bytes; a 9-byte field takes it, a 7-byte one cuts a whole character.
    EXPECT_EQ(WireField("石家庄市", 9), "石家庄市");
    EXPECT_EQ(WireField("石家庄市", 7), "石家庄");
}

TEST(GbkFind, MatchesOnlyAtCharacterBoundaries) {
    // "啊阿" = B0 A1 B0 A2; "A1 B0" spans two characters and is no match.
    const std::string hay = "\xB0\xA1\xB0\xA2";
    EXPECT_EQ(GbkFind(hay, "\xA1\xB0"), std::string_view::npos);
    EXPECT_EQ(GbkFind(hay, "\xB0\xA2"), 2u);
    EXPECT_EQ(GbkFind(hay, ""), std::string_view::npos);
    EXPECT_EQ(GbkCut("a\xB0\xA1", 2), "a");
}

}  // namespace
}  // namespace exsim
