#include "text/quote.h"

#include <gtest/gtest.h>

namespace tovan {
namespace {

TEST(QuoteTest, ListsQuoteEachEntryAndUnquoteEveryQuote) {
    EXPECT_EQ(SingleQuotedList({}), "");
    EXPECT_EQ(SingleQuotedList({"甲"}), "'甲'");
    EXPECT_EQ(SingleQuotedList({"甲", "", "乙"}), "'甲','','乙'");
    EXPECT_EQ(WithoutSingleQuotes("'甲','','乙'"), "甲,,乙");
    EXPECT_EQ(WithoutSingleQuotes("''"), "");
    EXPECT_EQ(WithoutSingleQuotes("a\"b"), "a\"b");
}

}  // namespace
}  // namespace tovan
