// The session socket: the one TCP connection to the exchange server. It frames
// the received bytes into server messages and hands them on; connect and
// close go to the session.
#pragma once

#include "fw/async_socket.h"
#include "client/model/send_backlog.h"
#include "client/model/server_message.h"
#include "client/model/session.h"

// Told around the dispatch of each receive call's messages, so that the
// windows can bring themselves up to date once for many messages.
class ReceiveBatch {
public:
    virtual ~ReceiveBatch() = default;
    virtual void BeginReceived() = 0;
    // moreWaiting: the socket already holds more bytes, so another receive
    // follows at once. A closed connection ends with false.
    virtual void EndReceived(bool moreWaiting) = 0;
};

class CTvSocket : public fw::AsyncSocket {
public:
    // Both must outlive the socket; set before the first connect.
    void Attach(tovan::Session* session, tovan::ServerMessageSink* handler) {
        session_ = session;
        handler_ = handler;
    }
    void SetReceiveBatch(ReceiveBatch* batch) { batch_ = batch; }
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
    tovan::ServerMessageSink* handler_ = nullptr;
    ReceiveBatch* batch_ = nullptr;
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
