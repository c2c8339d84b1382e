#include "fw/control_site.h"

#include <olectl.h>

#include <utility>

#include "fw/scoped_gdi.h"

namespace fw::com {
namespace {

constexpr LONG kHimetricPerInch = 2540;

void ReturnBool(VARIANT* result, bool value) {
    V_VT(result) = VT_BOOL;
    V_BOOL(result) = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void ReturnLong(VARIANT* result, LONG value) {
    V_VT(result) = VT_I4;
    V_I4(result) = value;
}

}  // namespace

ControlSite::ControlSite(std::function<void(const RECT&)> moveTo, HWND parent, const RECT& rect,
                         bool reflectsMessages)
    : moveTo_(std::move(moveTo)), parent_(parent), rect_(rect), reflectsMessages_(reflectsMessages) {}

HRESULT ControlSite::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
        *out = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
        *out = static_cast<IOleInPlaceSite*>(this);
    else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame))
        *out = static_cast<IOleInPlaceFrame*>(this);
    else if (IsEqualIID(iid, IID_IOleControlSite))
        *out = static_cast<IOleControlSite*>(this);
    else if (IsEqualIID(iid, IID_IDispatch))
        *out = static_cast<IDispatch*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG ControlSite::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG ControlSite::Release() {
    const LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

HRESULT ControlSite::GetMoniker(DWORD, DWORD, IMoniker** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT ControlSite::GetContainer(IOleContainer** out) {
    if (out) *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT ControlSite::GetWindow(HWND* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = parent_;
    return parent_ ? S_OK : E_FAIL;
}

HRESULT ControlSite::OnInPlaceActivate() {
    inPlaceActive_ = true;
    return S_OK;
}

HRESULT ControlSite::OnInPlaceDeactivate() {
    inPlaceActive_ = false;
    active_.Reset();
    return S_OK;
}

HRESULT ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                      LPOLEINPLACEFRAMEINFO info) {
    if (!frame || !doc || !pos || !clip) return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *doc = nullptr;  // no document window between the control and the frame
    *pos = rect_;
    *clip = rect_;
    if (info) {
        info->fMDIApp = FALSE;
        info->hwndFrame = parent_ ? GetAncestor(parent_, GA_ROOT) : nullptr;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

HRESULT ControlSite::OnPosRectChange(LPCRECT rect) {
    if (!rect) return E_POINTER;
    if (moveTo_) moveTo_(*rect);
    return S_OK;
}

HRESULT ControlSite::SetActiveObject(IOleInPlaceActiveObject* active, LPCOLESTR) {
    active_ = ComPtr<IOleInPlaceActiveObject>::Share(active);
    return S_OK;
}

HRESULT ControlSite::GetExtendedControl(IDispatch** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT ControlSite::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) {
    if (!himetric || !container) return E_POINTER;
    const gdi::WindowDc screen(nullptr);
    const LONG dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
        container->x = static_cast<float>(himetric->x) * static_cast<float>(dpiX) / kHimetricPerInch;
        container->y = static_cast<float>(himetric->y) * static_cast<float>(dpiY) / kHimetricPerInch;
    } else if (flags & XFORMCOORDS_CONTAINERTOHIMETRIC) {
        himetric->x = static_cast<LONG>(container->x * kHimetricPerInch / static_cast<float>(dpiX) + 0.5f);
        himetric->y = static_cast<LONG>(container->y * kHimetricPerInch / static_cast<float>(dpiY) + 0.5f);
    } else {
        return E_INVALIDARG;
    }
    return S_OK;
}

HRESULT ControlSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) {
    if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    if (!result) return E_POINTER;
    VariantInit(result);
    switch (id) {
    case DISPID_AMBIENT_USERMODE:  // the program runs; no design mode
    case DISPID_AMBIENT_AUTOCLIP:
        ReturnBool(result, true);
        return S_OK;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_SUPPORTSMNEMONICS:
        ReturnBool(result, false);
        return S_OK;
    case DISPID_AMBIENT_MESSAGEREFLECT:
        ReturnBool(result, reflectsMessages_);
        return S_OK;
    case DISPID_AMBIENT_LOCALEID:
        ReturnLong(result, static_cast<LONG>(GetUserDefaultLCID()));
        return S_OK;
    case DISPID_AMBIENT_BACKCOLOR:
        ReturnLong(result, static_cast<LONG>(GetSysColor(COLOR_BTNFACE)));
        return S_OK;
    case DISPID_AMBIENT_FORECOLOR:
        ReturnLong(result, static_cast<LONG>(GetSysColor(COLOR_WINDOWTEXT)));
        return S_OK;
    case DISPID_AMBIENT_DISPLAYNAME:
        V_VT(result) = VT_BSTR;
        V_BSTR(result) = SysAllocString(L"");
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

}  // namespace fw::com
