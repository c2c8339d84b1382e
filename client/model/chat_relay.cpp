#include "client/model/chat_relay.h"

#include <utility>

#include "client/model/outgoing_messages.h"
#include "fw/logic/dotted_ipv4.h"
#include "text/decimal.h"
#include "client/model/server_message.h"

namespace tovan {

struct RelayedAddresses {
    std::string id, publicAddress, localAddress;
    int publicPort = 0, localPort = 0;
};

namespace {

bool IsAddressOrNone(const std::string& address) { return address.empty() || fw::IsDottedIPv4(address); }

bool ReadRelayed(const char* msg, RelayedAddresses& out) {
    const std::vector<std::string> f = SplitFields(msg ? msg : "");
    if (f.size() < 6) return false;
    out.id = f[1];
    out.publicAddress = f[2];
    out.publicPort = DecimalValue(f[3]);
    out.localAddress = f[4];
    out.localPort = DecimalValue(f[5]);
    return true;
}

}  // namespace

// The peer as the relay names it; its id stands for its name until the
// names are exchanged.
static void TakePeer(ChatPeer& p, const std::string& id, const std::string& publicAddress,
                     int publicPort, const std::string& localAddress, int localPort,
                     int initiated) {
    p.peerName = p.peerUserId = id;
    p.peerPublicAddress = publicAddress;
    p.peerPublicPort = publicPort;
    p.peerLocalAddress = localAddress;
    p.peerLocalPort = localPort;
    p.initiatedLocally = initiated;
}

void ChatList::OpenChat(const std::string& id, const std::string& publicAddress, int publicPort,
                        const std::string& localAddress, int localPort, int initiated) {
    if (id == ports_.OwnUserId()) return;  // no chat with oneself
    for (auto& window : windows_) {
        ChatPeer& p = window->Peer();
        if (p.peerUserId != id) continue;
        // A connected peer's request again changes nothing the user sees.
        if (initiated || !p.connected) window->ShowInFront(initiated != 0);
        if (p.connected) return;
        // A name from an earlier exchange gives way to the id until the next one.
        TakePeer(p, id, publicAddress, publicPort, localAddress, localPort, initiated);
        if (initiated) {
            window->SendAddChater();
            return;
        }
        AddBothAddresses(publicAddress, publicPort, localAddress, localPort,
                         [&](const std::string& ip, int port) { window->AddChater(ip, port); });
        outbox_.Send(BddChaterMessage(p.peerName, p.ownPublicAddress, p.ownPublicPort,
                                      p.ownLocalAddress, p.ownLocalPort));
        return;
    }
    ChatPeer peer;
    TakePeer(peer, id, publicAddress, publicPort, localAddress, localPort, initiated);
    if (std::unique_ptr<ChatWindowLink> window = ports_.CreateChatWindow(peer)) {
        windows_.push_back(std::move(window));
    }
}

bool ChatList::ReadAddresses(const char* msg, RelayedAddresses& a) {
    if (!ReadRelayed(msg, a)) return false;
    if (IsAddressOrNone(a.publicAddress) && IsAddressOrNone(a.localAddress)) return true;
    ports_.RefuseRelayed(a.id);
    return false;
}

void ChatList::OnAddChater(const char* msg) {
    RelayedAddresses a;
    if (!ReadAddresses(msg, a)) return;
    OpenChat(a.id, a.publicAddress, a.publicPort, a.localAddress, a.localPort, 0);
}

void ChatList::OnBddChater(const char* msg) {
    RelayedAddresses a;
    if (!ReadAddresses(msg, a) || a.id == ports_.OwnUserId()) return;
    for (std::size_t i = 0; i < windows_.size(); ++i) {
        ChatPeer& p = windows_[i]->Peer();
        if (p.peerUserId != a.id) continue;
        if (p.connected) break;
        p.peerPublicAddress = a.publicAddress;
        p.peerLocalAddress = a.localAddress;
        p.peerPublicPort = a.publicPort;
        p.peerLocalPort = a.localPort;
        windows_[i]->AddPeerAddresses();
    }
}

void ChatList::SweepClosedChats() {
    std::size_t i = 0;
    while (i < windows_.size()) {
        if (windows_[i]->Peer().closeRequested) {
            // Out of the list before its destruction runs.
            std::unique_ptr<ChatWindowLink> closing = std::move(windows_[i]);
            windows_.erase(windows_.begin() + static_cast<std::ptrdiff_t>(i));
            closing.reset();
        } else {
            ++i;
        }
    }
}

}  // namespace tovan
