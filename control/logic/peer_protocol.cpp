#include "control/logic/peer_protocol.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "control/logic/peer_datagram.h"

namespace tovan {
namespace {

using List = std::vector<ChaterInfo>;

template <typename Pred>
std::ptrdiff_t FindFirst(const List& list, Pred pred) {
    const auto it = std::find_if(list.begin(), list.end(), pred);
    return it == list.end() ? -1 : it - list.begin();
}

auto AtAddress(const std::string& ip, std::int32_t port) {
    return [&ip, port](const ChaterInfo& c) { return c.address == ip && c.port == port; };
}
auto WithId(const std::string& id) {
    return [&id](const ChaterInfo& c) { return c.id == id; };
}
// A peer's texts and closes come from its text socket, and anything of it
// may come from the voice address learnt for it: an id alone is no proof,
// since every datagram a peer sends carries it.
auto WithIdFrom(const std::string& id, const std::string& source, std::int32_t sourcePort) {
    return [&id, &source, sourcePort](const ChaterInfo& c) {
        if (c.id != id) return false;
        if (c.address == source && c.port == sourcePort) return true;
        return !c.voiceAddress.empty() && c.voiceAddress == source && c.voicePort == sourcePort;
    };
}
// The voice sockets of a peer send from its host, on ports of their own.
auto WithIdFromHost(const std::string& id, const std::string& source) {
    return [&id, &source](const ChaterInfo& c) { return c.id == id && c.address == source; };
}
// An answer to our request comes from where the request went.
auto WithTagFrom(const std::string& tag, const std::string& source, std::int32_t sourcePort) {
    return [&tag, &source, sourcePort](const ChaterInfo& c) {
        return c.tag == tag && c.address == source && c.port == sourcePort;
    };
}

// Takes entry i out of the list and hands it back.
ChaterInfo Take(List& list, std::ptrdiff_t i) {
    ChaterInfo entry = std::move(list[static_cast<std::size_t>(i)]);
    list.erase(list.begin() + i);
    return entry;
}

}  // namespace

PeerProtocol::PeerProtocol(ControlPorts ports, std::string ownPeerId)
    : ports_(ports), ownPeerId_(std::move(ownPeerId)), address_(ports) {}

void PeerProtocol::OnWindowCreated() { ports_.timers.Start(kPeerTimer, kPeerTimerMs); }

bool PeerProtocol::IsChater(const std::string& ip, std::int32_t port) const {
    return FindFirst(chaters_, AtAddress(ip, port)) >= 0;
}

void PeerProtocol::AddChater(const std::string& ip, std::int32_t port) {
    if (IsChater(ip, port)) return;
    ChaterInfo request;
    request.address = ip;
    request.port = port;
    request.time = ports_.clock.Now();
    request.tag = RequestTag(ip, port);
    const std::string text = peer_text::AddMe(ownPeerId_, request.tag);
    pending_.push_back(std::move(request));
    ports_.textSocket.SendTo(ip, port, text);
}

void PeerProtocol::AcceptChater(const std::string& ip, std::int32_t port) {
    if (IsChater(ip, port)) return;
    const std::ptrdiff_t i = FindFirst(incoming_, AtAddress(ip, port));
    if (i < 0) return;
    ChaterInfo peer = Take(incoming_, i);
    peer.time = ports_.clock.Now();
    const std::string text = peer_text::AddAccept(peer.id, peer.tag, ownPeerId_);
    chaters_.push_back(std::move(peer));
    ports_.textSocket.SendTo(ip, port, text);
}

void PeerProtocol::RejectChater(const std::string& ip, std::int32_t port) {
    const std::ptrdiff_t i = FindFirst(incoming_, AtAddress(ip, port));
    if (i < 0) return;
    const ChaterInfo request = Take(incoming_, i);
    ports_.textSocket.SendTo(ip, port, peer_text::AddReject(request.id, request.tag));
}

void PeerProtocol::RemoveChater(const std::string& ip, std::int32_t port) {
    // Every entry at that address goes, so nothing keeps reaching a peer the
    // host dropped.
    chaters_.erase(std::remove_if(chaters_.begin(), chaters_.end(), AtAddress(ip, port)), chaters_.end());
    ports_.textSocket.SendTo(ip, port, peer_text::Close(ownPeerId_));
}

void PeerProtocol::RemoveAllChaters() {
    const List gone = std::exchange(chaters_, List());
    const std::string text = peer_text::Close(ownPeerId_);
    for (const ChaterInfo& c : gone) ports_.textSocket.SendTo(c.address, c.port, text);
}

void PeerProtocol::SendShortMessage(const std::string& ip, std::int32_t port, const std::string& msg) {
    const std::string text = peer_text::NewMessage(ownPeerId_, msg);
    if (!ip.empty()) {
        ports_.textSocket.SendTo(ip, port, text);
        return;
    }
    for (const ChaterInfo& c : List(chaters_)) ports_.textSocket.SendTo(c.address, c.port, text);
}

void PeerProtocol::OnTextDatagram(std::string_view bytes, const std::string& source, std::int32_t sourcePort) {
    if (bytes.empty() || bytes.size() > kMaxTextDatagram) return;  // a longer one fails the read
    // The text ends at its first NUL, as in the receive buffer.
    if (const void* nul = std::memchr(bytes.data(), '\0', bytes.size()))
        bytes = bytes.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - bytes.data()));

    const PeerCommand command = RecognizePeerCommand(bytes);
    if (command == PeerCommand::None) return;
    if (command == PeerCommand::Noop) {
        ports_.textSocket.SendTo(source, sourcePort, peer_text::kP);
        return;
    }
    const std::vector<std::string> f = SplitPeerFields(bytes);
    switch (command) {
    case PeerCommand::YourAddress: address_.OnYourAddress(f, source); break;
    case PeerCommand::AddMe: OnAddMe(f, source, sourcePort); break;
    case PeerCommand::AddVoice: OnAddVoice(f, source, sourcePort, true); break;
    case PeerCommand::BddVoice: OnAddVoice(f, source, sourcePort, false); break;
    case PeerCommand::AddAccept: OnAddAccept(f, source, sourcePort); break;
    case PeerCommand::AddReject: OnAddReject(f, source, sourcePort); break;
    case PeerCommand::Close: OnClose(f, source, sourcePort); break;
    case PeerCommand::NewMessage: OnNewMessage(f, source, sourcePort); break;
    case PeerCommand::ServerAddress: address_.OnServerAddress(f); break;
    case PeerCommand::None:
    case PeerCommand::Noop: break;
    }
}

void PeerProtocol::OnAddMe(const std::vector<std::string>& f, const std::string& source, std::int32_t sourcePort) {
    if (f.size() < 3) return;
    // The id and tag come back in our answer: a request whose answer could
    // not hold them is refused.
    if (f[1].size() > kMaxRequestId || f[2].size() > kMaxRequestTag) return;
    if (IsChater(source, sourcePort)) return;
    ChaterInfo request;
    request.id = f[1];
    request.address = source;
    request.port = sourcePort;
    request.time = ports_.clock.Now();
    request.tag = f[2];
    incoming_.push_back(std::move(request));
    ports_.events.PeerAdd(std::string(source), sourcePort);
}

void PeerProtocol::OnAddAccept(const std::vector<std::string>& f, const std::string& source,
                               std::int32_t sourcePort) {
    if (f.size() < 4 || f[1] != ownPeerId_) return;
    const std::ptrdiff_t i = FindFirst(pending_, WithTagFrom(f[2], source, sourcePort));
    if (i < 0) return;
    const ChaterInfo request = Take(pending_, i);
    // When both sides asked at once, the peer may already be ours through its
    // own request: a second entry would get every text twice.
    if (FindFirst(chaters_, WithId(f[3])) < 0) {
        ChaterInfo peer;
        peer.id = f[3];
        peer.address = request.address;
        peer.port = request.port;
        peer.time = ports_.clock.Now();
        chaters_.push_back(std::move(peer));
    }
    ports_.events.PeerAccept(request.address, request.port);
    // Sent from the voice-receive socket, so that the peer learns where our
    // sound is to go.
    ports_.voiceReceiveSocket.SendTo(request.address, request.port, peer_text::AddVoice(ownPeerId_));
}

void PeerProtocol::OnAddReject(const std::vector<std::string>& f, const std::string& source,
                               std::int32_t sourcePort) {
    if (f.size() < 3 || f[1] != ownPeerId_) return;
    const std::ptrdiff_t i = FindFirst(pending_, WithTagFrom(f[2], source, sourcePort));
    if (i < 0) return;
    const ChaterInfo request = Take(pending_, i);
    ports_.events.PeerReject(request.address, request.port);
}

void PeerProtocol::OnAddVoice(const std::vector<std::string>& f, const std::string& source,
                              std::int32_t sourcePort, bool answer) {
    if (f.size() < 2) return;
    const std::ptrdiff_t i = FindFirst(chaters_, WithIdFromHost(f[1], source));
    if (i < 0) return;
    ChaterInfo& peer = chaters_[static_cast<std::size_t>(i)];
    peer.voiceAddress = source;
    peer.voicePort = sourcePort;
    if (answer) ports_.voiceReceiveSocket.SendTo(std::string(peer.address), peer.port, peer_text::BddVoice(ownPeerId_));
}

void PeerProtocol::OnClose(const std::vector<std::string>& f, const std::string& source,
                           std::int32_t sourcePort) {
    if (f.size() < 2) return;
    const std::ptrdiff_t i = FindFirst(chaters_, WithIdFrom(f[1], source, sourcePort));
    if (i < 0) return;
    const ChaterInfo peer = Take(chaters_, i);
    ports_.events.PeerClose(peer.address, peer.port);
}

void PeerProtocol::OnNewMessage(const std::vector<std::string>& f, const std::string& source,
                                std::int32_t sourcePort) {
    if (f.size() < 2) return;
    const std::ptrdiff_t i = FindFirst(chaters_, WithIdFrom(f[1], source, sourcePort));
    if (i < 0) return;
    const ChaterInfo& peer = chaters_[static_cast<std::size_t>(i)];
    const std::string ip = peer.address;  // the handler may change the list
    const std::int32_t port = peer.port;
    ports_.events.NewMessage(ip, port, f.size() > 2 ? f[2] : std::string());
}

std::string_view PeerProtocol::OnVoiceDatagram(std::string_view bytes, const std::string& source,
                                               std::int32_t sourcePort) {
    if (StartsWithNoCase(bytes, peer_text::kNoop)) {
        ports_.voiceReceiveSocket.SendTo(source, sourcePort, peer_text::kP);
        return {};
    }
    return bytes.substr(0, std::min(bytes.size(), kMaxVoiceDatagram));
}

void PeerProtocol::SendVoice(std::string_view sound) {
    if (sound.empty()) return;
    for (const ChaterInfo& c : chaters_)
        if (!c.voiceAddress.empty()) ports_.voiceSendSocket.SendTo(c.voiceAddress, c.voicePort, sound);
}

bool PeerProtocol::OnTimer(unsigned id) {
    if (address_.OnTimer(id)) return true;
    if (id != kPeerTimer) return false;
    Tick();
    return true;
}

void PeerProtocol::Tick() {
    const std::int64_t now = ports_.clock.Now();
    // An entry that moves into the place of a removed one waits for the next
    // tick. The handler of the time-out may add requests: indices stay checked.
    for (std::size_t i = 0; i < pending_.size(); ++i) {
        if (now - pending_[i].time <= kRequestLifetimeSeconds) continue;
        const ChaterInfo request = Take(pending_, static_cast<std::ptrdiff_t>(i));
        ports_.events.AddChaterTimeOut(request.address, request.port);
    }
    for (std::size_t i = 0; i < incoming_.size(); ++i)
        if (now - incoming_[i].time > kRequestLifetimeSeconds) incoming_.erase(incoming_.begin() + static_cast<std::ptrdiff_t>(i));

    const std::string noop(peer_text::kNoop);
    for (const ChaterInfo& c : List(chaters_)) {
        ports_.textSocket.SendTo(c.address, c.port, noop);
        if (!c.voiceAddress.empty()) ports_.textSocket.SendTo(c.voiceAddress, c.voicePort, noop);
    }
}

}  // namespace tovan
