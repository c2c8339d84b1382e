#include "client/windows/dvokar.h"

namespace {

// Dispatch ids of the control's members the client calls.
constexpr DISPID kBind = 1;
constexpr DISPID kAddChater = 3;
constexpr DISPID kAcceptChater = 4;
constexpr DISPID kQueryForeignAddress = 6;
constexpr DISPID kSendShortMessage = 8;
constexpr DISPID kStartVoice = 9;
constexpr DISPID kStopVoice = 10;
constexpr DISPID kLocalAddress = 11;
constexpr DISPID kLocalPort = 12;
constexpr DISPID kRemoveAllChaters = 23;

}  // namespace

CDVokar::~CDVokar() = default;

bool CDVokar::Attach(fw::ControlHost* host) {
    host_ = host && host->IsCreated() ? host : nullptr;
    return host_ != nullptr;
}

HRESULT CDVokar::Create(HWND parent, const RECT& rect, int id) {
    host_ = nullptr;
    owned_ = std::make_unique<fw::ControlHost>();
    const HRESULT hr = owned_->Create(kClassId, parent, rect, id);
    if (FAILED(hr)) {
        owned_.reset();
        return hr;
    }
    host_ = owned_.get();
    return S_OK;
}

void CDVokar::Call(DISPID id, const std::vector<fw::com::DispatchArg>& args) {
    if (host_) host_->Call(id, args);
}

void CDVokar::Bind(long port) { Call(kBind, {port}); }

void CDVokar::AddChater(const std::string& ip, long port) { Call(kAddChater, {ip, port}); }

void CDVokar::AcceptChater(const std::string& ip, long port) { Call(kAcceptChater, {ip, port}); }

void CDVokar::QueryForeignAddress(const std::string& addressServer) { Call(kQueryForeignAddress, {addressServer}); }

void CDVokar::SendShortMessage(const std::string& ip, long port, const std::string& msg) {
    Call(kSendShortMessage, {ip, port, msg});
}

void CDVokar::StartVoice() { Call(kStartVoice); }

void CDVokar::StopVoice() { Call(kStopVoice); }

std::string CDVokar::LocalAddress() const {
    std::string ip;
    if (!host_ || FAILED(host_->GetText(kLocalAddress, &ip))) return std::string();
    return ip;
}

long CDVokar::LocalPort() const {
    LONG port = 0;
    if (!host_ || FAILED(host_->GetLong(kLocalPort, &port))) return 0;
    return port;
}

void CDVokar::RemoveAllChaters() { Call(kRemoveAllChaters); }
