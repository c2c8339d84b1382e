#include "com_server.h"

namespace fw::com {
namespace {

LONG g_locks = 0;

class ClassFactory : public IClassFactory {
public:
    explicit ClassFactory(CreateFunction create) : create_(create) { LockModule(); }
    virtual ~ClassFactory() { UnlockModule(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
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
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return create_(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) LockModule(); else UnlockModule();
        return S_OK;
    }

private:
    LONG refs_ = 1;
    CreateFunction create_;
};

}  // namespace

void LockModule() { InterlockedIncrement(&g_locks); }
void UnlockModule() { InterlockedDecrement(&g_locks); }
long ModuleLockCount() { return g_locks; }

HRESULT GetClassObject(const ClassEntry* table, size_t count, REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (size_t i = 0; i < count; ++i) {
        if (!IsEqualCLSID(*table[i].clsid, clsid)) continue;
        ClassFactory* factory = new ClassFactory(table[i].create);
        const HRESULT hr = factory->QueryInterface(iid, out);
        factory->Release();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace fw::com
