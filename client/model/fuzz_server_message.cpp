// Feeds arbitrary bytes to the framer in arbitrary chunk sizes and splits every
// dispatched message into fields: nothing may read or write outside a buffer.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "client/model/server_message.h"

namespace {

struct SplittingHandler : tovan::ServerMessageHandler {
    std::size_t fields = 0;
    void Take(const char* msg) { fields += tovan::SplitFields(msg).size(); }
    void OnNewRecord(const char* m) override { Take(m); }
    void OnErr(const char* m) override { Take(m); }
    void OnOk(const char* m) override { Take(m); }
    void OnChengjiao(const char* m) override { Take(m); }
    void OnDeleteMsg(const char* m) override { Take(m); }
    void OnSendNotify(const char* m) override { Take(m); }
    void OnRecordCount(const char* m) override { Take(m); }
    void OnSingleRecord(const char* m) override { Take(m); }
    void OnSousuoCount(const char* m) override { Take(m); }
    void OnSousuoRecord(const char* m) override { Take(m); }
    void OnGuanzhuCount(const char* m) override { Take(m); }
    void OnGuanzhuRecord(const char* m) override { Take(m); }
    void OnMyRecordCount(const char* m) override { Take(m); }
    void OnMyMsgRecord(const char* m) override { Take(m); }
    void OnAddChater(const char* m) override { Take(m); }
    void OnBddChater(const char* m) override { Take(m); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static tovan::ServerMessageFramer framer;  // kept across inputs, like the real socket
    SplittingHandler handler;
    std::size_t i = 0;
    while (i < size) {
        // The first byte of each step picks its chunk length (1..1024 bytes).
        std::size_t len = 1 + (static_cast<std::size_t>(data[i]) * 7) % tovan::kReceiveChunk;
        ++i;
        if (len > size - i) len = size - i;
        char chunk[tovan::kReceiveChunk + 1] = {};
        std::memcpy(chunk, data + i, len);
        framer.Feed(chunk, len, handler);
        i += len;
    }
    return 0;
}
