#include "tools/exchange-sim/address_server.h"

#include "tools/exchange-sim/wire.h"

namespace exsim {

std::optional<std::string> AddressServer::Answer(std::string_view datagram, const std::string& ip,
                                                 std::uint16_t port) {
    // Some senders count the terminating NUL into the datagram.
    while (!datagram.empty() && datagram.back() == '\0') datagram.remove_suffix(1);
    log_.push_back(ip + ":" + std::to_string(port) + " " + OneLine(datagram));
    std::vector<std::string> f = SplitFields(datagram);
    if (f.empty()) return std::nullopt;
    if (f[0] == "!MEADDRESS!") return "!YRADDR!|" + ip + "|" + std::to_string(port);
    if (f[0] == "!ADMINADDRESS!" && f.size() >= 4) {
        adminAddress_ = std::string(GbkCut(f[2], 64));
        adminPort_ = std::string(GbkCut(f[3], 8));
        return std::nullopt;
    }
    if (f[0] == "!SERVERADDRESS!" && !adminAddress_.empty())
        return "!SERVERADDRESS!|" + adminAddress_ + "|" + adminPort_;
    return std::nullopt;
}

}  // namespace exsim
