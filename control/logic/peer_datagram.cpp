#include "control/logic/peer_datagram.h"

#include <limits>

namespace tovan {
namespace {

struct CommandWord {
    std::string_view word;
    PeerCommand command;
};

// Order matters: the first word that fits wins.
constexpr CommandWord kCommandWords[] = {
    {"!NOOP!", PeerCommand::Noop},
    {"!YRADDR!", PeerCommand::YourAddress},
    {"!ADDME!", PeerCommand::AddMe},
    {"!ADDVOICE!", PeerCommand::AddVoice},
    {"!BDDVOICE!", PeerCommand::BddVoice},
    {"!ADDACCEPT!", PeerCommand::AddAccept},
    {"!ADDREJECT!", PeerCommand::AddReject},
    {"!CLOSE!", PeerCommand::Close},
    {"!NEWMESSAGE!", PeerCommand::NewMessage},
    {"!SERVERADDRESS!", PeerCommand::ServerAddress},
};

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string Join(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (std::string_view p : parts) out.append(p);
    return out;
}

}  // namespace

bool StartsWithNoCase(std::string_view text, std::string_view word) {
    if (text.size() < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (AsciiUpper(text[i]) != AsciiUpper(word[i])) return false;
    return true;
}

PeerCommand RecognizePeerCommand(std::string_view text) {
    for (const CommandWord& c : kCommandWords)
        if (StartsWithNoCase(text, c.word)) return c.command;
    return PeerCommand::None;
}

std::vector<std::string> SplitPeerFields(std::string_view text) {
    std::vector<std::string> fields;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t bar = text.find('|', i);
        if (bar == std::string_view::npos) bar = text.size();
        if (bar > i) fields.emplace_back(text.substr(i, bar - i));
        i = bar + 1;
    }
    return fields;
}

std::int32_t PeerNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit) value = kLimit;  // saturate, keep reading digits
    }
    if (negative) return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(value >= kLimit ? kLimit - 1 : value);
}

std::string_view CutGbk(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t i = 0;
    while (i < maxBytes) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t len = (c >= 0x81 && c <= 0xFE && i + 1 < text.size()) ? 2 : 1;
        if (i + len > maxBytes) break;
        i += len;
    }
    return text.substr(0, i);
}

std::string RequestTag(const std::string& address, std::int32_t port) {
    return address + ":" + std::to_string(static_cast<std::uint32_t>(port));
}

namespace peer_text {

std::string AddMe(const std::string& ownId, const std::string& tag) {
    return Join({"!ADDME!|", ownId, "|", tag});
}

std::string AddAccept(const std::string& requesterId, const std::string& tag, const std::string& ownId) {
    return Join({"!ADDACCEPT!|", requesterId, "|", tag, "|", ownId});
}

std::string AddReject(const std::string& requesterId, const std::string& tag) {
    return Join({"!ADDREJECT!|", requesterId, "|", tag});
}

std::string AddVoice(const std::string& ownId) { return Join({"!ADDVOICE!|", ownId}); }
std::string BddVoice(const std::string& ownId) { return Join({"!BDDVOICE!|", ownId}); }
std::string Close(const std::string& ownId) { return Join({"!CLOSE!|", ownId}); }

std::string NewMessage(const std::string& ownId, const std::string& message) {
    const std::string whole = Join({"!NEWMESSAGE!|", ownId, "|", message});
    return std::string(CutGbk(whole, kMaxTextDatagram));
}

std::string AdminAddress(const std::string& pass, const std::string& localAddress, std::int32_t localPort) {
    std::string text = Join({"!ADMINADDRESS!|", pass, "|", localAddress, "|",
                             std::to_string(static_cast<std::uint32_t>(localPort))});
    if (text.size() > kMaxComposedReply) text.clear();
    return text;
}

}  // namespace peer_text
}  // namespace tovan
