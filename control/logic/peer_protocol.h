// The chat control's peer protocol: the peer list and the two request lists,
// the dispatch methods that change them, the text datagrams received on the
// text socket, the keep-alive and request expiry of timer 1, and where voice
// datagrams meet the peer list. The address-server exchange rides along on the
// same socket and timers.
//
// Everything runs on the host's user-interface thread. Events go out
// synchronously and their handlers may call back into this object (the chat
// window empties the peer list and accepts from within PeerAdd), so every
// event is fired with copies and after the lists are consistent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "control/logic/address_exchange.h"
#include "control/logic/chater_info.h"
#include "control/logic/control_ports.h"

namespace tovan {

constexpr unsigned kPeerTimer = 1;              // keep-alive and request expiry
constexpr unsigned kPeerTimerMs = 3000;
constexpr std::int64_t kRequestLifetimeSeconds = 45;

class PeerProtocol {
public:
    // ownPeerId: the text form of a fresh UUID (36 lower-case characters).
    PeerProtocol(ControlPorts ports, std::string ownPeerId);

    // The control window was created: timer 1 starts.
    void OnWindowCreated();
    // The control window goes (after voice stopped): every peer is told.
    void OnWindowDestroyed() { RemoveAllChaters(); }

    // Dispatch methods.
    void AddChater(const std::string& ip, std::int32_t port);
    void AcceptChater(const std::string& ip, std::int32_t port);
    void RejectChater(const std::string& ip, std::int32_t port);
    void RemoveChater(const std::string& ip, std::int32_t port);
    void RemoveAllChaters();
    // Empty ip: to every peer; else to (ip, port) only, peer or not.
    void SendShortMessage(const std::string& ip, std::int32_t port, const std::string& msg);
    void QueryForeignAddress(const std::string& addressServer) { address_.QueryForeignAddress(addressServer); }
    void SetServerAddress(const std::string& ip, const std::string& pass) { address_.SetServerAddress(ip, pass); }
    void QueryServer(const std::string& ip) { address_.QueryServer(ip); }

    // One datagram read from the text socket, with its source. Any bytes.
    void OnTextDatagram(std::string_view bytes, const std::string& source, std::int32_t sourcePort);

    // One datagram read from the voice-receive socket. Returns the sound to
    // play (empty: nothing to play); a keep-alive is answered here instead.
    std::string_view OnVoiceDatagram(std::string_view bytes, const std::string& source, std::int32_t sourcePort);
    // One compressed capture buffer: to every peer whose voice address is known.
    void SendVoice(std::string_view sound);

    // Timers 1, 3 and 4; false for any other id.
    bool OnTimer(unsigned id);

    const std::string& ownPeerId() const { return ownPeerId_; }
    const std::vector<ChaterInfo>& chaters() const { return chaters_; }
    const std::vector<ChaterInfo>& pending() const { return pending_; }
    const std::vector<ChaterInfo>& incoming() const { return incoming_; }
    const AddressExchange& address() const { return address_; }

private:
    void OnAddMe(const std::vector<std::string>& f, const std::string& source, std::int32_t sourcePort);
    // A peer's datagrams count only from the addresses it is known by.
    void OnAddAccept(const std::vector<std::string>& f, const std::string& source, std::int32_t sourcePort);
    void OnAddReject(const std::vector<std::string>& f, const std::string& source, std::int32_t sourcePort);
    void OnAddVoice(const std::vector<std::string>& f, const std::string& source, std::int32_t sourcePort, bool answer);
    void OnClose(const std::vector<std::string>& f, const std::string& source, std::int32_t sourcePort);
    void OnNewMessage(const std::vector<std::string>& f, const std::string& source, std::int32_t sourcePort);
    void Tick();

    bool IsChater(const std::string& ip, std::int32_t port) const;

    ControlPorts ports_;
    std::string ownPeerId_;
    AddressExchange address_;
    std::vector<ChaterInfo> chaters_;   // the peers
    std::vector<ChaterInfo> pending_;   // requests we sent, found by tag
    std::vector<ChaterInfo> incoming_;  // requests we got, found by address and port
};

}  // namespace tovan
