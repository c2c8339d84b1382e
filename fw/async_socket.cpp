#include "fw/async_socket.h"

#include <ws2tcpip.h>

#include <cstring>
#include <mutex>

#include "fw/detached_thread.h"
#include "fw/ipv4_address.h"
#include "fw/window.h"

namespace fw {

// Each socket gets a hidden message-only window. Every re-creation uses a new
// message number, so that events of an already closed socket that are still
// queued cannot reach the new one, even when Winsock reuses the handle.
namespace {
constexpr UINT kFirstSocketMessage = WM_APP + 0x2000;
constexpr unsigned kSocketMessageCount = 256;
// Posted by the worker when a name look-up is done.
constexpr UINT kHostLookedUpMessage = kFirstSocketMessage - 1;
}  // namespace

struct AsyncSocket::HostLookup {
    explicit HostLookup(std::string h) : host(std::move(h)) {}
    const std::string host;
    std::mutex lock;
    bool done = false;
    std::string address;  // dotted; empty when not found
};

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
        if (msg == kHostLookedUpMessage) {
            owner_.OnHostLookedUp();
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
    in_addr address;
    address.s_addr = inet_addr(host ? host : "");
    if (address.s_addr != INADDR_NONE) return ConnectTo(address, port);
    if (!host || !*host) {
        WSASetLastError(WSAEINVAL);
        return false;
    }
    connectWaitsForLookup_ = true;
    lookupPort_ = port;
    bool running = false;
    if (lookup_ && lookup_->host == host) {
        const std::lock_guard<std::mutex> hold(lookup_->lock);
        running = !lookup_->done;
    }
    if (!running) {
        auto lookup = std::make_shared<HostLookup>(host);
        const HWND sink = sink_->hwnd();
        const bool started = RunDetached([lookup, sink] {
            std::string found = ResolveIPv4(lookup->host);
            {
                const std::lock_guard<std::mutex> hold(lookup->lock);
                lookup->address = std::move(found);
                lookup->done = true;
            }
            PostMessageA(sink, kHostLookedUpMessage, 0, 0);
        });
        if (!started) {
            connectWaitsForLookup_ = false;
            WSASetLastError(WSAENOBUFS);
            return false;
        }
        lookup_ = std::move(lookup);
    }
    WSASetLastError(WSAEWOULDBLOCK);
    return false;
}

bool AsyncSocket::ConnectTo(in_addr address, unsigned port) {
    sockaddr_in peer = {};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<u_short>(port));
    peer.sin_addr = address;
    return connect(socket_, reinterpret_cast<sockaddr*>(&peer), sizeof peer) != SOCKET_ERROR;
}

void AsyncSocket::OnHostLookedUp() {
    if (!connectWaitsForLookup_ || !lookup_) return;
    std::string address;
    {
        const std::lock_guard<std::mutex> hold(lookup_->lock);
        if (!lookup_->done) return;  // an earlier look-up's message
        address = lookup_->address;
    }
    connectWaitsForLookup_ = false;
    if (address.empty()) {
        OnConnect(WSAHOST_NOT_FOUND);
        return;
    }
    in_addr a;
    a.s_addr = inet_addr(address.c_str());
    if (ConnectTo(a, lookupPort_)) return;  // FD_CONNECT follows
    const int error = WSAGetLastError();
    if (error != WSAEWOULDBLOCK) OnConnect(error);
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

std::string AsyncSocket::PeerAddress() const {
    sockaddr_in peer = {};
    int length = sizeof peer;
    if (socket_ == INVALID_SOCKET ||
        getpeername(socket_, reinterpret_cast<sockaddr*>(&peer), &length) == SOCKET_ERROR) {
        return std::string();
    }
    return inet_ntoa(peer.sin_addr);
}

bool AsyncSocket::ShutDown(int how) { return shutdown(socket_, how) != SOCKET_ERROR; }

void AsyncSocket::Close() {
    connectWaitsForLookup_ = false;
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
