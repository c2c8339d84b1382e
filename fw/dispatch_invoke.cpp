#include "fw/dispatch_invoke.h"

#include "fw/dispatch_call.h"
#include "fw/scoped_com.h"

namespace fw::com {
namespace {

HRESULT Invoke(IDispatch* target, DISPID id, WORD flags, const std::vector<DispatchArg>& args, VARIANT* result) {
    if (!target) return E_POINTER;
    DispatchParams params(args);
    EXCEPINFO excep = {};
    UINT argErr = 0;
    const HRESULT hr = target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, params.Get(), result, &excep, &argErr);
    // The strings of an exception are the caller's to free.
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrHelpFile);
    return hr;
}

}  // namespace

HRESULT CallMethod(IDispatch* target, DISPID id, const std::vector<DispatchArg>& args, VARIANT* result) {
    return Invoke(target, id, DISPATCH_METHOD, args, result);
}

HRESULT GetProperty(IDispatch* target, DISPID id, VARIANT* result) {
    return Invoke(target, id, DISPATCH_PROPERTYGET, {}, result);
}

HRESULT GetLong(IDispatch* target, DISPID id, LONG* value) {
    Variant v;
    HRESULT hr = GetProperty(target, id, v.Out());
    if (SUCCEEDED(hr) && !VariantToLong(v.Get(), value)) hr = DISP_E_TYPEMISMATCH;
    return hr;
}

HRESULT GetText(IDispatch* target, DISPID id, std::string* value) {
    Variant v;
    HRESULT hr = GetProperty(target, id, v.Out());
    if (SUCCEEDED(hr) && !VariantToText(v.Get(), value)) hr = DISP_E_TYPEMISMATCH;
    return hr;
}

bool VariantToLong(const VARIANT& v, LONG* value) {
    Variant converted;
    if (FAILED(VariantChangeType(converted.Out(), const_cast<VARIANT*>(&v), 0, VT_I4))) return false;
    *value = V_I4(&converted.Get());
    return true;
}

bool VariantToText(const VARIANT& v, std::string* value) {
    Variant converted;
    if (FAILED(VariantChangeType(converted.Out(), const_cast<VARIANT*>(&v), 0, VT_BSTR))) return false;
    *value = FromBstr(V_BSTR(&converted.Get()));
    return true;
}

}  // namespace fw::com
