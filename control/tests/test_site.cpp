#include "control/tests/test_site.h"

namespace vokar_test {

std::string Narrow(const wchar_t* wide, int length) {
    if (!wide) return std::string();
    const int n = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, length, out.data(), n, nullptr, nullptr);
    if (length < 0 && !out.empty()) out.pop_back();  // the terminator
    return out;
}

HRESULT EventSink::QueryInterface(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG EventSink::Release() {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
}

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
    Event e;
    e.id = id;
    for (UINT i = params->cArgs; i-- > 0;) {  // last to first in the array
        const VARIANT& v = params->rgvarg[i];
        if (V_VT(&v) == VT_BSTR) e.texts.push_back(Narrow(V_BSTR(&v), static_cast<int>(SysStringLen(V_BSTR(&v)))));
        else if (V_VT(&v) == VT_I4) e.numbers.push_back(V_I4(&v));
    }
    events.push_back(e);
    AddRef();
    if (onEvent) onEvent(e);
    Release();
    return S_OK;
}

int EventSink::Count(DISPID id) const {
    int n = 0;
    for (const Event& e : events) n += e.id == id;
    return n;
}

const Event* EventSink::Last(DISPID id) const {
    for (auto it = events.rbegin(); it != events.rend(); ++it)
        if (it->id == id) return &*it;
    return nullptr;
}

HostedControl::~HostedControl() {
    Close();
    sink_->Release();
}

HRESULT HostedControl::Create(REFCLSID clsid, bool activate) {
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, reinterpret_cast<void**>(&ole_));
    if (FAILED(hr)) return hr;
    if (FAILED(hr = ole_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_)))) return hr;
    if (FAILED(hr = ole_->SetClientSite(this))) return hr;
    IPersistStreamInit* persist = nullptr;
    if (SUCCEEDED(ole_->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
        persist->InitNew();
        persist->Release();
    }
    IProvideClassInfo2* info = nullptr;
    GUID source = {};
    if (FAILED(hr = ole_->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&info)))) return hr;
    hr = info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source);
    info->Release();
    if (FAILED(hr)) return hr;
    IConnectionPointContainer* cpc = nullptr;
    if (FAILED(hr = ole_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&cpc)))) return hr;
    hr = cpc->FindConnectionPoint(source, &point_);
    cpc->Release();
    if (FAILED(hr) || FAILED(hr = point_->Advise(sink_, &cookie_))) return hr;
    if (!activate) return S_OK;
    RECT r = {10, 10, 10, 10};  // 0 x 0, as the chat window places it
    return ole_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, host_, &r);
}

void HostedControl::Close() {
    if (point_) {
        point_->Unadvise(cookie_);
        point_->Release();
        point_ = nullptr;
    }
    if (ole_) {
        ole_->Close(OLECLOSE_NOSAVE);
        ole_->SetClientSite(nullptr);
        ole_->Release();
        ole_ = nullptr;
    }
    if (dispatch_) {
        dispatch_->Release();
        dispatch_ = nullptr;
    }
}

HRESULT HostedControl::QueryInterface(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
        *out = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
        *out = static_cast<IOleInPlaceSite*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    return S_OK;
}

HRESULT HostedControl::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                        LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    *frame = nullptr;
    *doc = nullptr;
    SetRect(pos, 10, 10, 10, 10);
    SetRect(clip, 0, 0, 400, 300);
    info->fMDIApp = FALSE;
    info->hwndFrame = host_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

VARIANT Long(LONG v) {
    VARIANT r;
    VariantInit(&r);
    V_VT(&r) = VT_I4;
    V_I4(&r) = v;
    return r;
}

VARIANT Text(const char* gbk) {
    VARIANT r;
    VariantInit(&r);
    V_VT(&r) = VT_BSTR;
    const int n = MultiByteToWideChar(CP_ACP, 0, gbk, -1, nullptr, 0);
    V_BSTR(&r) = SysAllocStringLen(nullptr, static_cast<UINT>(n - 1));
    MultiByteToWideChar(CP_ACP, 0, gbk, -1, V_BSTR(&r), n);
    return r;
}

HRESULT Call(IDispatch* d, DISPID id, std::vector<VARIANT> args, VARIANT* result, EXCEPINFO* excep, WORD flags) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()),
                         0};
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &put;
        params.cNamedArgs = 1;
    }
    EXCEPINFO local = {};
    UINT argErr = 0;
    const HRESULT hr = d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                                 excep ? excep : &local, &argErr);
    for (VARIANT& v : reversed) VariantClear(&v);
    return hr;
}

LONG GetLong(IDispatch* d, DISPID id) {
    VARIANT r;
    VariantInit(&r);
    if (FAILED(Call(d, id, {}, &r, nullptr, DISPATCH_PROPERTYGET)) || V_VT(&r) != VT_I4) return -1;
    return V_I4(&r);
}

std::string GetText(IDispatch* d, DISPID id) {
    VARIANT r;
    VariantInit(&r);
    if (FAILED(Call(d, id, {}, &r, nullptr, DISPATCH_PROPERTYGET)) || V_VT(&r) != VT_BSTR) return "<fail>";
    std::string s = Narrow(V_BSTR(&r), static_cast<int>(SysStringLen(V_BSTR(&r))));
    VariantClear(&r);
    return s;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

}  // namespace vokar_test
