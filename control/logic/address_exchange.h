// The control's exchange with the address server (UDP 4343): asking for its
// public address, announcing itself, asking for a server address, and the
// replies that come back on the text socket.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "control/logic/control_ports.h"

namespace tovan {

constexpr unsigned kForeignAddressTimer = 3;  // repeats "!MEADDRESS!"
constexpr unsigned kAdminAddressTimer = 4;    // repeats "!ADMINADDRESS!"
constexpr unsigned kAddressRepeatMs = 30000;

class AddressExchange {
public:
    explicit AddressExchange(ControlPorts ports) : ports_(ports) {}

    // Asks the address server for our public address, now and every 30 s. A
    // name that cannot be resolved stops an earlier repetition and sends nothing.
    void QueryForeignAddress(const std::string& addressServer);
    // Announces our local address to the server, now and every 30 s.
    void SetServerAddress(const std::string& ip, const std::string& pass);
    // Asks once for a server address.
    void QueryServer(const std::string& ip);

    // Replies, split into fields (field 0 the command word).
    void OnYourAddress(const std::vector<std::string>& fields, const std::string& source);
    void OnServerAddress(const std::vector<std::string>& fields);

    // Timers 3 and 4; false for any other id.
    bool OnTimer(unsigned id);

    const std::string& serverAddress() const { return serverAddress_; }
    const std::string& publicAddress() const { return publicAddress_; }
    std::int32_t publicPort() const { return publicPort_; }

private:
    ControlPorts ports_;
    std::string serverAddress_;  // shared by both repeating calls
    std::string publicAddress_;
    std::int32_t publicPort_ = 0;
    std::string pass_;
};

}  // namespace tovan
