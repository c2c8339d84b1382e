// The one-to-one chat window. It hosts its own chat control (item 1096),
// finds its address through it, exchanges the relay lines through the frame's
// session, and carries names, texts and the voice signalling with its peer.
// Its rules are tovan::ChatConversation; this class is the window around
// them: the views, buttons, sounds, timers, photo pages and the transcript.
//
// The frame creates it (Open), keeps it in its chat list and deletes it in
// the sweep after it asked to be closed; closing never destroys it here.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <string>

#include "client/windows/logic/chat_conversation.h"
#include "client/model/chat_relay.h"
#include "client/controls/dialog_ex.h"
#include "client/windows/dvokar.h"
#include "client/windows/record_dlg.h"
#include "client/controls/send_edit.h"
#include "client/controls/text_labels.h"
#include "client/controls/xp_button.h"

// What a chat window shares with the frame.
struct ChatOwner {
    HWND frame = nullptr;
    tovan::Outbox* outbox = nullptr;            // the session: the relay lines
    const tovan::ChatFrameValues* values = nullptr;
    int* voiceBusy = nullptr;                   // one voice conversation per client
};

class CChat : public CDialogEx, public tovan::ChatWindowLink, private tovan::ChatSurface {
public:
    CChat(const tovan::ChatPeer& peer, const ChatOwner& owner);
    ~CChat() override;

    // Creates the window (hidden) with the frame as owner. False when it
    // could not be made; HostFailure() then tells whether the chat control
    // was the cause. No window remains then.
    bool Open();
    const std::string& recordFileName() const { return recordFileName_; }
    tovan::ChatConversation& conversation() { return conversation_; }

    // tovan::ChatWindowLink
    tovan::ChatPeer& Peer() override { return conversation_.peer; }
    void SendAddChater() override { conversation_.SendAddChater(); }
    void AddPeerAddresses() override { conversation_.AddPeerAddresses(); }
    void AddChater(const std::string& ip, int port) override { vokar_.AddChater(ip, port); }
    void ShowInFront(bool byUser) override;

protected:
    void BindControls() override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override { conversation_.Close(); }
    bool OnCommand(int id, int code, HWND control) override;
    bool PreTranslateMessage(MSG& msg) override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // The control as the conversation calls it.
    struct ControlCalls : tovan::ChatControl {
        explicit ControlCalls(CDVokar& v) : vokar(v) {}
        void Bind(long port) override { vokar.Bind(port); }
        void AddChater(const std::string& ip, long port) override { vokar.AddChater(ip, port); }
        void AcceptChater(const std::string& ip, long port) override { vokar.AcceptChater(ip, port); }
        void QueryForeignAddress(const std::string& s) override { vokar.QueryForeignAddress(s); }
        void SendShortMessage(const std::string& ip, long port, const std::string& m) override {
            vokar.SendShortMessage(ip, port, m);
        }
        void StartVoice() override { vokar.StartVoice(); }
        void StopVoice() override { vokar.StopVoice(); }
        std::string LocalAddress() override { return vokar.LocalAddress(); }
        long LocalPort() override { return vokar.LocalPort(); }
        void RemoveAllChaters() override { vokar.RemoveAllChaters(); }
        CDVokar& vokar;
    };

    // tovan::ChatSurface
    void AddLine(const std::string& text, std::uint32_t colour) override;
    void AddVoiceQuestion(const std::string& peerName) override;
    void SetTitle(const std::string& title) override;
    void EnableInput() override;
    void SetVoiceButtonText(const std::string& text) override;
    void Play(int id, bool loop) override;
    void StopSound() override;
    bool HasSoundDevices() override;
    void SetTimer(unsigned id, unsigned ms) override;
    void KillTimer(unsigned id) override;
    bool AppendTranscript(const std::string& line, std::uint32_t colour) override;
    void ShowError(const std::string& text) override;
    std::string Now() override;

    void SinkEvents();
    void NavigatePhotos();
    void OpenTranscript();
    void SendTyped();
    void AnswerVoiceLink(const ENLINK& link);
    void ShowHistory();
    void OpenUploadPage();
#ifdef TOVAN_TEST_HOOKS
    LRESULT AnswerTestQuery(const COPYDATASTRUCT& data);
#endif

    ChatOwner owner_;
    CDVokar vokar_;
    ControlCalls calls_{vokar_};
    tovan::ChatConversation conversation_;
    CSendEdit input_;
    CXPButton sendButton_, voiceButton_, closeButton_, historyButton_;
    CLinkText uploadLink_;
    std::string recordFileName_;
    CRecord history_;
};
