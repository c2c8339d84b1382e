#include "fw/logic/dotted_ipv4.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

TEST(DottedIPv4Test, TakesOnlyFourDecimalNumbersUpTo255) {
    for (const char* ok : {"127.0.0.1", "0.0.0.0", "255.255.255.255", "192.168.000.9"}) {
        EXPECT_TRUE(IsDottedIPv4(ok)) << ok;
    }
    // Host names and the short or hexadecimal forms a resolver would still take.
    for (const char* bad : {"", "exchange.example", "localhost", "127.1", "0x7f.0.0.1", "1.2.3.4.5", "1.2.3.",
                            ".1.2.3", "256.1.1.1", "1.2.3.0004", "1.2.3.4 ", " 1.2.3.4", "1..2.3", "1.2.3.a"}) {
        EXPECT_FALSE(IsDottedIPv4(bad)) << bad;
    }
}

}  // namespace
}  // namespace fw
