// Arbitrary bytes as what the network hands the chat: relayed lines to the
// frame's chat list, peer texts to a chat window, and peer ids as transcript
// names. Nothing may crash, a relay line must stay within its limit and end
// in "^", and a transcript name part must never hold a path separator.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "client/windows/logic/chat_conversation.h"
#include "client/model/chat_relay.h"
#include "client/model/outgoing_messages.h"
#include "client/windows/logic/chat_transcript.h"

namespace {

struct Quiet : tovan::ChatControl, tovan::ChatSurface, tovan::ChatListPorts, tovan::Outbox {
    void Bind(long) override {}
    void AddChater(const std::string&, long) override {}
    void AcceptChater(const std::string&, long) override {}
    void QueryForeignAddress(const std::string&) override {}
    void SendShortMessage(const std::string&, long, const std::string&) override {}
    void StartVoice() override {}
    void StopVoice() override {}
    std::string LocalAddress() override { return "10.0.0.1"; }
    long LocalPort() override { return 1; }
    void RemoveAllChaters() override {}
    void AddLine(const std::string&, std::uint32_t) override {}
    void AddVoiceQuestion(const std::string&) override {}
    void SetTitle(const std::string&) override {}
    void EnableInput() override {}
    void SetVoiceButtonText(const std::string&) override {}
    void Play(int, bool) override {}
    void StopSound() override {}
    bool HasSoundDevices() override { return true; }
    void SetTimer(unsigned, unsigned) override {}
    void KillTimer(unsigned) override {}
    bool AppendTranscript(const std::string&, std::uint32_t) override { return true; }
    void ShowError(const std::string&) override {}
    std::string Now() override { return "26-12-08 10:00:00"; }
    void Send(const std::string& line) override {
        if (line.size() > tovan::kRelayLineLimit + 1 || line.back() != '^') std::abort();
    }
    void DropQueuedListRequests() override {}
    std::unique_ptr<tovan::ChatWindowLink> CreateChatWindow(const tovan::ChatPeer& peer) override;
    std::string OwnUserId() override { return "me"; }
};

struct Window : tovan::ChatWindowLink {
    Window(Quiet& q, const tovan::ChatPeer& peer) : busy(0), chat(q, q, q, values, busy) { chat.peer = peer; }
    tovan::ChatPeer& Peer() override { return chat.peer; }
    void SendAddChater() override { chat.SendAddChater(); }
    void AddPeerAddresses() override { chat.AddPeerAddresses(); }
    void AddChater(const std::string&, int) override {}
    tovan::FixedChatValues values;
    int busy;
    tovan::ChatConversation chat;
};

std::unique_ptr<tovan::ChatWindowLink> Quiet::CreateChatWindow(const tovan::ChatPeer& peer) {
    return std::make_unique<Window>(*this, peer);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Quiet q;
    tovan::ChatList list(q, q);
    list.OnAddChater(("!ADDCHATER!|" + text).c_str());
    list.OnBddChater(("!BDDCHATER!|" + text).c_str());
    for (std::size_t i = 0; i < list.size(); ++i) {
        auto& w = static_cast<Window&>(list.at(i));
        w.chat.OnNotifyAddress(text, 7);
        w.chat.OnNewMessage("1.2.3.4", 5, text);
        w.chat.SendText(text);
        w.chat.Close();
    }
    list.SweepClosedChats();

    const std::string part = tovan::TranscriptIdPart(text);
    for (std::size_t i = 0; i < part.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(part[i]);
        if (c >= 0x81 && c <= 0xFE) {
            ++i;  // a whole double-byte character
            continue;
        }
        if (c == '\\' || c == '/' || c == ':' || c < 0x20) std::abort();
    }
    return 0;
}
