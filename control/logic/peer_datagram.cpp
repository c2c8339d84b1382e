#include "control/logic/peer_datagram.h"

#include "text/gbk.h"
#include "text/split.h"

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

std::vector<std::string> SplitPeerFields(std::string_view text) { return SplitSkippingEmpty(text, '|'); }

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
    return std::string(GbkCut(whole, kMaxTextDatagram));
}

std::string AdminAddress(const std::string& pass, const std::string& localAddress, std::int32_t localPort) {
    std::string text = Join({"!ADMINADDRESS!|", pass, "|", localAddress, "|",
                             std::to_string(static_cast<std::uint32_t>(localPort))});
    if (text.size() > kMaxComposedReply) text.clear();
    return text;
}

}  // namespace peer_text
}  // namespace tovan
