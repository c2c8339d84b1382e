#include "fw/datagram_socket.h"

#include "fw/logic/dotted_ipv4.h"

namespace fw {

bool DatagramSocket::Open(unsigned port, bool notifyReads) {
    return Create(port, SOCK_DGRAM, notifyReads ? FD_READ : 0);
}

int DatagramSocket::SendTo(const std::string& address, unsigned port, const void* data, int length) {
    if (handle() == INVALID_SOCKET) return SOCKET_ERROR;
    if (!IsDottedIPv4(address)) {
        WSASetLastError(WSAEINVAL);
        return SOCKET_ERROR;
    }
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<u_short>(port));
    to.sin_addr.s_addr = inet_addr(address.c_str());
    return sendto(handle(), static_cast<const char*>(data), length, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
}

int DatagramSocket::ReceiveFrom(void* buffer, int length, std::string* sourceAddress, unsigned* sourcePort) {
    sockaddr_in from = {};
    int fromLength = sizeof from;
    const int n = recvfrom(handle(), static_cast<char*>(buffer), length, 0, reinterpret_cast<sockaddr*>(&from),
                           &fromLength);
    if (sourceAddress) *sourceAddress = inet_ntoa(from.sin_addr);
    if (sourcePort) *sourcePort = ntohs(from.sin_port);
    return n;
}

unsigned DatagramSocket::LocalPort() const {
    if (handle() == INVALID_SOCKET) return 0;
    sockaddr_in local = {};
    int length = sizeof local;
    if (getsockname(handle(), reinterpret_cast<sockaddr*>(&local), &length) == SOCKET_ERROR) return 0;
    return ntohs(local.sin_port);
}

}  // namespace fw
