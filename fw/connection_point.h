// An outgoing dispatch interface of a COM object: the connection point that
// hosts advise their event sinks on, the container that hands it out, and
// the firing of one event to every sink, in the order they advised.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "fw/dispatch_args.h"
#include "fw/scoped_com.h"

namespace fw::com {

// One argument of an event: a long or a text (passed as BSTR).
using EventArg = DispatchArg;

// Lives inside its owner and shares the owner's reference count.
class DispatchConnectionPoint : public IConnectionPoint {
public:
    DispatchConnectionPoint(IConnectionPointContainer& owner, REFIID eventIid);
    ~DispatchConnectionPoint();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

    // Calls event `id` on every sink, synchronously; a sink may advise,
    // unadvise or call back into the owner meanwhile. Arguments in the
    // order of the event's parameter list.
    void Fire(DISPID id, const std::vector<EventArg>& args = {});

    // Drops every sink (the owner goes).
    void Clear();

    // For FindConnectionPoint of the owner: this point when iid is its interface.
    bool Serves(REFIID iid) const { return IsEqualIID(iid, eventIid_) != 0; }

private:
    struct Sink {
        DWORD cookie;
        ComPtr<IDispatch> dispatch;
    };
    IConnectionPointContainer& owner_;
    IID eventIid_;
    std::vector<Sink> sinks_;
    DWORD nextCookie_ = 1;
};

// An enumerator over a container's connection points (for
// IConnectionPointContainer::EnumConnectionPoints); it holds a reference to
// each point, and so to the container, while it lives.
HRESULT EnumerateConnectionPoints(const std::vector<IConnectionPoint*>& points, IEnumConnectionPoints** out);

}  // namespace fw::com
