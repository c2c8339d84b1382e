#include "control/logic/address_exchange.h"

#include <optional>

#include "control/logic/peer_datagram.h"
#include "fw/logic/dotted_ipv4.h"
#include "text/decimal.h"

namespace tovan {

void AddressExchange::QueryForeignAddress(const std::string& addressServer) {
    ports_.timers.Stop(kForeignAddressTimer);
    const std::optional<std::string> resolved = ports_.network.Resolve(addressServer);
    if (!resolved) return;
    serverAddress_ = *resolved;
    ports_.textSocket.SendTo(serverAddress_, kAddressServerPort, peer_text::kMeAddress);
    ports_.timers.Start(kForeignAddressTimer, kAddressRepeatMs);
}

void AddressExchange::SetServerAddress(const std::string& ip, const std::string& pass) {
    ports_.timers.Stop(kAdminAddressTimer);
    const std::optional<std::string> resolved = ports_.network.Resolve(ip);
    if (!resolved) return;
    serverAddress_ = *resolved;
    pass_ = pass;
    const std::string text =
        peer_text::AdminAddress(pass_, ports_.network.LocalAddress(), ports_.network.LocalPort());
    // A pass too long for the announcement is refused, not cut: a cut pass
    // would only be announced wrong every 30 s.
    if (text.empty()) return;
    ports_.textSocket.SendTo(serverAddress_, kAddressServerPort, text);
    ports_.timers.Start(kAdminAddressTimer, kAddressRepeatMs);
}

void AddressExchange::QueryServer(const std::string& ip) {
    ports_.textSocket.SendTo(ip, kAddressServerPort, peer_text::kServerAddress);
}

void AddressExchange::OnYourAddress(const std::vector<std::string>& fields, const std::string& source) {
    if (source != serverAddress_) return;  // only the server we asked may tell us
    if (fields.size() < 3) return;
    const std::string& address = fields[1];
    if (!fw::IsDottedIPv4(address)) return;  // the host would pass a name on to other users
    const std::int32_t port = DecimalValue(fields[2]);
    // New only when both differ: the answers to the repeated question
    // normally repeat the pair we already have.
    if (address == publicAddress_ || port == publicPort_) return;
    publicAddress_ = address;
    publicPort_ = port;
    ports_.events.NotifyAddress(std::string(address), port);
}

void AddressExchange::OnServerAddress(const std::vector<std::string>& fields) {
    if (fields.size() < 3 || !fw::IsDottedIPv4(fields[1])) return;
    ports_.events.NotifyServerAddress(std::string(fields[1]), DecimalValue(fields[2]));
}

bool AddressExchange::OnTimer(unsigned id) {
    if (id == kForeignAddressTimer) {
        QueryForeignAddress(std::string(serverAddress_));
        return true;
    }
    if (id == kAdminAddressTimer) {
        SetServerAddress(std::string(serverAddress_), std::string(pass_));
        return true;
    }
    return false;
}

}  // namespace tovan
