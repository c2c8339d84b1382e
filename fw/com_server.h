// In-process COM server pieces: the module's lock count, a class factory that
// makes objects through a plain function, and a table lookup for
// DllGetClassObject.
#pragma once

#include <windows.h>
#include <ole2.h>

namespace fw::com {

// Objects and server locks alive in this module; DllCanUnloadNow is S_OK at 0.
void LockModule();
void UnlockModule();
long ModuleLockCount();
inline HRESULT CanUnloadNow() { return ModuleLockCount() == 0 ? S_OK : S_FALSE; }

// Makes one new object and hands back the asked interface.
using CreateFunction = HRESULT (*)(REFIID iid, void** out);

struct ClassEntry {
    const CLSID* clsid;
    CreateFunction create;
};

// DllGetClassObject over a table of classes.
HRESULT GetClassObject(const ClassEntry* table, size_t count, REFCLSID clsid, REFIID iid, void** out);

// Reference count base: keeps the module locked while the object lives.
// The most derived class implements QueryInterface and forwards AddRef and
// Release here (its overrides serve every interface it inherits).
class RefCounted {
public:
    RefCounted() { LockModule(); }
    virtual ~RefCounted() { UnlockModule(); }
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    ULONG AddRefImpl() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG ReleaseImpl() {
        const LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

private:
    LONG refs_ = 1;  // the creator's reference
};

// Holds one reference for a scope; the object stays alive while an event
// handler of the host may drop the last outside reference.
template <class T>
class KeepAlive {
public:
    explicit KeepAlive(T* p) : p_(p) { p_->AddRef(); }
    ~KeepAlive() { p_->Release(); }
    KeepAlive(const KeepAlive&) = delete;
    KeepAlive& operator=(const KeepAlive&) = delete;

private:
    T* p_;
};

}  // namespace fw::com
