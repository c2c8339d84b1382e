// Calls into an automation object by dispatch id, with 8-bit texts of the
// system code page converted to and from BSTR:
//
//   fw::com::CallMethod(disp, 8, {"", 0, "你好"});          // SendShortMessage(IP, Port, msg)
//   LONG port = 0;  fw::com::GetLong(disp, 12, &port);      // property get
//   std::string ip; fw::com::GetText(disp, 11, &ip);
//
// Every call returns the HRESULT of IDispatch::Invoke (E_POINTER without an
// object); nothing throws.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "fw/dispatch_args.h"

namespace fw::com {

HRESULT CallMethod(IDispatch* target, DISPID id, const std::vector<DispatchArg>& args = {},
                   VARIANT* result = nullptr);
HRESULT GetProperty(IDispatch* target, DISPID id, VARIANT* result);
HRESULT GetLong(IDispatch* target, DISPID id, LONG* value);
HRESULT GetText(IDispatch* target, DISPID id, std::string* value);

// A VARIANT converted to a long or to 8-bit text; false when it does not convert.
bool VariantToLong(const VARIANT& v, LONG* value);
bool VariantToText(const VARIANT& v, std::string* value);

}  // namespace fw::com
