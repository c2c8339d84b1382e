#include "control/logic/address_exchange.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "control/logic/control_test_fakes.h"
#include "control/logic/peer_datagram.h"
#include "control/logic/peer_protocol.h"

namespace tovan {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The exchange is reached the way the control's socket reaches it: through
// the text receive path of the protocol.
struct AddressExchangeTest : ::testing::Test {
    ControlRig rig;
    PeerProtocol control{rig.Ports(), "own-id"};

    void FromServer(const std::string& text, const std::string& source = "10.1.1.1") {
        control.OnTextDatagram(text, source, kAddressServerPort);
    }
};

TEST_F(AddressExchangeTest, AsksForThePublicAddressNowAndEveryThirtySeconds) {
    rig.network.names["exchange.example"] = "10.1.1.1";
    control.QueryForeignAddress("exchange.example");
    EXPECT_THAT(rig.text.sent, ElementsAre("10.1.1.1:4343 !MEADDRESS!"));
    EXPECT_EQ(rig.timers.running.at(kForeignAddressTimer), kAddressRepeatMs);

    rig.network.names.clear();  // the repetition asks the stored address, no name look-up
    EXPECT_TRUE(control.OnTimer(kForeignAddressTimer));
    EXPECT_THAT(rig.text.sent, ElementsAre("10.1.1.1:4343 !MEADDRESS!", "10.1.1.1:4343 !MEADDRESS!"));
    EXPECT_EQ(rig.timers.running.count(kForeignAddressTimer), 1u);

    // A name that cannot be resolved sends nothing and stops the repetition.
    control.QueryForeignAddress("nowhere.invalid");
    EXPECT_EQ(rig.text.sent.size(), 2u);
    EXPECT_EQ(rig.timers.running.count(kForeignAddressTimer), 0u);
    EXPECT_EQ(control.address().serverAddress(), "10.1.1.1");
}

TEST_F(AddressExchangeTest, ReportsANewPublicAddressOnlyWhenAddressAndPortBothChange) {
    control.QueryForeignAddress("10.1.1.1");
    FromServer("!YRADDR!|203.0.113.5|40001", "10.9.9.9");  // another host: dropped
    FromServer("!YRADDR!|203.0.113.5");                    // no port
    FromServer("!YRADDR!|203.0.113.5|40001");              // first: new
    FromServer("!YRADDR!|203.0.113.5|40001");              // the 30-s repeat
    FromServer("!yraddr!|203.0.113.5|40002");              // only the port differs
    FromServer("!YRADDR!|198.51.100.7|40001");             // only the address differs
    EXPECT_THAT(rig.events.fired, ElementsAre("NotifyAddress 203.0.113.5:40001"));
    EXPECT_EQ(control.address().publicAddress(), "203.0.113.5");
    EXPECT_EQ(control.address().publicPort(), 40001);

    FromServer("!YRADDR!|198.51.100.7|40002");
    EXPECT_EQ(rig.events.fired.back(), "NotifyAddress 198.51.100.7:40002");
}

TEST_F(AddressExchangeTest, ParsesTheSimulatorsReplyForm) {
    // What tools/exchange-sim answers to "!MEADDRESS!": the address and port it saw.
    control.QueryForeignAddress("127.0.0.1");
    control.OnTextDatagram("!YRADDR!|127.0.0.1|40123", "127.0.0.1", kAddressServerPort);
    EXPECT_THAT(rig.events.fired, ElementsAre("NotifyAddress 127.0.0.1:40123"));
}

TEST_F(AddressExchangeTest, AnnouncesTheLocalAddressEveryThirtySeconds) {
    control.SetServerAddress("10.1.1.1", "secret");
    EXPECT_THAT(rig.text.sent, ElementsAre("10.1.1.1:4343 !ADMINADDRESS!|secret|192.168.1.20|5123"));
    EXPECT_EQ(rig.timers.running.at(kAdminAddressTimer), kAddressRepeatMs);
    rig.network.localPort = 6000;
    control.OnTimer(kAdminAddressTimer);
    EXPECT_EQ(rig.text.sent.back(), "10.1.1.1:4343 !ADMINADDRESS!|secret|192.168.1.20|6000");

    // A pass that would not fit the 199-byte announcement is refused.
    control.SetServerAddress("10.1.1.1", std::string(300, 'p'));
    EXPECT_EQ(rig.text.sent.size(), 2u);
    EXPECT_EQ(rig.timers.running.count(kAdminAddressTimer), 0u);
}

TEST_F(AddressExchangeTest, ServerAddressQueryAndReply) {
    control.QueryServer("10.1.1.1");
    EXPECT_THAT(rig.text.sent, ElementsAre("10.1.1.1:4343 !SERVERADDRESS!"));
    EXPECT_THAT(rig.timers.running, IsEmpty());

    FromServer("!SERVERADDRESS!|10.2.2.2");                  // one field: nothing
    FromServer("!SERVERADDRESS!|10.2.2.2|7000", "10.7.7.7");  // any source counts
    EXPECT_THAT(rig.events.fired, ElementsAre("NotifyServerAddress 10.2.2.2:7000"));
}

}  // namespace
}  // namespace tovan
