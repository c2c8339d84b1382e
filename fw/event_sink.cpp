#include "fw/event_sink.h"

#include "fw/dispatch_invoke.h"

namespace fw::com {

EventArgs::EventArgs(const DISPPARAMS* params) {
    if (!params) return;
    // DISPPARAMS holds the arguments last to first.
    for (UINT i = params->cArgs; i-- > 0;) values_.push_back(&params->rgvarg[i]);
}

LONG EventArgs::Long(size_t pos) const {
    LONG v = 0;
    if (pos >= values_.size() || !VariantToLong(*values_[pos], &v)) return 0;
    return v;
}

std::string EventArgs::Text(size_t pos) const {
    std::string v;
    if (pos >= values_.size() || !VariantToText(*values_[pos], &v)) return std::string();
    return v;
}

namespace {

// The coclass description's interface marked default and source.
bool SourceFromClassInfo(IUnknown* control, IID* iid) {
    auto info = ComPtr<IUnknown>::Share(control).As<IProvideClassInfo>(IID_IProvideClassInfo);
    ComPtr<ITypeInfo> coclass;
    if (!info || FAILED(info->GetClassInfo(coclass.Out())) || !coclass) return false;
    TYPEATTR* attr = nullptr;
    if (FAILED(coclass->GetTypeAttr(&attr))) return false;
    const WORD count = attr->cImplTypes;
    coclass->ReleaseTypeAttr(attr);
    for (UINT i = 0; i < count; ++i) {
        INT flags = 0;
        if (FAILED(coclass->GetImplTypeFlags(i, &flags))) continue;
        if ((flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) != (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE))
            continue;
        HREFTYPE ref = 0;
        ComPtr<ITypeInfo> source;
        if (FAILED(coclass->GetRefTypeOfImplType(i, &ref)) || FAILED(coclass->GetRefTypeInfo(ref, source.Out())))
            return false;
        TYPEATTR* sourceAttr = nullptr;
        if (FAILED(source->GetTypeAttr(&sourceAttr))) return false;
        *iid = sourceAttr->guid;
        source->ReleaseTypeAttr(sourceAttr);
        return true;
    }
    return false;
}

}  // namespace

bool FindDefaultSource(IUnknown* control, IID* iid) {
    if (!control) return false;
    auto info2 = ComPtr<IUnknown>::Share(control).As<IProvideClassInfo2>(IID_IProvideClassInfo2);
    if (info2 && SUCCEEDED(info2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, iid))) return true;
    return SourceFromClassInfo(control, iid);
}

ComPtr<EventSink> EventSink::Make() { return ComPtr<EventSink>(new EventSink()); }

EventSink::~EventSink() { Unadvise(); }

void EventSink::On(DISPID id, EventHandler handler) { handlers_[id] = std::move(handler); }

HRESULT EventSink::Advise(IUnknown* control, const IID* iid) {
    Unadvise();
    IID source = IID_NULL;
    if (iid) source = *iid;
    else if (!FindDefaultSource(control, &source)) return E_NOINTERFACE;
    auto container = ComPtr<IUnknown>::Share(control).As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    if (!container) return E_NOINTERFACE;
    ComPtr<IConnectionPoint> point;
    HRESULT hr = container->FindConnectionPoint(source, point.Out());
    if (FAILED(hr)) return hr;
    if (!point) return E_FAIL;
    if (FAILED(hr = point->Advise(static_cast<IDispatch*>(this), &cookie_))) return hr;
    point_ = point;
    iid_ = source;
    return S_OK;
}

void EventSink::Unadvise() {
    if (!point_) return;
    // Moved out first: the connection point may release this sink's last
    // outside reference, and a handler may unadvise from inside an event.
    ComPtr<IConnectionPoint> point = std::move(point_);
    point->Unadvise(cookie_);
    cookie_ = 0;
}

HRESULT EventSink::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    // The source interface is a dispinterface: a sink answers to its id too.
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        (!IsEqualIID(iid_, IID_NULL) && IsEqualIID(iid, iid_))) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG EventSink::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG EventSink::Release() {
    const LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                          UINT*) {
    if (result) VariantInit(result);
    auto it = handlers_.find(id);
    if (it == handlers_.end()) return S_OK;
    // A copy, and a reference: the handler may replace itself or let go of
    // the host that owns this sink.
    const EventHandler handler = it->second;
    const ComPtr<EventSink> keep = ComPtr<EventSink>::Share(this);
    handler(EventArgs(params));
    return S_OK;
}

}  // namespace fw::com
