// The chat window's rules, apart from its window: the start (bind, address
// query, the 10-s wait), the address notification and the relay lines, the
// handshake events of the control, the peer texts (names, voice signalling
// words, plain text), sending typed text, the voice button and the answer to
// a voice request, the timers and the close. The window (CChat) feeds events
// in and provides the control, its views and the frame through the ports.
#pragma once

#include <cstdint>
#include <string>

#include "client/model/chat_relay.h"

namespace tovan {

// Chat window timers.
constexpr unsigned kPeerWaitTimer = 1;  // the peer did not answer
constexpr unsigned kPeerWaitMs = 10000;
constexpr unsigned kRingTimer = 6;      // the ring of a voice request stops
constexpr unsigned kRingMs = 40000;

// Line colours (COLORREF 0x00BBGGRR).
constexpr std::uint32_t kSystemLineColour = 0x0000FF;  // red
constexpr std::uint32_t kPeerTextColour = 0xFF0000;    // blue
constexpr std::uint32_t kOwnTextColour = 0x000000;     // black

// Sounds of the client (WAVE resources).
constexpr int kSoundText = 164;      // a chat text arrived
constexpr int kSoundPeer = 167;      // a peer opened or closed a chat
constexpr int kSoundRing = 177;      // voice request, looped

// The voice button's caption while no conversation or request runs.
extern const char kVoiceIdleCaption[];
extern const char kVoiceRunningCaption[];

// The chat control, called by dispatch id.
class ChatControl {
public:
    virtual ~ChatControl() = default;
    virtual void Bind(long port) = 0;
    virtual void AddChater(const std::string& ip, long port) = 0;
    virtual void AcceptChater(const std::string& ip, long port) = 0;
    virtual void QueryForeignAddress(const std::string& server) = 0;
    virtual void SendShortMessage(const std::string& ip, long port, const std::string& msg) = 0;
    virtual void StartVoice() = 0;
    virtual void StopVoice() = 0;
    virtual std::string LocalAddress() = 0;
    virtual long LocalPort() = 0;
    virtual void RemoveAllChaters() = 0;
};

// The window around the rules: its views, sounds, timers and transcript.
class ChatSurface {
public:
    virtual ~ChatSurface() = default;
    // A line at the end of the conversation view, scrolled into sight.
    virtual void AddLine(const std::string& text, std::uint32_t colour) = 0;
    // The red question of a voice request with its two links "接受" and "拒绝".
    virtual void AddVoiceQuestion(const std::string& peerName) = 0;
    virtual void SetTitle(const std::string& title) = 0;
    // Edit 1019 and buttons 1040 and 1026.
    virtual void EnableInput() = 0;
    virtual void SetVoiceButtonText(const std::string& text) = 0;
    virtual void Play(int id, bool loop) = 0;
    // Ends a sound this window started; another window's plays on.
    virtual void StopSound() = 0;
    // A capture and a playback device are present.
    virtual bool HasSoundDevices() = 0;
    virtual void SetTimer(unsigned id, unsigned ms) = 0;
    virtual void KillTimer(unsigned id) = 0;
    // The line in today's transcript, in its colour; false when the file
    // could not be written.
    virtual bool AppendTranscript(const std::string& line, std::uint32_t colour) = 0;
    // A message box with the caption "错误".
    virtual void ShowError(const std::string& text) = 0;
    // Local time "%y-%m-%d %H:%M:%S".
    virtual std::string Now() = 0;
};

// What the window reads of the frame, each time it needs it: a logon reply
// after the window opened may have changed them.
class ChatFrameValues {
public:
    virtual ~ChatFrameValues() = default;
    virtual std::string ContactName() const = 0;  // the user's own name in the name exchange
    virtual std::string OwnUserId() const = 0;
    virtual std::string ServerHost() const = 0;   // also the address server
};

// Values that stay as they are set (tests and tools).
struct FixedChatValues : ChatFrameValues {
    std::string contactName, ownUserId, serverHost;
    std::string ContactName() const override { return contactName; }
    std::string OwnUserId() const override { return ownUserId; }
    std::string ServerHost() const override { return serverHost; }
};

class ChatConversation {
public:
    // voiceBusy is the frame's: one voice conversation in the whole client.
    ChatConversation(ChatControl& control, ChatSurface& surface, Outbox& outbox,
                     const ChatFrameValues& frame, int& voiceBusy);

    ChatPeer peer;  // set by the frame before Start
    int voiceOn = 0;
    int voiceRequestPending = 0;
    std::string pendingText;
    const std::string& voiceButtonText() const { return voiceButton_; }

    // Window start: bind, ask for the own address, wait 10 s for the peer.
    void Start();
    void SendAddChater();
    void AddPeerAddresses();

    // Control events.
    void OnNotifyAddress(const std::string& ip, long port);
    void OnPeerAdd(const std::string& ip, long port);
    void OnPeerAccept(const std::string& ip, long port);
    void OnPeerClose();
    void OnNewMessage(const std::string& ip, long port, const std::string& msg);
    void OnBindError();
    void OnVoiceError();
    void OnVoiceStart();
    void OnVoiceStop();

    // Send button or Enter with the edit's text; true when it was sent (the
    // window then empties the edit). "|" becomes a double quote; a text
    // longer than one message of the control carries is refused, kept in
    // the edit, with TooLongChatTextMessage().
    bool SendText(const std::string& typed);
    void OnVoiceButton();
    // A click on a link of the voice question; false when no request waits.
    bool AnswerVoiceRequest(bool accept);
    void OnTimer(unsigned id);
    // Button 2, Esc and the title bar's close alike: the ring stops at once,
    // not with the window later.
    void Close();

private:
    void Line(const std::string& text, std::uint32_t colour = kSystemLineColour);
    void NamedLine(const char* pattern);  // "%s" is peerName
    void StopRing();
    void VoiceEnded(const char* pattern);
    // The control's StartVoice, after saying once when the machine has no
    // sound device to carry the conversation.
    void StartVoice();
    void SetVoiceButton(const std::string& text);
    // The line into the transcript; a file that cannot be written is said
    // once in the conversation (each later line tries again).
    void Transcript(const std::string& line, std::uint32_t colour);
    void ClearVoiceFlags();
    void NameExchange(const std::string& ip, long port, const std::string& msg, bool answer);

    ChatControl& control_;
    ChatSurface& surface_;
    Outbox& outbox_;  // the session: the relay lines
    const ChatFrameValues& frame_;
    int& voiceBusy_;
    std::string voiceButton_;
    bool transcriptFailureSaid_ = false;
    bool noSoundDeviceSaid_ = false;
};

// Said once in a conversation whose transcript file cannot be written.
extern const char kTranscriptFailedLine[];
// Said once in a conversation whose voice starts on a machine without a
// microphone or speaker: the conversation stays silent.
extern const char kNoSoundDeviceLine[];

// The refusal of a text too long for one message, with the limit.
std::string TooLongChatTextMessage();

// "[name]text (time)\r\n", the form of every chat text line.
std::string ChatTextLine(const std::string& name, const std::string& text, const std::string& time);

}  // namespace tovan
