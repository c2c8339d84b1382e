// UDP over the asynchronous socket: readiness to read arrives as OnReceive
// on the creating thread; sends are single datagrams to an address or name.
#pragma once

#include <string>

#include "fw/async_socket.h"

namespace fw {

class DatagramSocket : public AsyncSocket {
public:
    // Bound to port (0: the system's choice); notifies readable data when
    // `notifyReads`, else nothing (a socket that only sends).
    bool Open(unsigned port, bool notifyReads = true);

    // One datagram to a dotted IPv4 address; SOCKET_ERROR on failure, and
    // for anything else (WSAEINVAL): the addresses come from the network,
    // and a name there would make this thread wait for the name server.
    int SendTo(const std::string& address, unsigned port, const void* data, int length);
    // One datagram and its source; SOCKET_ERROR on failure (WSAEMSGSIZE: the
    // datagram was longer than the buffer and what fitted was read).
    int ReceiveFrom(void* buffer, int length, std::string* sourceAddress, unsigned* sourcePort);

    // The port the socket is bound to; 0 when not open.
    unsigned LocalPort() const;
};

}  // namespace fw
