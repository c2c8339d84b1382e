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

#include "com_server.h"
#include "connection_point.h"
#include "control_ports.h"
#include "datagram_socket.h"
#include "dispatch_call.h"
#include "peer_protocol.h"
#include "voice_session.h"
#include "window.h"

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

class Voice final : public IDispatch,
                    public IOleObject,
                    public IOleInPlaceObject,
                    public IOleInPlaceActiveObject,
                    public IOleControl,
                    public IViewObject2,
                    public IPersistStreamInit,
                    public IProvideClassInfo2,
                    public IConnectionPointContainer,
                    public ISpecifyPropertyPages,
                    private fw::com::RefCounted,
                    private tovan::ControlTimers,
                    private tovan::ControlClock,
                    private tovan::HostNetwork,
                    private tovan::ControlEvents {
public:
    static HRESULT Create(REFIID iid, void** out);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* argErr) override;

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                                     LPCRECT rect) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** out) override;
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** out) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT pos, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

    // IOleControl
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

    // IViewObject2
    HRESULT STDMETHODCALLTYPE Draw(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC, LPCRECTL, LPCRECTL,
                                   BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override;

    // IPersistStreamInit
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override { return modified_ ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override { return S_OK; }

    // IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    // ISpecifyPropertyPages
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) override;

private:
    friend class CChatSocket;
    friend class CVoiceSocket;
    friend class ControlWindow;

    Voice();
    ~Voice() override;

    // Dispatch members.
    HRESULT InvokeMember(DISPID id, fw::com::DispatchCall& call);
    void Bind(std::int32_t port);
    void StartVoice();
    void StopVoice();
    void AboutBox();

    // In-place activation inside the site's window (or `parent` when the
    // site offers no in-place site).
    HRESULT ActivateInPlace(IOleClientSite* site, HWND parent, LPCRECT rect);

    // From the sockets and the window.
    void OnTextReadable();
    void OnVoiceReadable();
    void OnCaptureDone(HWAVEIN device, WAVEHDR* header);
    void OnWindowCreated();
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

    bool winsock_ = false;
    fw::com::TypeInfoDispatch typeInfo_;
    fw::com::DispatchConnectionPoint events_;
    long freezeCount_ = 0;
    bool modified_ = false;  // a volume was put since the last save

    IOleClientSite* clientSite_ = nullptr;
    IOleInPlaceSite* inPlaceSite_ = nullptr;  // while in-place active
    IOleAdviseHolder* adviseHolder_ = nullptr;
    IAdviseSink* viewSink_ = nullptr;
    DWORD viewAspects_ = 0;
    DWORD viewAdviseFlags_ = 0;
    SIZEL extent_ = {0, 0};

    ControlWindow window_;
    std::map<unsigned, unsigned> timers_;  // id -> period, also while no window exists

    CChatSocket textSocket_;
    CVoiceSocket voiceSendSocket_;
    CVoiceSocket voiceReceiveSocket_;
    tovan::PeerProtocol protocol_;
    VoiceSession voice_;
};

}  // namespace vokar
