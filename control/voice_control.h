// The chat and voice control `Voice`: a windowed ActiveX control driven
// through the dispatch interface _DVokar and reporting through the event
// interface _DVokarEvents. Its window is a subclassed push button that
// carries the protocol's timers; its three UDP sockets report readiness on
// the same thread. The peer protocol and address-server rules live in
// PeerProtocol; this class is the COM and Win32 shell around them.
#pragma once

#include <winsock2.h>
#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include <cstdint>
#include <map>
#include <string>

#include "control/logic/control_ports.h"
#include "fw/datagram_socket.h"
#include "fw/ole_control.h"
#include "fw/scoped_winsock.h"
#include "control/logic/peer_protocol.h"
#include "control/voice_session.h"
#include "fw/window.h"

namespace vokar {

class Voice;

// One of the control's UDP sockets, as the protocol sends on it.
class PeerSocket : public fw::DatagramSocket, public tovan::DatagramSender {
public:
    void SendTo(const std::string& address, std::int32_t port, std::string_view bytes) override;
};

// Text datagrams of the peers and of the address server.
class CChatSocket : public PeerSocket {
public:
    explicit CChatSocket(Voice& owner) : owner_(owner) {}

protected:
    void OnReceive(int error) override;

private:
    Voice& owner_;
};

// Voice-send (no reads) and voice-receive sockets.
class CVoiceSocket : public PeerSocket {
public:
    explicit CVoiceSocket(Voice& owner) : owner_(owner) {}

protected:
    void OnReceive(int error) override;

private:
    Voice& owner_;
};

// The control's window: a push button taken over after creation.
class ControlWindow : public fw::Window {
public:
    explicit ControlWindow(Voice& owner) : owner_(owner) {}
    bool CreateChild(HWND parent, const RECT& rect);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    Voice& owner_;
};

class Voice final : public fw::com::OleControl,
                    private tovan::ControlTimers,
                    private tovan::ControlClock,
                    private tovan::HostNetwork,
                    private tovan::ControlEvents {
public:
    static HRESULT Create(REFIID iid, void** out);

private:
    friend class CChatSocket;
    friend class CVoiceSocket;
    friend class ControlWindow;

    Voice();
    ~Voice() override;

    static const fw::com::OleControlClass kClass;

    // fw::com::OleControl
    HRESULT InvokeMember(DISPID id, fw::com::DispatchCall& call) override;
    bool CreateControlWindow(HWND parent, const RECT& rect) override;
    HWND WindowHandle() const override { return window_.hwnd(); }
    void DestroyControlWindow() override { window_.Destroy(); }
    void OnControlWindowCreated() override;

    // Dispatch members.
    void Bind(std::int32_t port);
    void StartVoice();
    void StopVoice();
    void AboutBox();

    // From the sockets and the window.
    void OnTextReadable();
    void OnVoiceReadable();
    void OnCaptureDone(HWAVEIN device, WAVEHDR* header);
    void OnWindowDestroy();
    void OnTimer(unsigned id);

    void Fire(DISPID id, const std::vector<fw::com::EventArg>& args = {});

    // tovan::ControlTimers
    void Start(unsigned id, unsigned periodMs) override;
    void Stop(unsigned id) override;
    // tovan::ControlClock
    std::int64_t Now() override;
    // tovan::HostNetwork
    std::optional<std::string> Resolve(const std::string& name) override;
    std::string LocalAddress() override;
    std::int32_t LocalPort() override;
    // tovan::ControlEvents
    void PeerReject(const std::string& ip, std::int32_t port) override;
    void PeerAccept(const std::string& ip, std::int32_t port) override;
    void PeerClose(const std::string& ip, std::int32_t port) override;
    void AddChaterTimeOut(const std::string& ip, std::int32_t port) override;
    void NotifyAddress(const std::string& ip, std::int32_t port) override;
    void PeerAdd(const std::string& ip, std::int32_t port) override;
    void NewMessage(const std::string& ip, std::int32_t port, const std::string& msg) override;
    void NotifyServerAddress(const std::string& ip, std::int32_t port) override;

    fw::WinsockScope winsock_{MAKEWORD(1, 1)};  // first in, last out: every socket closes before it

    ControlWindow window_;
    std::map<unsigned, unsigned> timers_;  // id -> period, also while no window exists

    CChatSocket textSocket_;
    CVoiceSocket voiceSendSocket_;
    CVoiceSocket voiceReceiveSocket_;
    tovan::PeerProtocol protocol_;
    VoiceSession voice_;
};

}  // namespace vokar
