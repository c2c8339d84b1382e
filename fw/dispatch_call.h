// One IDispatch::Invoke call taken apart: which kind of access it is, its
// arguments converted to the types a member wants, and its result. Objects
// whose members are listed in a type library answer GetIDsOfNames and
// GetTypeInfo from it (TypeInfoDispatch) and route Invoke by dispatch id.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "fw/scoped_com.h"

namespace fw::com {

// Automation strings and the 8-bit text of the system code page.
std::string FromBstr(BSTR text);
BSTR ToBstr(const std::string& text);

class DispatchCall {
public:
    DispatchCall(WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep, UINT* argErr);

    bool IsMethod() const { return (flags_ & DISPATCH_METHOD) != 0; }
    bool IsGet() const { return (flags_ & DISPATCH_PROPERTYGET) != 0; }
    bool IsPut() const { return (flags_ & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }

    // S_OK when the call brings exactly `count` arguments (the value of a
    // property put not counted); else DISP_E_BADPARAMCOUNT.
    HRESULT Expect(UINT count) const;
    // Argument `pos` (0 = first in the member's list), converted.
    HRESULT Long(UINT pos, LONG* value);
    HRESULT Text(UINT pos, std::string* value);
    // The value of a property put, converted.
    HRESULT PutLong(LONG* value);

    void ReturnLong(LONG value);
    void ReturnText(const std::string& value);
    void ReturnBool(bool value);

    // The member raised an error: DISP_E_EXCEPTION carrying `code`.
    HRESULT Raise(SCODE code);

private:
    WORD flags_;
    DISPPARAMS* params_;
    VARIANT* result_;
    EXCEPINFO* excep_;
    UINT* argErr_;
    DISPPARAMS empty_ = {};
};

// GetTypeInfoCount, GetTypeInfo and GetIDsOfNames from one type description.
class TypeInfoDispatch {
public:
    TypeInfoDispatch() = default;
    TypeInfoDispatch(const TypeInfoDispatch&) = delete;
    TypeInfoDispatch& operator=(const TypeInfoDispatch&) = delete;

    // The description of `iid` in the type library of `module` (loaded once).
    HRESULT Load(HMODULE module, REFGUID iid);

    HRESULT GetTypeInfoCount(UINT* count);
    HRESULT GetTypeInfo(UINT index, ITypeInfo** out);
    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids);

private:
    ComPtr<ITypeInfo> info_;
};

}  // namespace fw::com
