// Scoped owners of COM resources, so that every early return releases what
// was taken:
//
//   fw::com::ComPtr<IOleObject> ole;              // Release() when it goes
//   CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, ole.Out());
//   fw::com::ComPtr<IDispatch> disp = ole.As<IDispatch>(IID_IDispatch);
//
//   fw::com::Bstr text(fw::com::ToBstr("GBK text"));   // SysFreeString
//   fw::com::Variant v;  ... Invoke(..., v.Out());     // VariantClear
//   fw::com::OleScope ole;  if (!ole.ok()) ...          // OleInitialize/OleUninitialize
//   fw::com::ComScope com;                              // CoInitialize/CoUninitialize
//
// The interface id is passed explicitly (no __uuidof needed).
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <utility>

namespace fw::com {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already owns.
    explicit ComPtr(T* owned) : p_(owned) {}
    ComPtr(const ComPtr& o) : p_(o.p_) {
        if (p_) p_->AddRef();
    }
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    // A new reference to `p` (AddRef).
    static ComPtr Share(T* p) {
        if (p) p->AddRef();
        return ComPtr(p);
    }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    void Reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    // A new reference for an out parameter (null stays null).
    void CopyTo(T** out) const {
        if (p_) p_->AddRef();
        *out = p_;
    }
    // Gives up the reference without releasing it.
    T* Detach() { return std::exchange(p_, nullptr); }
    // For functions that hand back a new reference: releases the old one first.
    T** Out() {
        Reset();
        return &p_;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }

    // QueryInterface; empty when the object does not offer `iid`.
    template <class U>
    ComPtr<U> As(REFIID iid) const {
        ComPtr<U> out;
        if (p_) p_->QueryInterface(iid, out.OutVoid());
        return out;
    }

private:
    T* p_ = nullptr;
};

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(BSTR owned) : s_(owned) {}
    explicit Bstr(const wchar_t* text) : s_(SysAllocString(text)) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(s_); }

    BSTR Get() const { return s_; }
    BSTR* Out() {
        SysFreeString(s_);
        s_ = nullptr;
        return &s_;
    }

private:
    BSTR s_ = nullptr;
};

class Variant {
public:
    Variant() { VariantInit(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&v_); }

    const VARIANT& Get() const { return v_; }
    VARIANT* Out() {
        VariantClear(&v_);
        return &v_;
    }

private:
    VARIANT v_;
};

// OLE on this thread for a scope (apartment threaded, with the clipboard and
// drag-and-drop that in-place controls expect).
class OleScope {
public:
    OleScope() : hr_(OleInitialize(nullptr)) {}
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;
    ~OleScope() {
        if (SUCCEEDED(hr_)) OleUninitialize();
    }
    bool ok() const { return SUCCEEDED(hr_); }

private:
    HRESULT hr_;
};

// COM on this thread for a scope (apartment threaded), for a program that
// only creates objects. Undone only when it was done here (S_OK or S_FALSE).
class ComScope {
public:
    ComScope() : hr_(CoInitialize(nullptr)) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    bool ok() const { return SUCCEEDED(hr_); }

private:
    HRESULT hr_;
};

}  // namespace fw::com
