#include "tools/exchange-sim/options.h"

#include <cstring>

namespace exsim {

const char* const kUsage =
    "usage: exchange-sim [--port 8000] [--udp-port 4343] [--http-port 8080]\n"
    "                    [--control-port 8001] [--db :memory:|FILE] [--log FILE]\n"
    "                    [--web-root DIR] [--accept-any-password] [--no-samples]\n"
    "Every port may be 0 (the system picks one). Binds 127.0.0.1 only.\n";

namespace {

bool ParsePort(const char* text, std::uint16_t* port) {
    if (!text || !*text || std::strlen(text) > 5) return false;
    unsigned v = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        v = v * 10 + static_cast<unsigned>(*p - '0');
    }
    if (v > 65535) return false;
    *port = static_cast<std::uint16_t>(v);
    return true;
}

}  // namespace

bool ParseOptions(int argc, const char* const* argv, SimOptions* out, std::string* error) {
    SimOptions o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        std::uint16_t* port = a == "--port"           ? &o.tcpPort
                              : a == "--udp-port"     ? &o.udpPort
                              : a == "--http-port"    ? &o.httpPort
                              : a == "--control-port" ? &o.controlPort
                                                      : nullptr;
        if (port) {
            if (!ParsePort(value, port)) {
                *error = a + " needs a port number 0-65535";
                return false;
            }
            ++i;
        } else if (a == "--db" || a == "--log" || a == "--web-root") {
            if (!value || !*value) {
                *error = a + " needs a value";
                return false;
            }
            (a == "--db" ? o.db : a == "--log" ? o.logFile : o.webRoot) = value;
            ++i;
        } else if (a == "--accept-any-password") {
            o.acceptAnyPassword = true;
        } else if (a == "--no-samples") {
            o.samples = false;
        } else if (a == "--help" || a == "-h") {
            *error = kUsage;
            return false;
        } else {
            *error = "unknown argument " + a + "\n" + kUsage;
            return false;
        }
    }
    *out = o;
    return true;
}

}  // namespace exsim
