// Feeds arbitrary datagrams from a few sources to a control's text and voice
// receive paths, with a host that calls back into the control from its events
// the way the chat window does, and timer ticks in between: nothing may read
// or write outside a buffer, and the lists must stay bounded.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "control/logic/peer_protocol.h"

namespace {

struct NullSocket : tovan::DatagramSender {
    std::size_t bytes = 0;
    void SendTo(const std::string& a, std::int32_t, std::string_view b) override { bytes += a.size() + b.size(); }
};
struct NullTimers : tovan::ControlTimers {
    void Start(unsigned, unsigned) override {}
    void Stop(unsigned) override {}
};
struct StepClock : tovan::ControlClock {
    std::int64_t now = 1000;
    std::int64_t Now() override { return now; }
};
struct LoopbackNetwork : tovan::HostNetwork {
    std::optional<std::string> Resolve(const std::string& n) override { return n; }
    std::string LocalAddress() override { return "10.0.0.2"; }
    std::int32_t LocalPort() override { return 5000; }
};

const std::string kSources[] = {"10.0.0.9", "127.0.0.1", "192.168.1.4", ""};
#define OWN_ID "0f8fad5b-d9cb-469f-a165-70867728950e"
const std::string kPrefixes[] = {"",
                                 "!ADDME!|",
                                 "!ADDACCEPT!|" OWN_ID "|",
                                 "!ADDREJECT!|" OWN_ID "|",
                                 "!NEWMESSAGE!|",
                                 "!CLOSE!|",
                                 "!ADDVOICE!|",
                                 "!YRADDR!|"};

struct ReenteringHost : tovan::ControlEvents {
    tovan::PeerProtocol* control = nullptr;
    void PeerAdd(const std::string& ip, std::int32_t port) override {
        control->RemoveAllChaters();
        control->AcceptChater(ip, port);
    }
    void PeerAccept(const std::string& ip, std::int32_t port) override {
        control->SendShortMessage(ip, port, "!ANAME!~x");
    }
    void PeerClose(const std::string& ip, std::int32_t port) override { control->RemoveChater(ip, port); }
    void AddChaterTimeOut(const std::string& ip, std::int32_t port) override { control->AddChater(ip, port); }
    void NewMessage(const std::string& ip, std::int32_t port, const std::string& msg) override {
        if (msg.size() & 1) control->RejectChater(ip, port);
        else control->SendShortMessage("", 0, msg);
    }
    void NotifyAddress(const std::string& ip, std::int32_t port) override { control->AddChater(ip, port); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    NullSocket text, voiceReceive, voiceSend;
    NullTimers timers;
    StepClock clock;
    LoopbackNetwork network;
    ReenteringHost host;
    tovan::PeerProtocol control({text, voiceReceive, voiceSend, timers, clock, network, host},
                                OWN_ID);
    host.control = &control;
    control.QueryForeignAddress("127.0.0.1");
    control.AddChater("10.0.0.9", 4000);

    std::size_t i = 0;
    while (i + 3 <= size) {
        // Each step: a source/kind byte and a two-byte length (up to 2200, so
        // oversized datagrams come too), then the datagram.
        const std::uint8_t op = data[i];
        std::size_t len = (static_cast<std::size_t>(data[i + 1]) << 8 | data[i + 2]) % 2200;
        i += 3;
        if (len > size - i) len = size - i;
        // The top bits may put a command word (and our id) in front, so the
        // handlers behind the recognition get most of the input.
        const std::string datagram =
            kPrefixes[op >> 5] + std::string(reinterpret_cast<const char*>(data + i), len);
        const std::string_view bytes(datagram);
        i += len;
        const std::string& source = kSources[op & 3];
        const std::int32_t port = (op & 4) ? 4000 : static_cast<std::int32_t>(op) - 128;
        if (op & 8) {
            control.SendVoice(control.OnVoiceDatagram(bytes, source, port));
        } else {
            control.OnTextDatagram(bytes, source, port);
        }
        if (op & 16) {
            clock.now += 20;
            control.OnTimer(tovan::kPeerTimer);
        }
        if ((op & 0x1C) == 0x1C) control.OnTimer(tovan::kForeignAddressTimer);
    }
    if (control.incoming().size() > size || control.pending().size() > size + 2) std::abort();
    return 0;
}
