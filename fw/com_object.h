// Small bases for COM objects of our own that live on the heap:
//
//   class Enum final : public fw::com::SingleInterfaceObject<IEnumFoo, &IID_IEnumFoo> {
//       ... only the interface's own methods ...
//   };
//   auto* e = new Enum();   // one reference, the creator's; Release deletes
//
// and an IDispatch without type information, for event sinks and sites
// that are called by dispatch id only (NoTypeInfoDispatch).
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace fw::com {

template <class Interface, const IID* InterfaceId>
class SingleInterfaceObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, *InterfaceId)) {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

protected:
    SingleInterfaceObject() = default;
    virtual ~SingleInterfaceObject() = default;

private:
    LONG refs_ = 1;
};

// IDispatch members for an object that has no type description; Invoke and
// IUnknown stay with the derived class.
class NoTypeInfoDispatch : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
};

}  // namespace fw::com
