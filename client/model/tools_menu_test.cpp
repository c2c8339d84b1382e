#include "client/model/tools_menu.h"

#include <gtest/gtest.h>

namespace tovan {
namespace {

TEST(ToolsMenuTest, NamesSplitAtBackslashByCharacters) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitToolNames("first\\second\\third\\"), (V{"first", "second", "third"}));
    EXPECT_EQ(SplitToolNames("\\\\a\\\\b"), (V{"a", "b"}));
    EXPECT_EQ(SplitToolNames(""), V{});
    // "\x81\\" is one GBK character whose second byte is "\".
    EXPECT_EQ(SplitToolNames("\x81\\x\\y\\"), (V{"\x81\\x", "y"}));
}

}  // namespace
}  // namespace tovan
