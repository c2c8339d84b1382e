#include "client/windows/logic/chat_conversation.h"

#include "client/model/outgoing_messages.h"
#include "control/logic/peer_datagram.h"
#include "text/replace.h"

namespace tovan {

const char kVoiceIdleCaption[] = "语音交谈";
const char kVoiceRunningCaption[] = "关闭语音";
const char kTranscriptFailedLine[] = "聊天记录无法保存到文件,请检查程序所在的文件夹能否写入。\r\n";
const char kNoSoundDeviceLine[] = "本机没有可用的音频设备(麦克风或扬声器),语音交谈听不到声音。\r\n";

namespace {

constexpr char kNameRequest[] = "!ANAME!";
constexpr char kNameAnswer[] = "!BNAME!";
// "!ANAME!~" and "!BNAME!~" come before the name.
constexpr std::size_t kNamePrefixLength = 8;

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string Trimmed(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// The user's name in "!ANAME!~" or "!BNAME!~": the peer takes the message
// up to its first "|".
std::string NameMessage(const char* word, const std::string& contactName) {
    return std::string(word) + "~" + ReplaceFieldSeparators(contactName);
}

}  // namespace

std::string TooLongChatTextMessage() {
    return "信息太长,每条信息最多" + std::to_string(kMaxShortMessage) + "个字节(" +
           std::to_string(kMaxShortMessage / 2) + "个汉字),请分几次发送";
}

std::string ChatTextLine(const std::string& name, const std::string& text, const std::string& time) {
    return "[" + name + "]" + text + " (" + time + ")\r\n";
}

ChatConversation::ChatConversation(ChatControl& control, ChatSurface& surface, Outbox& outbox,
                                   const ChatFrameValues& frame, int& voiceBusy)
    : control_(control), surface_(surface), outbox_(outbox), frame_(frame), voiceBusy_(voiceBusy),
      voiceButton_(kVoiceIdleCaption) {}

void ChatConversation::Line(const std::string& text, std::uint32_t colour) {
    surface_.AddLine(text, colour);
}

void ChatConversation::NamedLine(const char* pattern) {
    const std::string p(pattern);
    const std::size_t at = p.find("%s");
    Line(at == std::string::npos ? p : p.substr(0, at) + peer.peerName + p.substr(at + 2));
}

void ChatConversation::Transcript(const std::string& line, std::uint32_t colour) {
    if (surface_.AppendTranscript(line, colour) || transcriptFailureSaid_) return;
    transcriptFailureSaid_ = true;
    Line(kTranscriptFailedLine);
}

void ChatConversation::StopRing() {
    surface_.StopSound();
    surface_.KillTimer(kRingTimer);
}

void ChatConversation::SetVoiceButton(const std::string& text) {
    voiceButton_ = text;
    surface_.SetVoiceButtonText(text);
}

void ChatConversation::ClearVoiceFlags() {
    if (voiceOn) {
        voiceBusy_ = 0;
        voiceOn = 0;
    }
}

// The peer ended or refused a conversation or request.
void ChatConversation::VoiceEnded(const char* pattern) {
    StopRing();
    NamedLine(pattern);
    control_.StopVoice();
    SetVoiceButton(kVoiceIdleCaption);
}

void ChatConversation::StartVoice() {
    if (!noSoundDeviceSaid_ && !surface_.HasSoundDevices()) {
        noSoundDeviceSaid_ = true;
        Line(kNoSoundDeviceLine);
    }
    control_.StartVoice();
}

void ChatConversation::Start() {
    control_.Bind(0);
    control_.QueryForeignAddress(frame_.ServerHost());
    surface_.SetTimer(kPeerWaitTimer, kPeerWaitMs);
    if (!peer.initiatedLocally) surface_.Play(kSoundPeer, false);
}

void ChatConversation::SendAddChater() {
    outbox_.Send(AddChaterMessage(peer.peerUserId, peer.ownPublicAddress, peer.ownPublicPort,
                                 peer.ownLocalAddress, peer.ownLocalPort));
}

void ChatConversation::AddPeerAddresses() {
    if (peer.connected) return;
    AddBothAddresses(peer.peerPublicAddress, peer.peerPublicPort, peer.peerLocalAddress,
                     peer.peerLocalPort,
                     [&](const std::string& ip, int port) { control_.AddChater(ip, port); });
}

void ChatConversation::OnNotifyAddress(const std::string& ip, long port) {
    peer.ownPublicAddress = ip;
    peer.ownPublicPort = static_cast<int>(port);
    peer.ownLocalAddress = control_.LocalAddress();
    peer.ownLocalPort = static_cast<int>(control_.LocalPort());
    if (peer.initiatedLocally) {
        SendAddChater();
        return;
    }
    AddBothAddresses(peer.peerPublicAddress, peer.peerPublicPort, peer.peerLocalAddress,
                     peer.peerLocalPort,
                     [&](const std::string& a, int p) { control_.AddChater(a, p); });
    outbox_.Send(BddChaterMessage(peer.peerUserId, peer.ownPublicAddress, peer.ownPublicPort,
                                 peer.ownLocalAddress, peer.ownLocalPort));
}

void ChatConversation::OnPeerAdd(const std::string& ip, long port) {
    if (peer.connected) return;
    peer.connected = 1;
    control_.RemoveAllChaters();
    control_.AcceptChater(ip, port);
    surface_.KillTimer(kPeerWaitTimer);
}

void ChatConversation::OnPeerAccept(const std::string& ip, long port) {
    if (peer.connected) return;
    peer.connected = 1;
    surface_.KillTimer(kPeerWaitTimer);
    control_.SendShortMessage(ip, port, NameMessage(kNameRequest, frame_.ContactName()));
}

void ChatConversation::OnPeerClose() {
    surface_.KillTimer(kPeerWaitTimer);
    StopRing();
    surface_.Play(kSoundPeer, false);
    NamedLine("[%s]终止了与您的交谈。\r\n");
    ClearVoiceFlags();
    peer.connected = 0;
}

void ChatConversation::NameExchange(const std::string& ip, long port, const std::string& msg,
                                    bool answer) {
    if (msg.size() > kNamePrefixLength) peer.peerName = msg.substr(kNamePrefixLength);
    if (answer) control_.SendShortMessage(ip, port, NameMessage(kNameAnswer, frame_.ContactName()));
    surface_.SetTitle("与 " + peer.peerName + " 交谈中");
    surface_.EnableInput();
    if (!answer) peer.connected = 1;
    NamedLine("[%s]与您热烈交谈中\r\n");
    if (!pendingText.empty()) {
        control_.SendShortMessage("", 0, pendingText);
        pendingText.clear();
    }
}

void ChatConversation::OnNewMessage(const std::string& ip, long port, const std::string& msg) {
    if (msg == "!VOICE!") {
        if (voiceBusy_) {
            control_.SendShortMessage("", 0, "!BUSYVOICE!");
            NamedLine("[%s]试图与您语音交谈失败\r\n");
            control_.StopVoice();
            SetVoiceButton(kVoiceIdleCaption);
            return;
        }
        surface_.Play(kSoundRing, true);
        surface_.SetTimer(kRingTimer, kRingMs);
        surface_.AddVoiceQuestion(peer.peerName);
        voiceRequestPending = 1;
    } else if (msg == "!BUSYVOICE!") {
        VoiceEnded("[%s]正忙，请稍后再试\r\n");
    } else if (msg == "!ACCEPTVOICE!") {
        StopRing();
        NamedLine("与[%s]语音交谈中\r\n");
        StartVoice();
    } else if (msg == "!REJECTVOICE!") {
        VoiceEnded("[%s]拒绝与您语音交谈\r\n");
    } else if (msg == "!ERRVOICE!") {
        VoiceEnded("[%s]目前无法与您语音交谈,请稍后再试\r\n");
    } else if (msg == "!STOPVOICE!") {
        VoiceEnded("[%s]已中止语音交谈\r\n");
    } else if (msg.compare(0, 7, kNameRequest) == 0) {
        NameExchange(ip, port, msg, true);
    } else if (msg.compare(0, 7, kNameAnswer) == 0) {
        NameExchange(ip, port, msg, false);
    } else {
        surface_.Play(kSoundText, false);
        const std::string line = ChatTextLine(peer.peerName, msg, surface_.Now());
        Line(line, kPeerTextColour);
        Transcript(line, kPeerTextColour);
    }
}

void ChatConversation::OnBindError() {
    surface_.ShowError("由于网络错误,窗口即将关闭");
    peer.connected = 0;
    peer.closeRequested = 1;
}

void ChatConversation::OnVoiceError() {
    SetVoiceButton(kVoiceIdleCaption);
    Line("您目前无法进行语音交谈,可能您与其他用户正在语音交谈中或音频设备错误\r\n");
    control_.SendShortMessage("", 0, "!ERRVOICE!");
    StopRing();
}

void ChatConversation::OnVoiceStart() {
    voiceBusy_ = 1;
    voiceOn = 1;
}

void ChatConversation::OnVoiceStop() {
    voiceBusy_ = 0;
    voiceOn = 0;
}

bool ChatConversation::SendText(const std::string& typed) {
    // Settled before anything is shown: the own view and transcript show
    // what the peer receives, which the peer's control would otherwise cut
    // at a "|" or at the end of one datagram.
    const std::string text = ReplaceFieldSeparators(Trimmed(typed));
    if (text.empty()) {
        surface_.ShowError("不能发送空信息");
        return false;
    }
    if (text.size() > kMaxShortMessage) {
        surface_.ShowError(TooLongChatTextMessage());
        return false;
    }
    const std::string line = ChatTextLine(frame_.ContactName(), text, surface_.Now());
    Line(line, kOwnTextColour);
    control_.SendShortMessage("", 0, text);
    Transcript(line, kOwnTextColour);
    if (!peer.connected) {
        // Kept for the next name exchange; the request goes out again.
        pendingText = text;
        peer.peerName = peer.peerUserId;
        SendAddChater();
    }
    return true;
}

void ChatConversation::OnVoiceButton() {
    if (voiceButton_ != kVoiceIdleCaption) {
        control_.StopVoice();
        control_.SendShortMessage("", 0, "!STOPVOICE!");
        NamedLine("已停止与[%s]的语音交谈\r\n");
        SetVoiceButton(kVoiceIdleCaption);
        StopRing();
    } else if (voiceBusy_) {
        Line("您不能同时与多人语音交谈\r\n");
    } else {
        control_.SendShortMessage("", 0, "!VOICE!");
        NamedLine("与[%s]语音交谈的请求已发送,请等待回应\r\n");
        SetVoiceButton(kVoiceRunningCaption);
        surface_.Play(kSoundRing, true);
        surface_.SetTimer(kRingTimer, kRingMs);
    }
}

bool ChatConversation::AnswerVoiceRequest(bool accept) {
    if (!voiceRequestPending) return false;
    if (accept) {
        SetVoiceButton(kVoiceRunningCaption);
        control_.SendShortMessage("", 0, "!ACCEPTVOICE!");
        StartVoice();
    } else {
        control_.SendShortMessage("", 0, "!REJECTVOICE!");
    }
    voiceRequestPending = 0;
    StopRing();
    return true;
}

void ChatConversation::OnTimer(unsigned id) {
    if (id == kPeerWaitTimer) {
        surface_.KillTimer(kPeerWaitTimer);
        Line(peer.initiatedLocally ? "对方不在线。\r\n" : "对方无响应。\r\n");
        ClearVoiceFlags();
        peer.connected = 0;
    } else if (id == kRingTimer) {
        StopRing();
    }
}

void ChatConversation::Close() {
    StopRing();
    ClearVoiceFlags();
    peer.connected = 0;
    peer.closeRequested = 1;
}

}  // namespace tovan
