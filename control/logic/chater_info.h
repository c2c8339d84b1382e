// One peer of the chat control, or one request to or from a peer.
#pragma once

#include <cstdint>
#include <string>

namespace tovan {

struct ChaterInfo {
    std::string id;            // the peer's peer id (empty in a request we sent)
    std::string address;       // the peer's text-socket address, dotted text
    std::int32_t port = 0;     // the peer's text-socket port
    std::string voiceAddress;  // the peer's voice-receive socket as we see it (empty until learned)
    std::int32_t voicePort = 0;
    std::int64_t time = 0;     // seconds since 1970 when the record was made
    // A request we sent: "address:port" we sent it to. A request we received:
    // the tag its sender gave. A peer: the requester's tag on the accepting
    // side, empty on the requesting side (never read).
    std::string tag;
};

}  // namespace tovan
