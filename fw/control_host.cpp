#include "fw/control_host.h"

#include "fw/control_site.h"
#include "fw/dispatch_invoke.h"
#include "fw/scoped_gdi.h"

namespace fw {
namespace {

std::wstring Widen(const std::string& text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

}  // namespace

bool ClassIdFromText(const std::string& text, CLSID* clsid) {
    if (text.empty()) return false;
    const std::wstring wide = Widen(text);
    if (text[0] == '{') return SUCCEEDED(CLSIDFromString(wide.c_str(), clsid));
    return SUCCEEDED(CLSIDFromProgID(wide.c_str(), clsid));
}

ControlHost::ControlHost() : sink_(com::EventSink::Make()) {}

ControlHost::~ControlHost() { Destroy(); }

HRESULT ControlHost::Create(const std::string& classIdOrProgId, HWND parent, const RECT& rect, int id, bool visible) {
    CLSID clsid;
    if (!ClassIdFromText(classIdOrProgId, &clsid)) return REGDB_E_CLASSNOTREG;
    return Create(clsid, parent, rect, id, visible);
}

HRESULT ControlHost::Create(REFCLSID clsid, HWND parent, const RECT& rect, int id, bool visible) {
    Destroy();
    if (!parent || !IsWindow(parent)) return E_INVALIDARG;
    com::ComPtr<IOleObject> ole;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, ole.OutVoid());
    if (FAILED(hr)) return hr;
    if (!ole) return E_NOINTERFACE;

    parent_ = parent;
    rect_ = rect;
    id_ = id;
    ole_ = ole;
    site_ = com::ComPtr<com::ControlSite>(new com::ControlSite(
        [this](const RECT& r) { Move(r); }, parent, rect, reflectsMessages_));
    IOleClientSite* site = static_cast<IOleClientSite*>(site_.Get());

    // Some controls need their site before they initialise, the others after.
    DWORD misc = 0;
    ole_->GetMiscStatus(DVASPECT_CONTENT, &misc);
    const bool siteFirst = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (siteFirst && FAILED(hr = ole_->SetClientSite(site))) {
        Destroy();
        return hr;
    }
    if (auto persist = ole_.As<IPersistStreamInit>(IID_IPersistStreamInit)) persist->InitNew();
    if (!siteFirst && FAILED(hr = ole_->SetClientSite(site))) {
        Destroy();
        return hr;
    }
    SetExtent(rect);
    // A control without events is still a control.
    sink_->Advise(ole_.Get());

    RECT pos = rect;
    if (FAILED(hr = ole_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, parent, &pos))) {
        Destroy();
        return hr;
    }
    inPlace_ = ole_.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
    if (inPlace_) inPlace_->GetWindow(&window_);
    if (window_) {
        SetWindowLongPtrA(window_, GWLP_ID, id);
        ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
    }
    dispatch_ = ole_.As<IDispatch>(IID_IDispatch);
    return S_OK;
}

void ControlHost::Destroy() {
    sink_->Unadvise();
    if (inPlace_) inPlace_->InPlaceDeactivate();
    if (ole_) {
        ole_->Close(OLECLOSE_NOSAVE);
        ole_->SetClientSite(nullptr);
    }
    dispatch_.Reset();
    inPlace_.Reset();
    ole_.Reset();
    if (site_) site_->Detach();
    site_.Reset();
    window_ = nullptr;
    parent_ = nullptr;
}

void ControlHost::SetExtent(const RECT& rect) {
    if (!ole_) return;
    const gdi::WindowDc screen(nullptr);
    SIZEL size = {MulDiv(rect.right - rect.left, 2540, GetDeviceCaps(screen, LOGPIXELSX)),
                  MulDiv(rect.bottom - rect.top, 2540, GetDeviceCaps(screen, LOGPIXELSY))};
    ole_->SetExtent(DVASPECT_CONTENT, &size);
}

void ControlHost::Move(const RECT& rect) {
    rect_ = rect;
    if (site_) site_->SetRect(rect);
    SetExtent(rect);
    if (inPlace_) inPlace_->SetObjectRects(&rect, &rect);
    else if (window_) MoveWindow(window_, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

void ControlHost::Focus() {
    if (window_) {
        SetFocus(window_);
    } else if (ole_ && site_) {
        RECT pos = rect_;
        ole_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, static_cast<IOleClientSite*>(site_.Get()), 0, parent_, &pos);
    }
}

HRESULT ControlHost::Call(DISPID id, const std::vector<com::DispatchArg>& args, VARIANT* result) const {
    return com::CallMethod(dispatch_.Get(), id, args, result);
}

HRESULT ControlHost::GetLong(DISPID id, LONG* value) const { return com::GetLong(dispatch_.Get(), id, value); }

HRESULT ControlHost::GetText(DISPID id, std::string* value) const { return com::GetText(dispatch_.Get(), id, value); }

}  // namespace fw
