#include "fw/ipv4_address.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <vector>

namespace fw {

std::string ResolveIPv4(const std::string& host) {
    if (host.empty()) return std::string();
    in_addr a;
    a.s_addr = inet_addr(host.c_str());
    if (a.s_addr == INADDR_NONE) {
        addrinfo hints = {};
        hints.ai_family = AF_INET;
        addrinfo* found = nullptr;
        if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return std::string();
        a = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
        freeaddrinfo(found);
    }
    return inet_ntoa(a);
}

std::string LocalIPv4Address() {
    SOCKET s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s == INVALID_SOCKET) return std::string();
    std::vector<INTERFACE_INFO> list(32);
    DWORD bytes = 0;
    const int r = WSAIoctl(s, SIO_GET_INTERFACE_LIST, nullptr, 0, list.data(),
                           static_cast<DWORD>(list.size() * sizeof(INTERFACE_INFO)), &bytes, nullptr, nullptr);
    closesocket(s);
    if (r == SOCKET_ERROR) return std::string();
    std::string loopback;
    for (std::size_t i = 0; i < bytes / sizeof(INTERFACE_INFO); ++i) {
        const INTERFACE_INFO& info = list[i];
        if (!(info.iiFlags & IFF_UP) || info.iiAddress.Address.sa_family != AF_INET) continue;
        const std::string address = inet_ntoa(info.iiAddress.AddressIn.sin_addr);
        if (!(info.iiFlags & IFF_LOOPBACK)) return address;
        if (loopback.empty()) loopback = address;
    }
    return loopback;
}

}  // namespace fw
