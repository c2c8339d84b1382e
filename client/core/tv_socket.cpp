#include "client/core/tv_socket.h"

#include "client/core/startup_trace.h"

void CTvSocket::OnReceive(int /*error*/) {
    char chunk[tovan::kReceiveChunk + 1] = {};  // always NUL-terminated
    const int n = Receive(chunk, static_cast<int>(tovan::kReceiveChunk));
    if (n == SOCKET_ERROR) return;  // a closed connection comes as OnClose
    if (n == 0 || handler_ == nullptr) return;
    TraceStartupStep("received");
    if (batch_) batch_->BeginReceived();
    framer_.Feed(chunk, static_cast<std::size_t>(n), *handler_);
    if (batch_) batch_->EndReceived(BytesWaiting() > 0);
    TraceStartupStep("handled");
}

bool CTvSocket::CreateForNewConnection() {
    framer_.Clear();
    unsentRest_.Clear();
    return Create(0, SOCK_STREAM, fw::kAllSocketEvents);
}

tovan::SendBacklog::SendCall CTvSocket::SendCall() {
    return [this](const char* data, int length) { return Send(data, length); };
}

int CTvSocket::SendWhole(std::string_view text) { return unsentRest_.Send(text, SendCall()); }

void CTvSocket::OnSend(int /*error*/) { unsentRest_.Flush(SendCall()); }

void CTvSocket::OnConnect(int error) {
    TraceStartupStep("connected");
    if (session_) session_->OnConnect(error);
}

void CTvSocket::OnClose(int error) {
    if (batch_) batch_->EndReceived(false);
    if (session_) session_->OnClose(error);
}

int TvSessionSocket::Create() {
    return socket_.CreateForNewConnection() ? 0 : fw::AsyncSocket::LastError();
}

int TvSessionSocket::Connect(const std::string& host, int port) {
    if (socket_.Connect(host.c_str(), static_cast<unsigned>(port))) return 0;
    const int error = fw::AsyncSocket::LastError();
    return error == WSAEWOULDBLOCK ? 0 : error;
}

int TvSessionSocket::Send(std::string_view text) {
    return socket_.SendWhole(text);
}
