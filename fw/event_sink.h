// Receives a control's events on its default source (outgoing dispatch)
// interface and calls one handler per dispatch id; arguments arrive converted
// (longs, BSTR as 8-bit text of the system code page):
//
//   auto sink = fw::com::EventSink::Make();
//   sink->On(7, [](const fw::com::EventArgs& a) { Accept(a.Text(0), a.Long(1)); });
//   sink->Advise(control);    // IUnknown of the control
//   ...
//   sink->Unadvise();         // before the control goes
//
// Handlers run synchronously inside the control's firing, on its thread, and
// may call back into the control or replace handlers. Events without a
// handler are ignored. fw::ControlHost owns one of these per control.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "fw/com_object.h"
#include "fw/scoped_com.h"

namespace fw::com {

// The arguments of one event, in the order of its parameter list.
class EventArgs {
public:
    explicit EventArgs(const DISPPARAMS* params);
    size_t size() const { return values_.size(); }
    // Argument `pos` as a long (0 when absent or not a number).
    LONG Long(size_t pos) const;
    // Argument `pos` as 8-bit text (empty when absent or not convertible).
    std::string Text(size_t pos) const;

private:
    std::vector<const VARIANT*> values_;
};

using EventHandler = std::function<void(const EventArgs&)>;

// The default source interface of a control, from IProvideClassInfo2 or, when
// that is missing, from its coclass description; false when it has none.
bool FindDefaultSource(IUnknown* control, IID* iid);

class EventSink final : public NoTypeInfoDispatch {
public:
    static ComPtr<EventSink> Make();

    void On(DISPID id, EventHandler handler);
    void Off(DISPID id) { handlers_.erase(id); }

    // Connects to the control's default source interface, or to `iid` when
    // given. Fails when the control has no such connection point.
    HRESULT Advise(IUnknown* control, const IID* iid = nullptr);
    void Unadvise();
    bool IsAdvised() const { return static_cast<bool>(point_); }
    const IID& SourceIid() const { return iid_; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override;

private:
    EventSink() = default;
    ~EventSink();

    LONG refs_ = 1;
    std::map<DISPID, EventHandler> handlers_;
    ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
    IID iid_ = IID_NULL;
};

}  // namespace fw::com
