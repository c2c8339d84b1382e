// Command line of the simulator.
#pragma once

#include <cstdint>
#include <string>

namespace exsim {

struct SimOptions {
    std::uint16_t tcpPort = 8000;
    std::uint16_t udpPort = 4343;
    std::uint16_t httpPort = 8080;
    std::uint16_t controlPort = 8001;
    std::string db = ":memory:";
    std::string logFile;
    std::string webRoot;
    bool acceptAnyPassword = false;
    bool samples = true;
};

// Fills *out from argv; false with a message in *error on a bad argument.
// "--help" gives false with the usage as *error.
bool ParseOptions(int argc, const char* const* argv, SimOptions* out, std::string* error);

extern const char* const kUsage;

}  // namespace exsim
