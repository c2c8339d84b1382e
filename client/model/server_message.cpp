#include "client/model/server_message.h"

#include <cstring>

#include "text/split.h"

namespace tovan {
namespace {

struct CommandWord {
    std::string_view word;
    ServerMessageSlot slot;
};

// Order matters only for documentation: no word is a prefix of another.
constexpr CommandWord kCommands[] = {
    {"!NEWRECORD!", &ServerMessageHandler::OnNewRecord},
    {"!ERR!", &ServerMessageHandler::OnErr},
    {"!OK!", &ServerMessageHandler::OnOk},
    {"!CHENGJIAO!", &ServerMessageHandler::OnChengjiao},
    {"!DELETEMSG!", &ServerMessageHandler::OnDeleteMsg},
    {"!SENDNOTIFY!", &ServerMessageHandler::OnSendNotify},
    {"!RECORDCOUNT!", &ServerMessageHandler::OnRecordCount},
    {"!SINGLERECORD!", &ServerMessageHandler::OnSingleRecord},
    {"!SOUSUOCOUNT!", &ServerMessageHandler::OnSousuoCount},
    {"!SOUSUORECORD!", &ServerMessageHandler::OnSousuoRecord},
    {"!GUANZHUCOUNT!", &ServerMessageHandler::OnGuanzhuCount},
    {"!GUANZHURECORD!", &ServerMessageHandler::OnGuanzhuRecord},
    {"!MYRECORDCOUNT!", &ServerMessageHandler::OnMyRecordCount},
    {"!MYMSGRECORD!", &ServerMessageHandler::OnMyMsgRecord},
    {"!ADDCHATER!", &ServerMessageHandler::OnAddChater},
    {"!BDDCHATER!", &ServerMessageHandler::OnBddChater},
};

}  // namespace

bool DispatchServerMessage(const char* msg, ServerMessageSink& handler) {
    if (msg[0] != '!') return false;  // every command word starts with "!"
    for (const CommandWord& c : kCommands) {
        if (std::strncmp(msg, c.word.data(), c.word.size()) == 0) {
            handler.Deliver(c.slot, msg);
            return true;
        }
    }
    return false;
}

const std::vector<std::string_view>& ServerCommandWords() {
    static const std::vector<std::string_view> words = [] {
        std::vector<std::string_view> w;
        for (const CommandWord& c : kCommands) w.push_back(c.word);
        return w;
    }();
    return words;
}

std::vector<std::string> SplitFields(std::string_view msg) { return SplitSkippingEmpty(msg, '|'); }

void ServerMessageFramer::Feed(const char* chunk, std::size_t received,
                               ServerMessageSink& handler) {
    if (chunk == nullptr || received == 0) return;
    if (received > kReceiveChunk) received = kReceiveChunk;

    // Overflow: the held, incomplete message is lost without notice.
    if ((end_ - begin_) + received > kMaxMessage) Clear();

    // Every byte is kept, NUL included: a NUL must not hide the "^" after it
    // and glue two messages. A NUL only ends the text its message hands on.
    const std::size_t n = received;
    if (end_ + n > kMaxMessage) {  // make room: move the held text to the front
        std::memmove(buf_, buf_ + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    std::memcpy(buf_ + end_, chunk, n);
    end_ += n;

    char message[kAccumulatorSize];
    for (;;) {
        const char* start = buf_ + begin_;
        const void* caret = std::memchr(start, '^', end_ - begin_);
        if (caret == nullptr) break;
        std::size_t len = static_cast<std::size_t>(static_cast<const char*>(caret) - start);
        const std::size_t take = len < kMaxMessage ? len : kMaxMessage;
        std::memcpy(message, start, take);
        message[take] = '\0';
        begin_ += len + 1;
        if (begin_ == end_) begin_ = end_ = 0;
        DispatchServerMessage(message, handler);
    }
}

}  // namespace tovan
