// The session socket: the one TCP connection to the exchange server. It frames
// the received bytes into server messages and hands them on; connect and
// close go to the session.
#pragma once

#include "async_socket.h"
#include "send_backlog.h"
#include "server_message.h"
#include "session.h"

class CTvSocket : public fw::AsyncSocket {
public:
    // Both must outlive the socket; set before the first connect.
    void Attach(tovan::Session* session, tovan::ServerMessageHandler* handler) {
        session_ = session;
        handler_ = handler;
    }
    const tovan::ServerMessageFramer& framer() const { return framer_; }

    // Creates the socket for a new connection, which starts with nothing
    // left of the old one: no half-received message, no unsent rest.
    bool CreateForNewConnection();
    // Sends a whole message: what one send call does not take is kept and
    // goes out, before anything sent later, when the socket can write again.
    // The message's length when it was taken or kept, -1 when none of it was.
    int SendWhole(std::string_view text);

protected:
    void OnReceive(int error) override;
    void OnSend(int error) override;
    void OnConnect(int error) override;
    void OnClose(int error) override;

private:
    tovan::SendBacklog::SendCall SendCall();

    tovan::Session* session_ = nullptr;
    tovan::ServerMessageHandler* handler_ = nullptr;
    tovan::ServerMessageFramer framer_;
    tovan::SendBacklog unsentRest_;
};

// The session's view of CTvSocket.
class TvSessionSocket : public tovan::SessionSocket {
public:
    explicit TvSessionSocket(CTvSocket& socket) : socket_(socket) {}
    void Close() override { socket_.Close(); }
    int Create() override;
    int Connect(const std::string& host, int port) override;
    int Send(std::string_view text) override;
    void ShutdownSend() override { socket_.ShutDown(SD_SEND); }

private:
    CTvSocket& socket_;
};
