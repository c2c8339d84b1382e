#include "text/split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tovan {
namespace {

using V = std::vector<std::string>;

TEST(SplitTest, EmptyPiecesVanishInBothForms) {
    struct Case { std::string text; V pieces; };
    const Case cases[] = {
        {"a,b", {"a", "b"}},
        {",,a,,b,", {"a", "b"}},
        {"", {}},
        {",,,", {}},
        {"甲", {"甲"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitSkippingEmpty(c.text, ','), c.pieces) << c.text;
        EXPECT_EQ(SplitGbkSkippingEmpty(c.text, ','), c.pieces) << c.text;
    }
}

TEST(SplitTest, SecondBytesSplitOnlyTheByteForm) {
    // "\x81\\" is one character whose second byte equals the separator.
    EXPECT_EQ(SplitGbkSkippingEmpty("\x81\\x\\y", '\\'), (V{"\x81\\x", "y"}));
    EXPECT_EQ(SplitSkippingEmpty("\x81\\x\\y", '\\'), (V{"\x81", "x", "y"}));
    // A lone last lead byte is a piece of its own character.
    EXPECT_EQ(SplitGbkSkippingEmpty("a\\\x81", '\\'), (V{"a", "\x81"}));
}

}  // namespace
}  // namespace tovan
