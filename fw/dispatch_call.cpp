#include "fw/dispatch_call.h"

#include "fw/com_registry.h"

namespace fw::com {

std::string FromBstr(BSTR text) {
    if (!text) return std::string();
    const int wideLength = static_cast<int>(SysStringLen(text));
    if (wideLength == 0) return std::string();
    const int n = WideCharToMultiByte(CP_ACP, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, wideLength, out.data(), n, nullptr, nullptr);
    return out;
}

BSTR ToBstr(const std::string& text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(n));
    if (out && n) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out, n);
    return out;
}

DispatchCall::DispatchCall(WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep, UINT* argErr)
    : flags_(flags), params_(params ? params : &empty_), result_(result), excep_(excep), argErr_(argErr) {}

HRESULT DispatchCall::Expect(UINT count) const {
    UINT given = params_->cArgs;
    if (IsPut()) {
        if (params_->cNamedArgs != 1 || !params_->rgdispidNamedArgs ||
            params_->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT || given == 0)
            return DISP_E_PARAMNOTOPTIONAL;
        --given;
    }
    return given == count ? S_OK : DISP_E_BADPARAMCOUNT;
}

HRESULT DispatchCall::Long(UINT pos, LONG* value) {
    VARIANT v;
    VariantInit(&v);
    const HRESULT hr = DispGetParam(params_, pos, VT_I4, &v, argErr_);
    if (SUCCEEDED(hr)) *value = V_I4(&v);
    return hr;
}

HRESULT DispatchCall::Text(UINT pos, std::string* value) {
    Variant v;
    const HRESULT hr = DispGetParam(params_, pos, VT_BSTR, v.Out(), argErr_);
    if (SUCCEEDED(hr)) *value = FromBstr(V_BSTR(&v.Get()));
    return hr;
}

HRESULT DispatchCall::PutLong(LONG* value) {
    // The put value is the named argument DISPID_PROPERTYPUT, always first.
    VARIANT v;
    VariantInit(&v);
    const HRESULT hr = VariantChangeType(&v, &params_->rgvarg[0], 0, VT_I4);
    if (FAILED(hr)) {
        if (argErr_) *argErr_ = 0;
        return DISP_E_TYPEMISMATCH;
    }
    *value = V_I4(&v);
    return S_OK;
}

void DispatchCall::ReturnLong(LONG value) {
    if (!result_) return;
    VariantInit(result_);
    V_VT(result_) = VT_I4;
    V_I4(result_) = value;
}

void DispatchCall::ReturnText(const std::string& value) {
    if (!result_) return;
    VariantInit(result_);
    V_VT(result_) = VT_BSTR;
    V_BSTR(result_) = ToBstr(value);
}

void DispatchCall::ReturnBool(bool value) {
    if (!result_) return;
    VariantInit(result_);
    V_VT(result_) = VT_BOOL;
    V_BOOL(result_) = value ? VARIANT_TRUE : VARIANT_FALSE;
}

HRESULT DispatchCall::Raise(SCODE code) {
    if (excep_) {
        *excep_ = EXCEPINFO();
        excep_->scode = code;
    }
    return DISP_E_EXCEPTION;
}

HRESULT TypeInfoDispatch::Load(HMODULE module, REFGUID iid) {
    if (info_) return S_OK;
    ComPtr<ITypeLib> lib;
    const HRESULT hr = LoadModuleTypeLib(module, lib.Out());
    if (FAILED(hr)) return hr;
    return lib->GetTypeInfoOfGuid(iid, info_.Out());
}

HRESULT TypeInfoDispatch::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = info_ ? 1 : 0;
    return S_OK;
}

HRESULT TypeInfoDispatch::GetTypeInfo(UINT index, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    if (!info_) return E_FAIL;
    info_.CopyTo(out);
    return S_OK;
}

HRESULT TypeInfoDispatch::GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) {
    if (!info_) return E_FAIL;
    return info_->GetIDsOfNames(names, count, ids);
}

}  // namespace fw::com
