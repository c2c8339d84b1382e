// Asynchronous TCP/UDP socket whose readiness arrives as window messages
// (WSAAsyncSelect) on the thread that created it. Derived classes override
// the On... notifications; every notification gets the Winsock error code of
// the event (0 when none).
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <memory>
#include <string>

namespace fw {

constexpr long kAllSocketEvents = FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE;

class AsyncSocket {
public:
    AsyncSocket();
    virtual ~AsyncSocket();
    AsyncSocket(const AsyncSocket&) = delete;
    AsyncSocket& operator=(const AsyncSocket&) = delete;

    // Makes a non-blocking socket reporting `events`, bound to port (0: any)
    // on address (null: any). False on failure; LastError() tells why.
    bool Create(unsigned port = 0, int type = SOCK_STREAM, long events = kAllSocketEvents,
                const char* address = nullptr);

    // Starts connecting to a dotted address or a host name. A false result
    // with WSAEWOULDBLOCK is the normal case: OnConnect brings the outcome
    // (WSAHOST_NOT_FOUND when the name is not found). A name is looked up on
    // a worker thread, never on this one; connecting again to the same name
    // while it is looked up waits for that look-up instead of starting another.
    bool Connect(const char* host, unsigned port);

    // One send / receive call; SOCKET_ERROR (-1) on failure.
    int Send(const void* data, int length, int flags = 0);
    int Receive(void* buffer, int length, int flags = 0);
    // Received bytes not yet taken by Receive (0 on any failure).
    unsigned long BytesWaiting() const;

    bool ShutDown(int how = SD_SEND);
    // The connected peer's address, dotted; empty when not connected.
    std::string PeerAddress() const;

    // Closes without any notification; closing no socket does nothing.
    // Notifications of the closed socket still queued are dropped, and so is
    // the connect that waited for a name look-up.
    void Close();

    SOCKET handle() const { return socket_; }
    static int LastError() { return WSAGetLastError(); }

protected:
    virtual void OnReceive(int error) {}
    virtual void OnSend(int error) {}
    virtual void OnOutOfBandData(int error) {}
    virtual void OnAccept(int error) {}
    virtual void OnConnect(int error) {}
    virtual void OnClose(int error) {}

private:
    friend class SocketSink;
    struct HostLookup;  // shared with the worker that looks the name up
    void Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    bool ConnectTo(in_addr address, unsigned port);
    void OnHostLookedUp();

    SOCKET socket_ = INVALID_SOCKET;
    UINT message_ = 0;      // the message this socket's events arrive as
    unsigned generation_ = 0;
    class SocketSink* sink_ = nullptr;
    std::shared_ptr<HostLookup> lookup_;  // the last name look-up
    bool connectWaitsForLookup_ = false;
    unsigned lookupPort_ = 0;  // where that connect goes
};

}  // namespace fw
