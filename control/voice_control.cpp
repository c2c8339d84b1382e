#include "voice_control.h"

#include <olectl.h>
#include <rpc.h>

#include <cctype>
#include <ctime>
#include <vector>

#include "com_registry.h"
#include "peer_datagram.h"
#include "vokar_ids.h"

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
    Voice* v = new Voice();
    const HRESULT hr = v->QueryInterface(iid, out);
    v->Release();
    return hr;
}

Voice::Voice()
    : events_(*this, kDiidDVokarEvents),
      window_(*this),
      textSocket_(*this),
      voiceSendSocket_(*this),
      voiceReceiveSocket_(*this),
      protocol_(tovan::ControlPorts{textSocket_, voiceReceiveSocket_, voiceSendSocket_, *this, *this, *this,
                                    *this},
                NewPeerId()) {
    WSADATA data;
    winsock_ = WSAStartup(MAKEWORD(1, 1), &data) == 0;
    typeInfo_.Load(Module(), kDiidDVokar);
    voice_.SetRecordVolume(0xFFFF);
}

Voice::~Voice() {
    // No event may reach a host from an object that is going.
    events_.Clear();
    window_.Destroy();
    if (viewSink_) viewSink_->Release();
    if (adviseHolder_) adviseHolder_->Release();
    if (inPlaceSite_) inPlaceSite_->Release();
    if (clientSite_) clientSite_->Release();
    textSocket_.Close();
    voiceSendSocket_.Close();
    voiceReceiveSocket_.Close();
    if (winsock_) WSACleanup();
}

HRESULT Voice::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kDiidDVokar))
        *out = static_cast<IDispatch*>(this);
    else if (IsEqualIID(iid, IID_IOleObject))
        *out = static_cast<IOleObject*>(this);
    else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject))
        *out = static_cast<IOleInPlaceObject*>(this);
    else if (IsEqualIID(iid, IID_IOleInPlaceActiveObject))
        *out = static_cast<IOleInPlaceActiveObject*>(this);
    else if (IsEqualIID(iid, IID_IOleControl))
        *out = static_cast<IOleControl*>(this);
    else if (IsEqualIID(iid, IID_IViewObject) || IsEqualIID(iid, IID_IViewObject2))
        *out = static_cast<IViewObject2*>(this);
    else if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStreamInit))
        *out = static_cast<IPersistStreamInit*>(this);
    else if (IsEqualIID(iid, IID_IProvideClassInfo) || IsEqualIID(iid, IID_IProvideClassInfo2))
        *out = static_cast<IProvideClassInfo2*>(this);
    else if (IsEqualIID(iid, IID_IConnectionPointContainer))
        *out = static_cast<IConnectionPointContainer*>(this);
    else if (IsEqualIID(iid, IID_ISpecifyPropertyPages))
        *out = static_cast<ISpecifyPropertyPages*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

// ---- IDispatch -----------------------------------------------------------------

HRESULT Voice::GetTypeInfoCount(UINT* count) { return typeInfo_.GetTypeInfoCount(count); }

HRESULT Voice::GetTypeInfo(UINT index, LCID, ITypeInfo** out) { return typeInfo_.GetTypeInfo(index, out); }

HRESULT Voice::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    return typeInfo_.GetIDsOfNames(names, count, ids);
}

HRESULT Voice::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excep, UINT* argErr) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    fw::com::KeepAlive<Voice> alive(this);  // a host's event handler may let go of us
    DispatchCall call(flags, params, result, excep, argErr);
    return InvokeMember(id, call);
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
            modified_ = true;
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

void Voice::OnWindowCreated() {
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
    if (freezeCount_ > 0) return;  // the container asked for no events now
    events_.Fire(id, args);
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

std::string Voice::LocalAddress() {
    char name[256];
    if (gethostname(name, sizeof name) != 0) return std::string();
    return fw::ResolveIPv4(name);  // empty when the own name does not resolve
}

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

// ---- IOleObject --------------------------------------------------------------------

HRESULT Voice::SetClientSite(IOleClientSite* site) {
    if (site) site->AddRef();
    if (clientSite_) clientSite_->Release();
    clientSite_ = site;
    return S_OK;
}

HRESULT Voice::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = clientSite_;
    if (clientSite_) clientSite_->AddRef();
    return S_OK;
}

HRESULT Voice::Close(DWORD) {
    fw::com::KeepAlive<Voice> alive(this);
    InPlaceDeactivate();
    if (adviseHolder_) adviseHolder_->SendOnClose();
    return S_OK;
}

HRESULT Voice::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) {
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
        return ActivateInPlace(site ? site : clientSite_, parent, rect);
    case OLEIVERB_HIDE:
        if (window_.hwnd()) ShowWindow(window_.hwnd(), SW_HIDE);
        return S_OK;
    case OLEIVERB_PROPERTIES: {
        IUnknown* self = static_cast<IDispatch*>(this);
        CLSID page = kClsidPropPage;
        return OleCreatePropertyFrame(parent, 0, 0, L"Vokar Control", 1, &self, 1, &page, LOCALE_USER_DEFAULT, 0,
                                      nullptr);
    }
    default:
        return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
    }
}

HRESULT Voice::ActivateInPlace(IOleClientSite* site, HWND parent, LPCRECT rect) {
    RECT pos = rect ? *rect : RECT{0, 0, 0, 0};
    if (window_.hwnd()) return SetObjectRects(rect ? &pos : nullptr, nullptr);

    IOleInPlaceSite* inPlace = nullptr;
    if (site && SUCCEEDED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace)))) {
        if (inPlace->CanInPlaceActivate() != S_OK) {
            inPlace->Release();
            return E_FAIL;
        }
        inPlace->OnInPlaceActivate();
        HWND siteWindow = nullptr;
        if (SUCCEEDED(inPlace->GetWindow(&siteWindow)) && siteWindow) parent = siteWindow;
        IOleInPlaceFrame* frame = nullptr;
        IOleInPlaceUIWindow* doc = nullptr;
        RECT sitePos, clip;
        OLEINPLACEFRAMEINFO info = {};
        info.cb = sizeof info;
        if (SUCCEEDED(inPlace->GetWindowContext(&frame, &doc, &sitePos, &clip, &info))) {
            if (!rect) pos = sitePos;
            if (frame) frame->Release();
            if (doc) doc->Release();
        }
    }
    if (!parent || !window_.CreateChild(parent, pos)) {
        if (inPlace) {
            inPlace->OnInPlaceDeactivate();
            inPlace->Release();
        }
        return E_FAIL;
    }
    inPlaceSite_ = inPlace;
    OnWindowCreated();
    return S_OK;
}

HRESULT Voice::EnumVerbs(IEnumOLEVERB** out) { return OleRegEnumVerbs(kClsidVoice, out); }

HRESULT Voice::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

HRESULT Voice::GetUserType(DWORD form, LPOLESTR* type) { return OleRegGetUserType(kClsidVoice, form, type); }

HRESULT Voice::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    extent_ = *size;
    return S_OK;
}

HRESULT Voice::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    *size = extent_;
    return S_OK;
}

HRESULT Voice::Advise(IAdviseSink* sink, DWORD* cookie) {
    if (!adviseHolder_) {
        const HRESULT hr = CreateOleAdviseHolder(&adviseHolder_);
        if (FAILED(hr)) return hr;
    }
    return adviseHolder_->Advise(sink, cookie);
}

HRESULT Voice::Unadvise(DWORD cookie) {
    return adviseHolder_ ? adviseHolder_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

HRESULT Voice::EnumAdvise(IEnumSTATDATA** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return adviseHolder_ ? adviseHolder_->EnumAdvise(out) : E_FAIL;
}

HRESULT Voice::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = kMiscStatus;
    return S_OK;
}

// ---- in-place -----------------------------------------------------------------------

HRESULT Voice::GetWindow(HWND* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = window_.hwnd();
    return *hwnd ? S_OK : E_FAIL;
}

HRESULT Voice::InPlaceDeactivate() {
    window_.Destroy();
    if (inPlaceSite_) {
        IOleInPlaceSite* site = inPlaceSite_;
        inPlaceSite_ = nullptr;
        site->OnInPlaceDeactivate();
        site->Release();
    }
    return S_OK;
}

HRESULT Voice::SetObjectRects(LPCRECT pos, LPCRECT) {
    if (pos && window_.hwnd())
        MoveWindow(window_.hwnd(), pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
    return S_OK;
}

// ---- IOleControl -----------------------------------------------------------------------

HRESULT Voice::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT Voice::FreezeEvents(BOOL freeze) {
    if (freeze) ++freezeCount_;
    else if (freezeCount_ > 0) --freezeCount_;
    return S_OK;
}

// ---- IViewObject2 ----------------------------------------------------------------------

HRESULT Voice::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC hdc, LPCRECTL bounds, LPCRECTL,
                    BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    // The button paints itself while active; a container drawing us into a
    // device context gets a plain face.
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!hdc || !bounds) return E_INVALIDARG;
    RECT r = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    FillRect(hdc, &r, GetSysColorBrush(COLOR_BTNFACE));
    return S_OK;
}

HRESULT Voice::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    if (sink) sink->AddRef();
    if (viewSink_) viewSink_->Release();
    viewSink_ = sink;
    viewAspects_ = aspects;
    viewAdviseFlags_ = flags;
    return S_OK;
}

HRESULT Voice::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = viewAspects_;
    if (flags) *flags = viewAdviseFlags_;
    if (sink) {
        *sink = viewSink_;
        if (viewSink_) viewSink_->AddRef();
    }
    return S_OK;
}

HRESULT Voice::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) { return GetExtent(aspect, size); }

// ---- IPersistStreamInit: no persistent property, only the version ---------------------

HRESULT Voice::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = kClsidVoice;
    return S_OK;
}

HRESULT Voice::Load(LPSTREAM stream) {
    if (!stream) return E_POINTER;
    DWORD version = 0;
    ULONG read = 0;
    stream->Read(&version, sizeof version, &read);  // any version loads: nothing depends on it
    return S_OK;
}

HRESULT Voice::Save(LPSTREAM stream, BOOL clearDirty) {
    if (!stream) return E_POINTER;
    const DWORD version = kPersistVersion;
    const HRESULT hr = stream->Write(&version, sizeof version, nullptr);
    if (SUCCEEDED(hr) && clearDirty) modified_ = false;
    return hr;
}

HRESULT Voice::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = sizeof(DWORD);
    return S_OK;
}

// ---- class info, connection points, property pages ------------------------------------

HRESULT Voice::GetClassInfo(ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    ITypeLib* lib = nullptr;
    HRESULT hr = fw::com::LoadModuleTypeLib(Module(), &lib);
    if (FAILED(hr)) return hr;
    hr = lib->GetTypeInfoOfGuid(kClsidVoice, out);
    lib->Release();
    return hr;
}

HRESULT Voice::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *guid = kDiidDVokarEvents;
    return S_OK;
}

HRESULT Voice::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT Voice::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!events_.Serves(iid)) return CONNECT_E_NOCONNECTION;
    *out = &events_;
    events_.AddRef();
    return S_OK;
}

HRESULT Voice::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) {
        pages->cElems = 0;
        return E_OUTOFMEMORY;
    }
    pages->cElems = 1;
    pages->pElems[0] = kClsidPropPage;
    return S_OK;
}

}  // namespace vokar
