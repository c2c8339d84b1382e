#include "control/voice_control.h"

#include <olectl.h>
#include <rpc.h>

#include <cctype>
#include <ctime>
#include <vector>

#include "fw/com_registry.h"
#include "fw/ipv4_address.h"
#include "fw/scoped_com.h"
#include "control/logic/peer_datagram.h"
#include "control/vokar_ids.h"

namespace vokar {
namespace {

using fw::com::DispatchCall;
using fw::com::EventArg;

std::string NewPeerId() {
    UUID uuid;
    UuidCreate(&uuid);
    RPC_CSTR text = nullptr;
    std::string id;
    if (UuidToStringA(&uuid, &text) == RPC_S_OK && text) {
        id = reinterpret_cast<const char*>(text);
        RpcStringFreeA(&text);
    }
    for (char& c : id) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return id;
}

// The protocol stays within 16 bits for ports; the host gives a long.
unsigned PortOf(std::int32_t port) { return static_cast<unsigned>(port) & 0xFFFFu; }

// Automation error for setting a property that can only be read.
constexpr SCODE kSetNotSupported = CTL_E_SETNOTSUPPORTED;

}  // namespace

// ---- sockets ---------------------------------------------------------------

void PeerSocket::SendTo(const std::string& address, std::int32_t port, std::string_view bytes) {
    DatagramSocket::SendTo(address, PortOf(port), bytes.data(), static_cast<int>(bytes.size()));
}

void CChatSocket::OnReceive(int error) { owner_.OnTextReadable(); }
void CVoiceSocket::OnReceive(int error) { owner_.OnVoiceReadable(); }

// ---- window ----------------------------------------------------------------

bool ControlWindow::CreateChild(HWND parent, const RECT& r) {
    HWND h = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_PUSHBUTTON, r.left,
                             r.top, r.right - r.left, r.bottom - r.top, parent, nullptr, Module(), nullptr);
    if (!h) return false;
    if (!Subclass(h)) {
        DestroyWindow(h);
        return false;
    }
    return true;
}

LRESULT ControlWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        owner_.OnTimer(static_cast<unsigned>(wp));
        return 0;
    case WM_DESTROY: {
        const LRESULT r = DefaultProc(msg, wp, lp);
        owner_.OnWindowDestroy();
        return r;
    }
    case OCM_COMMAND:
        // The container reflects the button's own notifications back: a
        // click on the control means nothing.
        return 0;
    case MM_WIM_DATA:
        owner_.OnCaptureDone(reinterpret_cast<HWAVEIN>(wp), reinterpret_cast<WAVEHDR*>(lp));
        return 0;
    case MM_WIM_OPEN:
    case MM_WIM_CLOSE:
    case MM_WOM_OPEN:
    case MM_WOM_DONE:
    case MM_WOM_CLOSE:
        return 0;
    default:
        return DefaultProc(msg, wp, lp);
    }
}

// ---- object ------------------------------------------------------------------

HRESULT Voice::Create(REFIID iid, void** out) {
    const fw::com::ComPtr<Voice> v(new Voice());
    return v->QueryInterface(iid, out);
}

const fw::com::OleControlClass Voice::kClass = {
    &Module, kClsidVoice, kDiidDVokar, kDiidDVokarEvents, kClsidPropPage, L"Vokar Control", kMiscStatus,
    kPersistVersion,
};

Voice::Voice()
    : fw::com::OleControl(kClass),
      window_(*this),
      textSocket_(*this),
      voiceSendSocket_(*this),
      voiceReceiveSocket_(*this),
      protocol_(tovan::ControlPorts{textSocket_, voiceReceiveSocket_, voiceSendSocket_, *this, *this, *this,
                                    *this},
                NewPeerId()) {
    voice_.SetRecordVolume(0xFFFF);
}

Voice::~Voice() {
    // No event may reach a host from an object that is going.
    ClearEvents();
    window_.Destroy();
    textSocket_.Close();
    voiceSendSocket_.Close();
    voiceReceiveSocket_.Close();
}

HRESULT Voice::InvokeMember(DISPID id, DispatchCall& call) {
    HRESULT hr = S_OK;
    std::string ip, text;
    LONG port = 0, other = 0;

    // Read-only and read-write properties first.
    switch (id) {
    case dispid::LocalAddress:
    case dispid::LocalPort:
    case dispid::VoiceOn:
        if (call.IsPut()) return call.Raise(kSetNotSupported);
        if (!call.IsGet() && !call.IsMethod()) return DISP_E_MEMBERNOTFOUND;  // a method-style read is a get
        if (FAILED(hr = call.Expect(0))) return hr;
        if (id == dispid::LocalAddress) call.ReturnText(LocalAddress());
        else if (id == dispid::LocalPort) call.ReturnLong(LocalPort());
        else call.ReturnBool(voice_.on());
        return S_OK;
    case dispid::VolumeLeft:
    case dispid::VolumeRight:
    case dispid::RecordVolume:
        if (FAILED(hr = call.Expect(0))) return hr;
        if (call.IsPut()) {
            if (FAILED(hr = call.PutLong(&other))) return hr;
            const std::uint32_t value = static_cast<std::uint32_t>(other);
            const std::uint32_t now = voice_.PlaybackVolume();
            if (id == dispid::VolumeLeft) voice_.SetPlaybackVolume(tovan::WithLeft(now, value));
            else if (id == dispid::VolumeRight) voice_.SetPlaybackVolume(tovan::WithRight(now, value));
            else voice_.SetRecordVolume(value);
            SetModified();
            return S_OK;
        }
        if (!call.IsGet() && !call.IsMethod()) return DISP_E_MEMBERNOTFOUND;
        if (id == dispid::VolumeLeft) call.ReturnLong(static_cast<LONG>(tovan::VolumeLeft(voice_.PlaybackVolume())));
        else if (id == dispid::VolumeRight) call.ReturnLong(static_cast<LONG>(tovan::VolumeRight(voice_.PlaybackVolume())));
        else call.ReturnLong(static_cast<LONG>(voice_.RecordVolume()));
        return S_OK;
    default:
        break;
    }

    if (!call.IsMethod()) return DISP_E_MEMBERNOTFOUND;
    switch (id) {
    case dispid::AboutBox:
        if (FAILED(hr = call.Expect(0))) return hr;
        AboutBox();
        return S_OK;
    case dispid::Init:
        return call.Expect(0);
    case dispid::Bind:
        if (FAILED(hr = call.Expect(1)) || FAILED(hr = call.Long(0, &port))) return hr;
        Bind(port);
        return S_OK;
    case dispid::AddChater:
    case dispid::AcceptChater:
    case dispid::RemoveChater:
    case dispid::RejectChater:
        if (FAILED(hr = call.Expect(2)) || FAILED(hr = call.Text(0, &ip)) || FAILED(hr = call.Long(1, &port)))
            return hr;
        if (id == dispid::AddChater) protocol_.AddChater(ip, port);
        else if (id == dispid::AcceptChater) protocol_.AcceptChater(ip, port);
        else if (id == dispid::RemoveChater) protocol_.RemoveChater(ip, port);
        else protocol_.RejectChater(ip, port);
        return S_OK;
    case dispid::QueryForeignAddress:
    case dispid::QueryServer:
        if (FAILED(hr = call.Expect(1)) || FAILED(hr = call.Text(0, &ip))) return hr;
        if (id == dispid::QueryForeignAddress) protocol_.QueryForeignAddress(ip);
        else protocol_.QueryServer(ip);
        return S_OK;
    case dispid::SendShortMessage:
        if (FAILED(hr = call.Expect(3)) || FAILED(hr = call.Text(0, &ip)) || FAILED(hr = call.Long(1, &port)) ||
            FAILED(hr = call.Text(2, &text)))
            return hr;
        protocol_.SendShortMessage(ip, port, text);
        return S_OK;
    case dispid::StartVoice:
    case dispid::StopVoice:
        if (FAILED(hr = call.Expect(0))) return hr;
        if (id == dispid::StartVoice) StartVoice();
        else StopVoice();
        return S_OK;
    case dispid::SetServerAddress:
        if (FAILED(hr = call.Expect(2)) || FAILED(hr = call.Text(0, &ip)) || FAILED(hr = call.Text(1, &text)))
            return hr;
        protocol_.SetServerAddress(ip, text);
        return S_OK;
    case dispid::SetVolume:
        if (FAILED(hr = call.Expect(2)) || FAILED(hr = call.Long(0, &port)) || FAILED(hr = call.Long(1, &other)))
            return hr;
        voice_.SetPlaybackVolume(tovan::ComposeVolume(static_cast<std::uint32_t>(port), static_cast<std::uint32_t>(other)));
        return S_OK;
    case dispid::RemoveAllChaters:
        if (FAILED(hr = call.Expect(0))) return hr;
        protocol_.RemoveAllChaters();
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

void Voice::Bind(std::int32_t port) {
    textSocket_.Close();
    voiceSendSocket_.Close();
    voiceReceiveSocket_.Close();
    const bool textOk = textSocket_.Open(PortOf(port));
    voiceSendSocket_.Open(0, false);
    voiceReceiveSocket_.Open(0);
    if (!textOk) Fire(event::BindError);
}

void Voice::StartVoice() {
    StopVoice();
    if (voice_.Start(window_.hwnd()) == VoiceSession::StartResult::Started) Fire(event::VoiceStart);
    else Fire(event::VoiceError);
}

void Voice::StopVoice() {
    if (voice_.Stop()) Fire(event::VoiceStop);
}

namespace {
INT_PTR CALLBACK AboutProc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
        EndDialog(dlg, LOWORD(wp));
        return TRUE;
    }
    return FALSE;
}
}  // namespace

void Voice::AboutBox() {
    HWND owner = window_.hwnd() ? GetAncestor(window_.hwnd(), GA_ROOT) : GetActiveWindow();
    DialogBoxParamA(Module(), MAKEINTRESOURCEA(kIddAbout), owner, AboutProc, 0);
}

// ---- sockets and window into the protocol ----------------------------------------

void Voice::OnTextReadable() {
    fw::com::KeepAlive<Voice> alive(this);
    char buffer[tovan::kMaxTextDatagram + 1];
    std::string source;
    unsigned sourcePort = 0;
    const int n = textSocket_.ReceiveFrom(buffer, static_cast<int>(tovan::kMaxTextDatagram), &source, &sourcePort);
    if (n <= 0) return;  // failed (a longer datagram included) or empty
    protocol_.OnTextDatagram(std::string_view(buffer, static_cast<size_t>(n)), source,
                             static_cast<std::int32_t>(sourcePort));
}

void Voice::OnVoiceReadable() {
    fw::com::KeepAlive<Voice> alive(this);
    std::vector<char> buffer(tovan::kMaxVoiceDatagram);
    std::string source;
    unsigned sourcePort = 0;
    int n = voiceReceiveSocket_.ReceiveFrom(buffer.data(), static_cast<int>(buffer.size()), &source, &sourcePort);
    if (n == SOCKET_ERROR && WSAGetLastError() == WSAEMSGSIZE) n = static_cast<int>(buffer.size());
    if (n <= 0) return;
    const std::string_view sound = protocol_.OnVoiceDatagram(std::string_view(buffer.data(), static_cast<size_t>(n)),
                                                             source, static_cast<std::int32_t>(sourcePort));
    if (!sound.empty() && voice_.on()) voice_.Play(sound);
}

void Voice::OnCaptureDone(HWAVEIN device, WAVEHDR* header) {
    fw::com::KeepAlive<Voice> alive(this);
    if (const auto sound = voice_.OnCaptureDone(device, header))
        protocol_.SendVoice(std::string_view(sound->data(), sound->size()));
}

bool Voice::CreateControlWindow(HWND parent, const RECT& rect) { return window_.CreateChild(parent, rect); }

void Voice::OnControlWindowCreated() {
    // Timers asked for before the window existed start now.
    for (const auto& [id, period] : timers_) SetTimer(window_.hwnd(), id, period, nullptr);
    Fire(event::InitSuccess);
    protocol_.OnWindowCreated();
}

void Voice::OnWindowDestroy() {
    StopVoice();
    protocol_.OnWindowDestroyed();
}

void Voice::OnTimer(unsigned id) {
    fw::com::KeepAlive<Voice> alive(this);
    protocol_.OnTimer(id);
}

void Voice::Fire(DISPID id, const std::vector<EventArg>& args) {
    FireEvent(id, args);
}

// ---- ports of the protocol -----------------------------------------------------

void Voice::Start(unsigned id, unsigned periodMs) {
    timers_[id] = periodMs;
    if (window_.hwnd()) SetTimer(window_.hwnd(), id, periodMs, nullptr);
}

void Voice::Stop(unsigned id) {
    timers_.erase(id);
    if (window_.hwnd()) KillTimer(window_.hwnd(), id);
}

std::int64_t Voice::Now() { return static_cast<std::int64_t>(_time64(nullptr)); }

std::optional<std::string> Voice::Resolve(const std::string& name) {
    std::string address = fw::ResolveIPv4(name);
    if (address.empty()) return std::nullopt;
    return address;
}

// From the interface list: looking the own name up would ask the name
// server on the window thread at every address notification.
std::string Voice::LocalAddress() { return fw::LocalIPv4Address(); }

std::int32_t Voice::LocalPort() { return static_cast<std::int32_t>(textSocket_.LocalPort()); }

void Voice::PeerReject(const std::string& ip, std::int32_t port) { Fire(event::PeerReject, {ip, port}); }
void Voice::PeerAccept(const std::string& ip, std::int32_t port) { Fire(event::PeerAccept, {ip, port}); }
void Voice::PeerClose(const std::string& ip, std::int32_t port) { Fire(event::PeerClose, {ip, port}); }
void Voice::AddChaterTimeOut(const std::string& ip, std::int32_t port) {
    Fire(event::AddChaterTimeOut, {ip, port});
}
void Voice::NotifyAddress(const std::string& ip, std::int32_t port) { Fire(event::NotifyAddress, {ip, port}); }
void Voice::PeerAdd(const std::string& ip, std::int32_t port) { Fire(event::PeerAdd, {ip, port}); }
void Voice::NewMessage(const std::string& ip, std::int32_t port, const std::string& msg) {
    Fire(event::NewMessage, {ip, port, msg});
}
void Voice::NotifyServerAddress(const std::string& ip, std::int32_t port) {
    Fire(event::NotifyServerAddress, {ip, port});
}

}  // namespace vokar
