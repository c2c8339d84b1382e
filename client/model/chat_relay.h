// The frame's list of chat windows and the chat relay through the exchange
// server: a user who wants to talk sends his addresses in "!ADDCHATER!", the
// server relays it with the sender's id in front, and the other side answers
// "!BDDCHATER!" the same way. The list opens or reuses one window per peer,
// feeds relayed addresses into it, and deletes the windows that asked to be
// closed — only in its sweep, never inside one of their own handlers.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "client/model/outbox.h"
#include "client/model/server_message.h"

namespace tovan {

// Frame timer of the sweep of closed chat windows.
constexpr unsigned kChatSweepTimer = 9;
constexpr unsigned kChatSweepPeriodMs = 200;

// The values of one chat window that the relay reads and writes.
struct ChatPeer {
    std::string peerUserId;  // the key by which windows are found
    std::string peerName;    // shown in the window's lines
    std::string peerPublicAddress;
    int peerPublicPort = 0;
    std::string peerLocalAddress;
    int peerLocalPort = 0;
    int initiatedLocally = 0;
    int connected = 0;
    int closeRequested = 0;
    std::string ownPublicAddress;
    int ownPublicPort = 0;
    std::string ownLocalAddress;
    int ownLocalPort = 0;
};

// Asks the control for the peer at its local address, and at its public
// address too when that differs.
template <typename AddChater>
void AddBothAddresses(const std::string& publicAddress, int publicPort,
                      const std::string& localAddress, int localPort, AddChater&& addChater) {
    addChater(localAddress, localPort);
    if (localAddress != publicAddress || localPort != publicPort) addChater(publicAddress, publicPort);
}

// A chat window as the list sees it. Deleting it destroys the window.
class ChatWindowLink {
public:
    virtual ~ChatWindowLink() = default;
    virtual ChatPeer& Peer() = 0;
    // Sends this side's "!ADDCHATER!" for the peer.
    virtual void SendAddChater() = 0;
    // A relayed answer stored the peer's addresses: ask the control for them.
    virtual void AddPeerAddresses() = 0;
    // The control's AddChater.
    virtual void AddChater(const std::string& ip, int port) = 0;
    // Asked for again: shown in front of the frame, with the keyboard when the
    // user asked (byUser), else without taking it from where the user types.
    virtual void ShowInFront(bool byUser) {}
};

class ChatListPorts {
public:
    virtual ~ChatListPorts() = default;
    // Creates the window for a new peer and shows it as ShowInFront does;
    // null when it cannot be made, after the user was told why.
    virtual std::unique_ptr<ChatWindowLink> CreateChatWindow(const ChatPeer& peer) = 0;
    virtual std::string OwnUserId() = 0;
    // A relayed line was turned down: it named a host where an address belongs.
    virtual void RefuseRelayed(const std::string& id) = 0;
};

struct RelayedAddresses;

class ChatList : public ServerMessageHandler {
public:
    // The relay lines go out through the session's outbox.
    ChatList(ChatListPorts& ports, Outbox& outbox) : ports_(ports), outbox_(outbox) {}

    // Opens a chat with user `id`, or points the unconnected window of that
    // peer at the given addresses. initiated is 1 for the user's own double-click.
    void OpenChat(const std::string& id, const std::string& publicAddress, int publicPort,
                  const std::string& localAddress, int localPort, int initiated);
    // Relayed lines, whole text without "^". A line without its five fields
    // is ignored; ports that are no number count as 0. An address that is no
    // dotted IPv4 number (empty is none) refuses the line: nothing is
    // looked up by name for another user.
    void OnAddChater(const char* msg) override;
    void OnBddChater(const char* msg) override;
    // Timer 9: deletes every window that asked to be closed.
    void SweepClosedChats();

    std::size_t size() const { return windows_.size(); }
    ChatWindowLink& at(std::size_t i) { return *windows_[i]; }

private:
    // The relayed line's fields; false when it is refused or malformed.
    bool ReadAddresses(const char* msg, RelayedAddresses& a);

    ChatListPorts& ports_;
    Outbox& outbox_;
    std::vector<std::unique_ptr<ChatWindowLink>> windows_;
};

}  // namespace tovan
