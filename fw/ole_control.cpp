#include "fw/ole_control.h"

#include <olectl.h>

#include <utility>

#include "fw/com_registry.h"

namespace fw::com {

OleControl::OleControl(const OleControlClass& cls) : class_(cls), events_(*this, cls.eventsIid) {
    typeInfo_.Load(class_.module(), class_.dispatchIid);
}

OleControl::~OleControl() {
    events_.Clear();  // before the container's objects, which the members release
}

HRESULT OleControl::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, class_.dispatchIid))
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

void OleControl::FireEvent(DISPID id, const std::vector<EventArg>& args) {
    if (freezeCount_ > 0) return;  // the container asked for no events now
    events_.Fire(id, args);
}

// ---- IDispatch -----------------------------------------------------------------

HRESULT OleControl::GetTypeInfoCount(UINT* count) { return typeInfo_.GetTypeInfoCount(count); }

HRESULT OleControl::GetTypeInfo(UINT index, LCID, ITypeInfo** out) { return typeInfo_.GetTypeInfo(index, out); }

HRESULT OleControl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    return typeInfo_.GetIDsOfNames(names, count, ids);
}

HRESULT OleControl::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* excep, UINT* argErr) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    KeepAlive<OleControl> alive(this);  // a host's event handler may let go of us
    DispatchCall call(flags, params, result, excep, argErr);
    return InvokeMember(id, call);
}

// ---- IOleObject --------------------------------------------------------------------

HRESULT OleControl::SetClientSite(IOleClientSite* site) {
    clientSite_ = ComPtr<IOleClientSite>::Share(site);
    return S_OK;
}

HRESULT OleControl::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    clientSite_.CopyTo(site);
    return S_OK;
}

HRESULT OleControl::Close(DWORD) {
    KeepAlive<OleControl> alive(this);
    InPlaceDeactivate();
    if (adviseHolder_) adviseHolder_->SendOnClose();
    return S_OK;
}

HRESULT OleControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) {
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
        return ActivateInPlace(site ? site : clientSite_.Get(), parent, rect);
    case OLEIVERB_HIDE:
        if (HWND w = WindowHandle()) ShowWindow(w, SW_HIDE);
        return S_OK;
    case OLEIVERB_PROPERTIES: {
        if (IsEqualCLSID(class_.propertyPage, CLSID_NULL)) return E_NOTIMPL;
        IUnknown* self = static_cast<IDispatch*>(this);
        CLSID page = class_.propertyPage;
        return OleCreatePropertyFrame(parent, 0, 0, class_.displayName, 1, &self, 1, &page, LOCALE_USER_DEFAULT, 0,
                                      nullptr);
    }
    default:
        return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
    }
}

HRESULT OleControl::ActivateInPlace(IOleClientSite* site, HWND parent, LPCRECT rect) {
    RECT pos = rect ? *rect : RECT{0, 0, 0, 0};
    if (WindowHandle()) return SetObjectRects(rect ? &pos : nullptr, nullptr);

    ComPtr<IOleInPlaceSite> inPlace;
    if (site && SUCCEEDED(site->QueryInterface(IID_IOleInPlaceSite, inPlace.OutVoid()))) {
        if (inPlace->CanInPlaceActivate() != S_OK) return E_FAIL;
        inPlace->OnInPlaceActivate();
        HWND siteWindow = nullptr;
        if (SUCCEEDED(inPlace->GetWindow(&siteWindow)) && siteWindow) parent = siteWindow;
        ComPtr<IOleInPlaceFrame> frame;
        ComPtr<IOleInPlaceUIWindow> doc;
        RECT sitePos, clip;
        OLEINPLACEFRAMEINFO info = {};
        info.cb = sizeof info;
        if (SUCCEEDED(inPlace->GetWindowContext(frame.Out(), doc.Out(), &sitePos, &clip, &info)) && !rect)
            pos = sitePos;
    }
    if (!parent || !CreateControlWindow(parent, pos)) {
        if (inPlace) inPlace->OnInPlaceDeactivate();
        return E_FAIL;
    }
    inPlaceSite_ = std::move(inPlace);
    OnControlWindowCreated();
    return S_OK;
}

HRESULT OleControl::EnumVerbs(IEnumOLEVERB** out) { return OleRegEnumVerbs(class_.clsid, out); }

HRESULT OleControl::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

HRESULT OleControl::GetUserType(DWORD form, LPOLESTR* type) { return OleRegGetUserType(class_.clsid, form, type); }

HRESULT OleControl::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    extent_ = *size;
    return S_OK;
}

HRESULT OleControl::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    *size = extent_;
    return S_OK;
}

HRESULT OleControl::Advise(IAdviseSink* sink, DWORD* cookie) {
    if (!adviseHolder_) {
        const HRESULT hr = CreateOleAdviseHolder(adviseHolder_.Out());
        if (FAILED(hr)) return hr;
    }
    return adviseHolder_->Advise(sink, cookie);
}

HRESULT OleControl::Unadvise(DWORD cookie) {
    return adviseHolder_ ? adviseHolder_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

HRESULT OleControl::EnumAdvise(IEnumSTATDATA** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return adviseHolder_ ? adviseHolder_->EnumAdvise(out) : E_FAIL;
}

HRESULT OleControl::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = class_.miscStatus;
    return S_OK;
}

// ---- in-place -----------------------------------------------------------------------

HRESULT OleControl::GetWindow(HWND* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = WindowHandle();
    return *hwnd ? S_OK : E_FAIL;
}

HRESULT OleControl::InPlaceDeactivate() {
    DestroyControlWindow();
    if (inPlaceSite_) {
        const ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);  // gone before the site hears of it
        site->OnInPlaceDeactivate();
    }
    return S_OK;
}

HRESULT OleControl::SetObjectRects(LPCRECT pos, LPCRECT) {
    HWND w = WindowHandle();
    if (pos && w) MoveWindow(w, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
    return S_OK;
}

// ---- IOleControl -----------------------------------------------------------------------

HRESULT OleControl::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT OleControl::FreezeEvents(BOOL freeze) {
    if (freeze) ++freezeCount_;
    else if (freezeCount_ > 0) --freezeCount_;
    return S_OK;
}

// ---- IViewObject2 ----------------------------------------------------------------------

HRESULT OleControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC hdc, LPCRECTL bounds, LPCRECTL,
                         BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!hdc || !bounds) return E_INVALIDARG;
    const RECT r = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    DrawFace(hdc, r);
    return S_OK;
}

// The window paints itself while active; a container drawing the control
// into a device context gets a plain face.
void OleControl::DrawFace(HDC hdc, const RECT& bounds) { FillRect(hdc, &bounds, GetSysColorBrush(COLOR_BTNFACE)); }

HRESULT OleControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    viewSink_ = ComPtr<IAdviseSink>::Share(sink);
    viewAspects_ = aspects;
    viewAdviseFlags_ = flags;
    return S_OK;
}

HRESULT OleControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = viewAspects_;
    if (flags) *flags = viewAdviseFlags_;
    if (sink) {
        viewSink_.CopyTo(sink);
    }
    return S_OK;
}

HRESULT OleControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) { return GetExtent(aspect, size); }

// ---- IPersistStreamInit: no persistent property, only the version ---------------------

HRESULT OleControl::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = class_.clsid;
    return S_OK;
}

HRESULT OleControl::Load(LPSTREAM stream) {
    if (!stream) return E_POINTER;
    DWORD version = 0;
    ULONG read = 0;
    stream->Read(&version, sizeof version, &read);  // any version loads: nothing depends on it
    return S_OK;
}

HRESULT OleControl::Save(LPSTREAM stream, BOOL clearDirty) {
    if (!stream) return E_POINTER;
    const DWORD version = class_.persistVersion;
    const HRESULT hr = stream->Write(&version, sizeof version, nullptr);
    if (SUCCEEDED(hr) && clearDirty) modified_ = false;
    return hr;
}

HRESULT OleControl::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = sizeof(DWORD);
    return S_OK;
}

// ---- class info, connection points, property pages ------------------------------------

HRESULT OleControl::GetClassInfo(ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    ComPtr<ITypeLib> lib;
    const HRESULT hr = LoadModuleTypeLib(class_.module(), lib.Out());
    if (FAILED(hr)) return hr;
    return lib->GetTypeInfoOfGuid(class_.clsid, out);
}

HRESULT OleControl::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *guid = class_.eventsIid;
    return S_OK;
}

HRESULT OleControl::EnumConnectionPoints(IEnumConnectionPoints** out) {
    return EnumerateConnectionPoints({&events_}, out);
}

HRESULT OleControl::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!events_.Serves(iid)) return CONNECT_E_NOCONNECTION;
    *out = &events_;
    events_.AddRef();
    return S_OK;
}

HRESULT OleControl::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->cElems = 0;
    pages->pElems = nullptr;
    if (IsEqualCLSID(class_.propertyPage, CLSID_NULL)) return S_OK;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) return E_OUTOFMEMORY;
    pages->cElems = 1;
    pages->pElems[0] = class_.propertyPage;
    return S_OK;
}

}  // namespace fw::com
