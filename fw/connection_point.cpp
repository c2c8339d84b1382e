#include "fw/connection_point.h"

#include <olectl.h>

#include "fw/com_object.h"
#include "fw/dispatch_call.h"

namespace fw::com {

DispatchConnectionPoint::DispatchConnectionPoint(IConnectionPointContainer& owner, REFIID eventIid)
    : owner_(owner), eventIid_(eventIid) {}

DispatchConnectionPoint::~DispatchConnectionPoint() { Clear(); }

void DispatchConnectionPoint::Clear() {
    std::vector<Sink> gone;
    gone.swap(sinks_);
    for (const Sink& s : gone) s.dispatch->Release();
}

HRESULT DispatchConnectionPoint::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT DispatchConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = eventIid_;
    return S_OK;
}

HRESULT DispatchConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    owner_.AddRef();
    *out = &owner_;
    return S_OK;
}

HRESULT DispatchConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    IDispatch* dispatch = nullptr;
    // A sink answers for the event interface itself, or at least as IDispatch.
    if (FAILED(sink->QueryInterface(eventIid_, reinterpret_cast<void**>(&dispatch))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
        return CONNECT_E_CANNOTCONNECT;
    *cookie = nextCookie_++;
    sinks_.push_back({*cookie, dispatch});
    return S_OK;
}

HRESULT DispatchConnectionPoint::Unadvise(DWORD cookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->cookie != cookie) continue;
        IDispatch* dispatch = it->dispatch;
        sinks_.erase(it);
        dispatch->Release();
        return S_OK;
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT DispatchConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

void DispatchConnectionPoint::Fire(DISPID id, const std::vector<EventArg>& args) {
    if (sinks_.empty()) return;
    DispatchParams params(args);
    // A copy with references of its own: handlers may change the sink list.
    std::vector<IDispatch*> targets;
    for (const Sink& s : sinks_) {
        s.dispatch->AddRef();
        targets.push_back(s.dispatch);
    }
    for (IDispatch* target : targets) {
        target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, params.Get(), nullptr, nullptr, nullptr);
        target->Release();
    }
}

namespace {

class ConnectionPointEnum final
    : public SingleInterfaceObject<IEnumConnectionPoints, &IID_IEnumConnectionPoints> {
public:
    ConnectionPointEnum(const std::vector<IConnectionPoint*>& points, size_t position)
        : points_(points), position_(position) {
        for (IConnectionPoint* p : points_) p->AddRef();
    }
    ~ConnectionPointEnum() override {
        for (IConnectionPoint* p : points_) p->Release();
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, IConnectionPoint** out, ULONG* fetched) override {
        if (!out || (count > 1 && !fetched)) return E_POINTER;
        ULONG n = 0;
        for (; n < count && position_ < points_.size(); ++n, ++position_) {
            out[n] = points_[position_];
            out[n]->AddRef();
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        const size_t left = points_.size() - position_;
        position_ += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** out) override {
        if (!out) return E_POINTER;
        *out = new ConnectionPointEnum(points_, position_);
        return S_OK;
    }

private:
    std::vector<IConnectionPoint*> points_;
    size_t position_;
};

}  // namespace

HRESULT EnumerateConnectionPoints(const std::vector<IConnectionPoint*>& points, IEnumConnectionPoints** out) {
    if (!out) return E_POINTER;
    *out = new ConnectionPointEnum(points, 0);
    return S_OK;
}

}  // namespace fw::com
