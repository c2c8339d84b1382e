// exchange-sim: the exchange server, address server and web service of the
// Tovan system, played on loopback for tests and demos.
#include <cstdio>
#include <string>

#include "tools/exchange-sim/options.h"
#include "tools/exchange-sim/sim_server.h"

int main(int argc, char** argv) {
    exsim::SimOptions options;
    std::string error;
    if (!exsim::ParseOptions(argc, argv, &options, &error)) {
        std::fputs(error.c_str(), stderr);
        if (error.back() != '\n') std::fputc('\n', stderr);
        return error == exsim::kUsage ? 0 : 2;
    }
    return exsim::RunSimulator(options, stdout);
}
