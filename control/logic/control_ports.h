// What the chat control's protocol needs of the outside: its sockets, window
// timers, the clock, name look-ups, and the host's events. The control's COM
// layer implements them over Winsock and its window; tests use fakes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tovan {

// One UDP socket of the control. Sends are fire-and-forget: a failure
// (unresolvable address, network error) is not reported.
class DatagramSender {
public:
    virtual ~DatagramSender() = default;
    virtual void SendTo(const std::string& address, std::int32_t port, std::string_view bytes) = 0;
};

// The control window's timers.
class ControlTimers {
public:
    virtual ~ControlTimers() = default;
    virtual void Start(unsigned id, unsigned periodMs) = 0;
    virtual void Stop(unsigned id) = 0;
};

class ControlClock {
public:
    virtual ~ControlClock() = default;
    virtual std::int64_t Now() = 0;  // seconds since 1970
};

class HostNetwork {
public:
    virtual ~HostNetwork() = default;
    // First IPv4 address of a name, dotted; nothing when it cannot be resolved.
    virtual std::optional<std::string> Resolve(const std::string& name) = 0;
    // First address of the local host name, dotted (the LocalAddress property).
    virtual std::string LocalAddress() = 0;
    // Local port of the text socket (the LocalPort property).
    virtual std::int32_t LocalPort() = 0;
};

// The control's events that the protocol fires, named as the host knows them.
// They are fired synchronously; a handler may call back into the control.
// The strings are copies that stay valid for the whole call.
class ControlEvents {
public:
    virtual ~ControlEvents() = default;
    virtual void PeerReject(const std::string& ip, std::int32_t port) {}
    virtual void PeerAccept(const std::string& ip, std::int32_t port) {}
    virtual void PeerClose(const std::string& ip, std::int32_t port) {}
    virtual void AddChaterTimeOut(const std::string& ip, std::int32_t port) {}
    virtual void NotifyAddress(const std::string& ip, std::int32_t port) {}
    virtual void PeerAdd(const std::string& ip, std::int32_t port) {}
    virtual void NewMessage(const std::string& ip, std::int32_t port, const std::string& msg) {}
    virtual void NotifyServerAddress(const std::string& ip, std::int32_t port) {}
};

struct ControlPorts {
    DatagramSender& textSocket;          // every text datagram but the voice-address ones
    DatagramSender& voiceReceiveSocket;  // "!ADDVOICE!", "!BDDVOICE!", "!P!" to keep-alives it got
    DatagramSender& voiceSendSocket;     // compressed sound
    ControlTimers& timers;
    ControlClock& clock;
    HostNetwork& network;
    ControlEvents& events;
};

}  // namespace tovan
