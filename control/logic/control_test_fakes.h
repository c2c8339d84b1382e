// Fakes of the control's ports for the protocol tests.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "control/logic/control_ports.h"

namespace tovan {

// Records every send as "address:port text".
struct RecordingSocket : DatagramSender {
    std::vector<std::string> sent;
    void SendTo(const std::string& address, std::int32_t port, std::string_view bytes) override {
        sent.push_back(address + ":" + std::to_string(port) + " " + std::string(bytes));
    }
};

struct FakeTimers : ControlTimers {
    std::map<unsigned, unsigned> running;  // id -> period
    void Start(unsigned id, unsigned ms) override { running[id] = ms; }
    void Stop(unsigned id) override { running.erase(id); }
};

struct FakeClock : ControlClock {
    std::int64_t now = 1'700'000'000;
    std::int64_t Now() override { return now; }
};

struct FakeNetwork : HostNetwork {
    std::map<std::string, std::string> names;  // resolvable names; dotted text resolves to itself
    std::string localAddress = "192.168.1.20";
    std::int32_t localPort = 5123;
    std::optional<std::string> Resolve(const std::string& name) override {
        if (auto it = names.find(name); it != names.end()) return it->second;
        if (!name.empty() && name.find_first_not_of("0123456789.") == std::string::npos) return name;
        return std::nullopt;
    }
    std::string LocalAddress() override { return localAddress; }
    std::int32_t LocalPort() override { return localPort; }
};

// Records every event as "Name ip:port[ msg]"; `then` runs after recording,
// inside the firing, to call back into the control like a host does.
struct RecordingEvents : ControlEvents {
    std::vector<std::string> fired;
    std::function<void(const std::string& name, const std::string& ip, std::int32_t port)> then;

    void Record(const char* name, const std::string& ip, std::int32_t port, const std::string* msg = nullptr) {
        fired.push_back(std::string(name) + " " + ip + ":" + std::to_string(port) + (msg ? " " + *msg : ""));
        if (then) then(name, ip, port);
    }
    void PeerReject(const std::string& ip, std::int32_t p) override { Record("PeerReject", ip, p); }
    void PeerAccept(const std::string& ip, std::int32_t p) override { Record("PeerAccept", ip, p); }
    void PeerClose(const std::string& ip, std::int32_t p) override { Record("PeerClose", ip, p); }
    void AddChaterTimeOut(const std::string& ip, std::int32_t p) override { Record("AddChaterTimeOut", ip, p); }
    void NotifyAddress(const std::string& ip, std::int32_t p) override { Record("NotifyAddress", ip, p); }
    void PeerAdd(const std::string& ip, std::int32_t p) override { Record("PeerAdd", ip, p); }
    void NewMessage(const std::string& ip, std::int32_t p, const std::string& m) override {
        Record("NewMessage", ip, p, &m);
    }
    void NotifyServerAddress(const std::string& ip, std::int32_t p) override {
        Record("NotifyServerAddress", ip, p);
    }
};

// One control with recording ports.
struct ControlRig {
    RecordingSocket text, voiceReceive, voiceSend;
    FakeTimers timers;
    FakeClock clock;
    FakeNetwork network;
    RecordingEvents events;
    ControlPorts Ports() { return {text, voiceReceive, voiceSend, timers, clock, network, events}; }
};

}  // namespace tovan
