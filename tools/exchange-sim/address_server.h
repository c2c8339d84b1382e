// The address server on UDP: tells a chat control the address and port it
// was seen from, and keeps the one address an administrator control announces.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace exsim {

class AddressServer {
public:
    // One datagram from ip:port; returns the answer to send back, if any.
    std::optional<std::string> Answer(std::string_view datagram, const std::string& ip, std::uint16_t port);

    const std::vector<std::string>& log() const { return log_; }

private:
    std::string adminAddress_;
    std::string adminPort_;
    std::vector<std::string> log_;
};

}  // namespace exsim
