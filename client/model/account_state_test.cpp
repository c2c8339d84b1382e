#include "client/model/account_state.h"

#include <gtest/gtest.h>

namespace tovan {
namespace {

TEST(AccountStateTest, AnEmptyFieldVanishesAndShiftsTheRest) {
    // The server writes "-" for empty; an empty field moves G..I one place left.
    EXPECT_FALSE(ParseLogonReply("!OK!|c|p|u|2|n||m|30|1").has_value());
    const auto r = ParseLogonReply("!OK!|c|p|u|2|n||m|30|1|1");
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->contactPhone, "m");
    EXPECT_EQ(r->contactMobile, "30");
    EXPECT_EQ(r->thirdArea, "c");
    EXPECT_EQ(r->AreaKey(), "c");
}

}  // namespace
}  // namespace tovan
