#include "fw/com_server.h"

#include "fw/com_object.h"
#include "fw/scoped_com.h"

namespace fw::com {
namespace {

LONG g_locks = 0;

class ClassFactory final : public SingleInterfaceObject<IClassFactory, &IID_IClassFactory> {
public:
    explicit ClassFactory(CreateFunction create) : create_(create) { LockModule(); }
    ~ClassFactory() override { UnlockModule(); }

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
        const ComPtr<ClassFactory> factory(new ClassFactory(table[i].create));
        return factory->QueryInterface(iid, out);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace fw::com
