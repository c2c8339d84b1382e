// Test equipment: a minimal container that hosts controls in a window the
// way a dialog's control site does (client site, in-place site), an event
// sink that records what a control fires, and helpers to call by dispid.
#pragma once

#include <winsock2.h>
#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include <functional>
#include <string>
#include <vector>

namespace vokar_test {

// One event as the sink saw it: texts converted to GBK, numbers as they came.
struct Event {
    DISPID id = 0;
    std::vector<std::string> texts;
    std::vector<LONG> numbers;
};

class EventSink : public IDispatch {
public:
    virtual ~EventSink() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

    std::vector<Event> events;
    // Called for every event after it is recorded (may call into the control).
    std::function<void(const Event&)> onEvent;

    int Count(DISPID id) const;
    const Event* Last(DISPID id) const;

private:
    ULONG refs_ = 1;
};

// A control instance in its own child area of a host window.
class HostedControl : public IOleClientSite, public IOleInPlaceSite {
public:
    explicit HostedControl(HWND host) : host_(host) {}
    ~HostedControl();

    // CoCreateInstance, site, events, in-place activation. HRESULT of the first failure.
    HRESULT Create(REFCLSID clsid, bool activate = true);
    void Close();  // deactivates and lets go of the control

    IDispatch* dispatch() const { return dispatch_; }
    IOleObject* ole() const { return ole_; }
    EventSink& sink() { return *sink_; }
    bool deactivated() const { return deactivated_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }   // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** c) override { *c = nullptr; return E_NOINTERFACE; }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleWindow, IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* h) override { *h = host_; return S_OK; }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { activated_ = true; return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                               LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { deactivated_ = true; return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

private:
    HWND host_;
    IDispatch* dispatch_ = nullptr;
    IOleObject* ole_ = nullptr;
    EventSink* sink_ = new EventSink();
    IConnectionPoint* point_ = nullptr;
    DWORD cookie_ = 0;
    bool activated_ = false;
    bool deactivated_ = false;
};

// Automation calls by dispatch id. Arguments are VARIANTs in list order.
VARIANT Long(LONG v);
VARIANT Text(const char* gbk);
HRESULT Call(IDispatch* d, DISPID id, std::vector<VARIANT> args = {}, VARIANT* result = nullptr,
             EXCEPINFO* excep = nullptr, WORD flags = DISPATCH_METHOD);
LONG GetLong(IDispatch* d, DISPID id);
std::string GetText(IDispatch* d, DISPID id);

std::string Narrow(const wchar_t* wide, int length = -1);

// Runs the thread's messages until done() or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

}  // namespace vokar_test
