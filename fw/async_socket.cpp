#include "fw/async_socket.h"

#include <ws2tcpip.h>

#include <cstring>

#include "fw/window.h"

namespace fw {

// Each socket gets a hidden message-only window. Every re-creation uses a new
// message number, so that events of an already closed socket that are still
// queued cannot reach the new one, even when Winsock reuses the handle.
namespace {
constexpr UINT kFirstSocketMessage = WM_APP + 0x2000;
constexpr unsigned kSocketMessageCount = 256;
}  // namespace

class SocketSink : public Window {
public:
    explicit SocketSink(AsyncSocket& owner) : owner_(owner) {
        Create("fwAsyncSocketSink", "", 0, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, 0);
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg >= kFirstSocketMessage && msg < kFirstSocketMessage + kSocketMessageCount) {
            owner_.Dispatch(msg, wp, lp);
            return 0;
        }
        return DefaultProc(msg, wp, lp);
    }

private:
    AsyncSocket& owner_;
};

AsyncSocket::AsyncSocket() = default;

AsyncSocket::~AsyncSocket() {
    Close();
    delete sink_;
}

bool AsyncSocket::Create(unsigned port, int type, long events, const char* address) {
    if (socket_ != INVALID_SOCKET) {
        WSASetLastError(WSAEISCONN);
        return false;
    }
    if (!sink_) sink_ = new SocketSink(*this);
    if (!sink_->hwnd()) {
        WSASetLastError(WSAENOBUFS);
        return false;
    }
    SOCKET s = socket(AF_INET, type, 0);
    if (s == INVALID_SOCKET) return false;
    ++generation_;
    message_ = kFirstSocketMessage + generation_ % kSocketMessageCount;
    if (WSAAsyncSelect(s, sink_->hwnd(), message_, events) == SOCKET_ERROR) {
        const int e = WSAGetLastError();
        closesocket(s);
        WSASetLastError(e);
        return false;
    }
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<u_short>(port));
    local.sin_addr.s_addr = address ? inet_addr(address) : htonl(INADDR_ANY);
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) == SOCKET_ERROR) {
        const int e = WSAGetLastError();
        closesocket(s);
        WSASetLastError(e);
        return false;
    }
    socket_ = s;
    return true;
}

bool AsyncSocket::Connect(const char* host, unsigned port) {
    if (socket_ == INVALID_SOCKET) {
        WSASetLastError(WSAENOTSOCK);
        return false;
    }
    sockaddr_in peer = {};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<u_short>(port));
    peer.sin_addr.s_addr = inet_addr(host ? host : "");
    if (peer.sin_addr.s_addr == INADDR_NONE) {
        addrinfo hints = {};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (!host || getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) {
            WSASetLastError(WSAEINVAL);
            return false;
        }
        peer.sin_addr = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
        freeaddrinfo(found);
    }
    return connect(socket_, reinterpret_cast<sockaddr*>(&peer), sizeof peer) != SOCKET_ERROR;
}

int AsyncSocket::Send(const void* data, int length, int flags) {
    return send(socket_, static_cast<const char*>(data), length, flags);
}

int AsyncSocket::Receive(void* buffer, int length, int flags) {
    return recv(socket_, static_cast<char*>(buffer), length, flags);
}

unsigned long AsyncSocket::BytesWaiting() const {
    u_long n = 0;
    if (socket_ == INVALID_SOCKET || ioctlsocket(socket_, FIONREAD, &n) == SOCKET_ERROR) return 0;
    return n;
}

bool AsyncSocket::ShutDown(int how) { return shutdown(socket_, how) != SOCKET_ERROR; }

void AsyncSocket::Close() {
    if (socket_ == INVALID_SOCKET) return;
    closesocket(socket_);
    socket_ = INVALID_SOCKET;
    message_ = 0;
}

void AsyncSocket::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != message_ || static_cast<SOCKET>(wp) != socket_) return;  // a closed socket's event
    const int error = WSAGETSELECTERROR(lp);
    switch (WSAGETSELECTEVENT(lp)) {
    case FD_READ: OnReceive(error); break;
    case FD_WRITE: OnSend(error); break;
    case FD_OOB: OnOutOfBandData(error); break;
    case FD_ACCEPT: OnAccept(error); break;
    case FD_CONNECT: OnConnect(error); break;
    case FD_CLOSE: OnClose(error); break;
    default: break;
    }
}

}  // namespace fw
