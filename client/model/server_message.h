// Server message form: "!WORD!|field|field^", GBK bytes, no length, no escape.
// Framing of the received byte stream, the dispatch of the 16 server command
// words, and the field splitting every handler uses.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tovan {

// Limits of the session socket's receive path.
constexpr std::size_t kReceiveChunk = 1024;      // bytes taken by one receive call
constexpr std::size_t kAccumulatorSize = 6500;   // the accumulator buffer
constexpr std::size_t kMaxMessage = 6480;        // longest message / accumulated text

class ServerMessageHandler;
using ServerMessageSlot = void (ServerMessageHandler::*)(const char* msg);

// Where the framer hands each message: one handler, or a group of them.
class ServerMessageSink {
public:
    virtual ~ServerMessageSink() = default;
    // Runs the slot the message's command word names.
    virtual void Deliver(ServerMessageSlot slot, const char* msg) = 0;
};

// One operation per server command word. Each gets the whole message text
// (command word included, terminator excluded), NUL-terminated, valid only for
// the call. The defaults do nothing, so a handler overrides what it serves.
// A new server message needs its word in the table (server_message.cpp), its
// slot here, and the override in the handler that serves it.
class ServerMessageHandler : public ServerMessageSink {
public:
    void Deliver(ServerMessageSlot slot, const char* msg) override { (this->*slot)(msg); }

    virtual void OnNewRecord(const char* msg) {}
    virtual void OnErr(const char* msg) {}
    virtual void OnOk(const char* msg) {}
    virtual void OnChengjiao(const char* msg) {}
    virtual void OnDeleteMsg(const char* msg) {}
    virtual void OnSendNotify(const char* msg) {}
    virtual void OnRecordCount(const char* msg) {}
    virtual void OnSingleRecord(const char* msg) {}
    virtual void OnSousuoCount(const char* msg) {}
    virtual void OnSousuoRecord(const char* msg) {}
    virtual void OnGuanzhuCount(const char* msg) {}
    virtual void OnGuanzhuRecord(const char* msg) {}
    virtual void OnMyRecordCount(const char* msg) {}
    virtual void OnMyMsgRecord(const char* msg) {}
    virtual void OnAddChater(const char* msg) {}
    virtual void OnBddChater(const char* msg) {}
};

// The handlers behind one socket, each overriding only the slots it serves:
// every message reaches its slot in each of them, in the order given. The
// group has no slots of its own, so nothing can call one that does nothing.
class ServerMessageHandlers : public ServerMessageSink {
public:
    ServerMessageHandlers(std::initializer_list<ServerMessageHandler*> members) : members_(members) {}
    void Deliver(ServerMessageSlot slot, const char* msg) override {
        for (ServerMessageHandler* h : members_) h->Deliver(slot, msg);
    }

private:
    std::vector<ServerMessageHandler*> members_;
};

// Hands msg to the handler of the first command word it starts with, in the
// fixed order of the catalogue. Returns false (and drops it) when none fits.
bool DispatchServerMessage(const char* msg, ServerMessageSink& handler);

// The command words in dispatch order (for tests and tools).
const std::vector<std::string_view>& ServerCommandWords();

// Splits at "|" like the C tokenizer: consecutive separators count as one and
// empty fields vanish. Field 0 is the command word itself.
std::vector<std::string> SplitFields(std::string_view msg);

// The receive accumulator of the session socket. Feed() takes what one receive
// call returned and dispatches every message completed by it, in order.
//
// Rules kept from the wire contract:
//  - when held text + received bytes exceed 6480, the held text is dropped first;
//  - a message is the text before "^", cut to 6480 bytes;
//  - a NUL byte ends the text of the message it stands in, nothing more: the
//    "^" after it still ends that message;
//  - a new connection starts empty (Clear): a fragment left by a dropped
//    connection must not swallow the first reply of the next one.
// Handlers may re-enter Feed() (a modal dialog pumps socket messages): the
// accumulator is consistent before every dispatch.
class ServerMessageFramer {
public:
    void Feed(const char* chunk, std::size_t received, ServerMessageSink& handler);

    // The text held, not yet ended by "^".
    std::string_view Pending() const { return {buf_ + begin_, end_ - begin_}; }
    void Clear() { begin_ = end_ = 0; }

private:
    char buf_[kAccumulatorSize] = {};
    std::size_t begin_ = 0;  // held text is buf_[begin_, end_)
    std::size_t end_ = 0;
};

}  // namespace tovan
