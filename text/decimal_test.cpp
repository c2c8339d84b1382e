#include "text/decimal.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace tovan {
namespace {

TEST(DecimalTest, NumbersReadLikeTheCLibraryWithoutOverflow) {
    struct Case { const char* text; int value; };
    for (const Case& c : {Case{"42", 42}, Case{" -7x", -7}, Case{"abc", 0}, Case{"", 0},
                          Case{"99999999999999999999", 2147483647},
                          Case{"-99999999999999999999", -2147483647 - 1}}) {
        EXPECT_EQ(DecimalValue(c.text), c.value) << c.text;
    }
}

TEST(DecimalTest, PeerFieldsReadLikeTheCLibraryWithoutOverflow) {
    const struct {
        const char* text;
        std::int32_t want;
    } cases[] = {
        {"4343", 4343},    {" \t-12", -12},          {"+7x", 7},
        {"", 0},           {"abc", 0},               {"99999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN}, {"-99999999999999", INT_MIN}, {"2147483647", INT_MAX},
    };
    for (const auto& c : cases) EXPECT_EQ(DecimalValue(c.text), c.want) << c.text;
}

TEST(DecimalTest, WideValuesSaturate) {
    EXPECT_EQ(ParseDecimal("4294967296"), 4294967296);
    EXPECT_EQ(ParseDecimal("-12"), -12);
    EXPECT_EQ(ParseDecimal("99999999999999999999999"), INT64_MAX);
    EXPECT_EQ(ParseDecimal("-99999999999999999999999"), -INT64_MAX);
}

}  // namespace
}  // namespace tovan
