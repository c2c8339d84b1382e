// Hosts one ActiveX control as a child of a window, the way a dialog hosts
// its controls: client site, in-place site and frame, ambient properties,
// events by dispatch id, calls by dispatch id with 8-bit texts.
//
//   fw::ControlHost browser;                                  // OLE must be initialised
//   HRESULT hr = browser.Create("{8856F961-340A-11D0-A96B-00C04FD705A2}", parent, rect, 1002);
//   if (FAILED(hr)) { ... nothing was left behind; refuse with a message ... }
//   browser.OnEvent(7, [](const fw::com::EventArgs& a) { ... a.Text(0), a.Long(1) ... });
//   browser.Call(104, {"http://127.0.0.1/", Missing(), Missing(), Missing(), Missing()});
//   LONG port = 0; browser.GetLong(12, &port);
//   browser.Move(newRect);  browser.Focus();  browser.Destroy();  // or let it go out of scope
//
// Handlers may be set before Create (to see events fired while the control
// activates) or at any time after. Dialogs create hosts for template items
// whose class is a class id (fw::Dialog::HostedControl). The object must stay
// where it is while the control lives (the site points back to it).
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "fw/dispatch_args.h"
#include "fw/event_sink.h"
#include "fw/scoped_com.h"

namespace fw {

namespace com {
class ControlSite;
}

class ControlHost {
public:
    ControlHost();
    ~ControlHost();
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;

    // Creates the control, connects its events, activates it in place in
    // `parent` at `rect` (client pixels) and gives its window the id. Returns
    // the first failure (REGDB_E_CLASSNOTREG for a class that is not
    // registered); on failure nothing of the control remains.
    HRESULT Create(REFCLSID clsid, HWND parent, const RECT& rect, int id, bool visible = true);
    // The same by class id text "{...}" or ProgID (8-bit).
    HRESULT Create(const std::string& classIdOrProgId, HWND parent, const RECT& rect, int id, bool visible = true);
    // Whether the parent sends the control's WM_COMMAND and WM_NOTIFY back to
    // it as OCM_ messages (the ambient MessageReflect); set before Create.
    void SetReflectsMessages(bool on) { reflectsMessages_ = on; }

    // Deactivates and closes the control and lets go of it; its window is
    // destroyed by the control. Safe to call twice.
    void Destroy();

    bool IsCreated() const { return static_cast<bool>(ole_); }
    HWND Window() const { return window_; }  // null for a control without a window
    HWND Parent() const { return parent_; }
    int Id() const { return id_; }
    const RECT& Rect() const { return rect_; }
    IDispatch* Dispatch() const { return dispatch_.Get(); }
    IUnknown* Object() const { return ole_.Get(); }

    void Move(const RECT& rect);
    void Focus();

    // Automation calls on the control by dispatch id (fw/dispatch_invoke.h).
    HRESULT Call(DISPID id, const std::vector<com::DispatchArg>& args = {}, VARIANT* result = nullptr) const;
    HRESULT GetLong(DISPID id, LONG* value) const;
    HRESULT GetText(DISPID id, std::string* value) const;

    // Events of the control's default source interface.
    void OnEvent(DISPID id, com::EventHandler handler) { sink_->On(id, std::move(handler)); }
    bool EventsConnected() const { return sink_->IsAdvised(); }

private:
    void SetExtent(const RECT& rect);

    HWND parent_ = nullptr;
    HWND window_ = nullptr;
    int id_ = 0;
    RECT rect_ = {};
    bool reflectsMessages_ = false;
    com::ComPtr<com::ControlSite> site_;
    com::ComPtr<com::EventSink> sink_;
    com::ComPtr<IOleObject> ole_;
    com::ComPtr<IOleInPlaceObject> inPlace_;
    com::ComPtr<IDispatch> dispatch_;
};

// A class id text "{...}" or ProgID as a CLSID; false when it names no class.
bool ClassIdFromText(const std::string& text, CLSID* clsid);

}  // namespace fw
