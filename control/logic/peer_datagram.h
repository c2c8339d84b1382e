// Datagrams between chat controls and with the address server: one message per
// UDP datagram, GBK text without terminator, "!WORD!" then "|"-separated fields.
// Recognition of received texts, the field split and the outgoing texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tovan {

// Longest text datagram the control takes; a longer one is dropped whole.
constexpr std::size_t kMaxTextDatagram = 2047;
// A control's own peer id: the text form of a UUID.
constexpr std::size_t kPeerIdLength = 36;
// Longest message SendShortMessage carries whole: what is left of a text
// datagram after "!NEWMESSAGE!|", the sender's id and the "|" before the
// message. A longer one reaches the peer cut.
constexpr std::size_t kMaxShortMessage =
    kMaxTextDatagram - std::string_view("!NEWMESSAGE!|").size() - kPeerIdLength - 1;
// Longest text a voice-receive read takes; a longer datagram is played cut.
constexpr std::size_t kMaxVoiceDatagram = 11025;
// Replies that echo a peer's id and tag, and the announcement to the address
// server, are bounded like the 200-byte buffers the peers expect them in.
constexpr std::size_t kMaxComposedReply = 199;
// Longest id and tag taken from a request: own ids are 36 bytes and tags at
// most 21, so this leaves room in the reply for both plus our own id.
constexpr std::size_t kMaxRequestId = 64;
constexpr std::size_t kMaxRequestTag = 64;

constexpr std::int32_t kAddressServerPort = 4343;

// Received commands, in the order the receive path tests them.
enum class PeerCommand {
    None,           // anything else, "!P!" included: ignored
    Noop,           // "!NOOP!"
    YourAddress,    // "!YRADDR!"
    AddMe,          // "!ADDME!"
    AddVoice,       // "!ADDVOICE!"
    BddVoice,       // "!BDDVOICE!"
    AddAccept,      // "!ADDACCEPT!"
    AddReject,      // "!ADDREJECT!"
    Close,          // "!CLOSE!"
    NewMessage,     // "!NEWMESSAGE!"
    ServerAddress,  // "!SERVERADDRESS!"
};

// The first command word the text starts with, case ignored.
PeerCommand RecognizePeerCommand(std::string_view text);

// True when text starts with word, ASCII case ignored.
bool StartsWithNoCase(std::string_view text, std::string_view word);

// Splits at "|" like the C tokenizer: empty fields vanish. Field 0 is the
// command word.
std::vector<std::string> SplitPeerFields(std::string_view text);

// The tag of a request: "%s:%u" of the address and port it goes to.
std::string RequestTag(const std::string& address, std::int32_t port);

namespace peer_text {
constexpr std::string_view kNoop = "!NOOP!";
constexpr std::string_view kP = "!P!";
constexpr std::string_view kMeAddress = "!MEADDRESS!";
constexpr std::string_view kServerAddress = "!SERVERADDRESS!";

std::string AddMe(const std::string& ownId, const std::string& tag);
std::string AddAccept(const std::string& requesterId, const std::string& tag, const std::string& ownId);
std::string AddReject(const std::string& requesterId, const std::string& tag);
std::string AddVoice(const std::string& ownId);
std::string BddVoice(const std::string& ownId);
std::string Close(const std::string& ownId);
// Cut to kMaxTextDatagram bytes at a character boundary.
std::string NewMessage(const std::string& ownId, const std::string& message);
// Empty when it would not fit kMaxComposedReply bytes.
std::string AdminAddress(const std::string& pass, const std::string& localAddress, std::int32_t localPort);
}  // namespace peer_text

}  // namespace tovan
