#include "client/model/machine_id.h"

#include <gtest/gtest.h>

namespace tovan {
namespace {

TEST(MachineIdTest, ProcessorTextKeepsRegisterOrderAndLeadingZeros) {
    EXPECT_EQ(FormatProcessorText(0xBFEBFBFFu, 0x6D3u, 0, 0xFFFFFFFFu),
              "BFEBFBFF000006D300000000FFFFFFFF");
}

TEST(MachineIdTest, FullFormHas45CharactersAndShortFormEndsInDash) {
    const unsigned char mac[] = {0x00, 0x1A, 0x2B, 0xC3, 0xD4, 0xE5, 0x77};
    const std::string cpu = FormatProcessorText(1, 2, 3, 4);
    const std::string full = ComposeMachineId(cpu, FormatAdapterText(mac, sizeof mac));
    EXPECT_EQ(full, cpu + "-001A2BC3D4E5");  // only the first six bytes count
    EXPECT_EQ(full.size(), 45u);

    const std::string none = ComposeMachineId(cpu, FormatAdapterText(mac, 4));
    EXPECT_EQ(none, cpu + "-");
    EXPECT_EQ(none.size(), 33u);
    EXPECT_EQ(FormatAdapterText(nullptr, 6), "");
}

}  // namespace
}  // namespace tovan
