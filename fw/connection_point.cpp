#include "fw/connection_point.h"

#include <olectl.h>

#include <utility>

#include "fw/com_object.h"
#include "fw/dispatch_call.h"

namespace fw::com {

DispatchConnectionPoint::DispatchConnectionPoint(IConnectionPointContainer& owner, REFIID eventIid)
    : owner_(owner), eventIid_(eventIid) {}

DispatchConnectionPoint::~DispatchConnectionPoint() { Clear(); }

void DispatchConnectionPoint::Clear() {
    std::vector<Sink> gone;
    gone.swap(sinks_);  // released after the list is empty: a sink's last Release may call back
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
    ComPtr<IDispatch> dispatch;
    // A sink answers for the event interface itself, or at least as IDispatch.
    if (FAILED(sink->QueryInterface(eventIid_, dispatch.OutVoid())) &&
        FAILED(sink->QueryInterface(IID_IDispatch, dispatch.OutVoid())))
        return CONNECT_E_CANNOTCONNECT;
    *cookie = nextCookie_++;
    sinks_.push_back({*cookie, std::move(dispatch)});
    return S_OK;
}

HRESULT DispatchConnectionPoint::Unadvise(DWORD cookie) {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->cookie != cookie) continue;
        const ComPtr<IDispatch> dispatch = std::move(it->dispatch);
        sinks_.erase(it);  // before the sink's Release, which may call back
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
    std::vector<ComPtr<IDispatch>> targets;
    for (const Sink& s : sinks_) targets.push_back(s.dispatch);
    for (ComPtr<IDispatch>& target : targets) {
        target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, params.Get(), nullptr, nullptr, nullptr);
        target.Reset();  // each as soon as it is done: the last reference may go with it
    }
}

namespace {

class ConnectionPointEnum final
    : public SingleInterfaceObject<IEnumConnectionPoints, &IID_IEnumConnectionPoints> {
public:
    ConnectionPointEnum(std::vector<ComPtr<IConnectionPoint>> points, size_t position)
        : points_(std::move(points)), position_(position) {}

    HRESULT STDMETHODCALLTYPE Next(ULONG count, IConnectionPoint** out, ULONG* fetched) override {
        if (!out || (count > 1 && !fetched)) return E_POINTER;
        ULONG n = 0;
        for (; n < count && position_ < points_.size(); ++n, ++position_) {
            points_[position_].CopyTo(&out[n]);
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
    std::vector<ComPtr<IConnectionPoint>> points_;
    size_t position_;
};

}  // namespace

HRESULT EnumerateConnectionPoints(const std::vector<IConnectionPoint*>& points, IEnumConnectionPoints** out) {
    if (!out) return E_POINTER;
    std::vector<ComPtr<IConnectionPoint>> held;
    for (IConnectionPoint* p : points) held.push_back(ComPtr<IConnectionPoint>::Share(p));
    *out = new ConnectionPointEnum(std::move(held), 0);
    return S_OK;
}

}  // namespace fw::com
