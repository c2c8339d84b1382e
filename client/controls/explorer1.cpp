#include "client/controls/explorer1.h"

namespace {
constexpr DISPID kNavigate = 104;
}

HRESULT CExplorer1::Create(const char* windowName, DWORD style, const RECT& rect, HWND parent, int id) {
    const HRESULT hr = host_.Create(kClassId, parent, rect, id, (style & WS_VISIBLE) != 0);
    if (SUCCEEDED(hr) && host_.Window() && windowName && *windowName) SetWindowTextA(host_.Window(), windowName);
    return hr;
}

HRESULT CExplorer1::Navigate(const std::string& address) {
    using fw::com::DispatchArg;
    return host_.Call(kNavigate, {address, DispatchArg::Missing(), DispatchArg::Missing(), DispatchArg::Missing(),
                                  DispatchArg::Missing()});
}
