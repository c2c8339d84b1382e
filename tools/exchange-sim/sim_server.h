// The simulator's event loop: one thread, poll() over the exchange, control
// and web listeners, the address server's UDP socket and every connection.
// Loopback only.
#pragma once

#include <cstdio>

#include "tools/exchange-sim/options.h"

namespace exsim {

// Runs until QUIT or SIGINT/SIGTERM. Prints the chosen ports and "ready" to
// out first. Returns the process exit code.
int RunSimulator(const SimOptions& options, std::FILE* out);

}  // namespace exsim
