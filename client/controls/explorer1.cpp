#include "client/controls/explorer1.h"

namespace {
constexpr DISPID kNavigate = 104;
}

HRESULT CExplorer1::Create(const char* windowName, DWORD style, const RECT& rect, HWND parent, int id) {
    createTried_ = true;
    const HRESULT hr = host_.Create(kClassId, parent, rect, id, (style & WS_VISIBLE) != 0);
    if (SUCCEEDED(hr) && host_.Window() && windowName && *windowName) SetWindowTextA(host_.Window(), windowName);
    if (!host_.Window()) waiting_.clear();
    return hr;
}

bool CExplorer1::NavigateNextWaiting() {
    if (!createTried_ || waiting_.empty()) return false;
    const std::string address = std::move(waiting_.front());
    waiting_.pop_front();
    Navigate(address);
    return true;
}

HRESULT CExplorer1::Navigate(const std::string& address) {
    if (!createTried_) {
        waiting_.push_back(address);
        return S_FALSE;
    }
    using fw::com::DispatchArg;
    return host_.Call(kNavigate, {address, DispatchArg::Missing(), DispatchArg::Missing(), DispatchArg::Missing(),
                                  DispatchArg::Missing()});
}
