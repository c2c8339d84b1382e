// The control channel's commands (see README): one line in, the reply out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace exsim {

class Exchange;
class OfferStore;
class WebService;
class AddressServer;

// What a command needs of the event loop.
class ControlHost {
public:
    virtual ~ControlHost() = default;
    // Stops or restarts accepting exchange connections; false when the port
    // cannot be bound again.
    virtual bool SetListening(bool on) = 0;
    // Hostile server modes for the client's tests: read at most `bytes`
    // every 10 ms from connections (0: not at all; -1: as fast as they
    // send), returning how many; close every new connection as soon as it
    // is accepted.
    virtual int SetReadRate(std::string_view target, std::int64_t bytes) = 0;
    virtual void SetCloseOnAccept(bool on) = 0;
    virtual void Quit() = 0;
};

struct ControlContext {
    Exchange& exchange;
    OfferStore& store;
    WebService& web;
    AddressServer& address;
    ControlHost& host;
};

// Runs one command line (without its "\n"); returns the whole reply: data
// lines, then "OK" or "ERR <reason>", each ended by "\n".
std::string RunControlCommand(std::string_view line, ControlContext& ctx);

}  // namespace exsim
