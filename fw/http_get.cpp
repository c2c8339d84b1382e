#include "fw/http_get.h"

#include <vector>

namespace fw {

bool ParseUrl(const std::string& url, UrlParts* parts) {
    if (url.empty()) return false;
    std::vector<char> scheme(url.size() + 1), host(url.size() + 1), path(url.size() + 1);
    URL_COMPONENTSA c = {};
    c.dwStructSize = sizeof c;
    c.lpszScheme = scheme.data();
    c.dwSchemeLength = static_cast<DWORD>(scheme.size());
    c.lpszHostName = host.data();
    c.dwHostNameLength = static_cast<DWORD>(host.size());
    c.lpszUrlPath = path.data();
    c.dwUrlPathLength = static_cast<DWORD>(path.size());
    if (!InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &c)) return false;
    if (c.dwSchemeLength == 0 || c.dwHostNameLength == 0) return false;
    parts->scheme.assign(scheme.data(), c.dwSchemeLength);
    parts->host.assign(host.data(), c.dwHostNameLength);
    parts->path.assign(path.data(), c.dwUrlPathLength);
    parts->port = c.nPort;
    return true;
}

namespace {

// Set on every handle: which one a WinINet takes them from differs.
void SetTimeouts(HINTERNET handle, const HttpLimits& limits) {
    DWORD connect = limits.connectMs, receive = limits.receiveMs;
    InternetSetOptionA(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
    for (DWORD option : {INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT}) {
        InternetSetOptionA(handle, option, &receive, sizeof receive);
    }
}

}  // namespace

bool HttpGet::Send(const std::string& host, INTERNET_PORT port, const std::string& path,
                   const HttpLimits& limits) {
    Close();
    session_ = InternetOpenA("Tovan", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session_) return false;
    SetTimeouts(session_, limits);
    connection_ = InternetConnectA(session_, host.c_str(), port, nullptr, nullptr,
                                   INTERNET_SERVICE_HTTP, 0, 0);
    if (connection_) {
        SetTimeouts(connection_, limits);
        request_ = HttpOpenRequestA(connection_, "GET", path.c_str(), "HTTP/1.0", nullptr, nullptr,
                                    INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_RELOAD |
                                        INTERNET_FLAG_NO_CACHE_WRITE,
                                    0);
    }
    if (request_) SetTimeouts(request_, limits);
    if (!request_ || !HttpSendRequestA(request_, nullptr, 0, nullptr, 0)) {
        Close();
        return false;
    }
    return true;
}

DWORD HttpGet::StatusCode() const {
    if (!request_) return 0;
    DWORD status = 0, size = sizeof status;
    if (!HttpQueryInfoA(request_, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                        nullptr)) {
        return 0;
    }
    return status;
}

bool HttpGet::ContentLength(unsigned long long* length) const {
    if (!request_) return false;
    char text[32] = {};
    DWORD size = sizeof text - 1;
    if (!HttpQueryInfoA(request_, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return false;
    unsigned long long n = 0;
    bool digits = false;
    for (DWORD i = 0; i < size && text[i] >= '0' && text[i] <= '9'; ++i) {
        n = n * 10 + static_cast<unsigned>(text[i] - '0');
        digits = true;
    }
    if (!digits) return false;
    *length = n;
    return true;
}

bool HttpGet::IsChunked() const {
    if (!request_) return false;
    char text[64] = {};
    DWORD size = sizeof text - 1;
    if (!HttpQueryInfoA(request_, HTTP_QUERY_TRANSFER_ENCODING, text, &size, nullptr)) return false;
    return lstrcmpiA(text, "chunked") == 0;
}

bool HttpGet::Read(void* buffer, DWORD size, DWORD* got) {
    *got = 0;
    if (!request_) return false;
    // Only what has arrived is read: a read of a whole buffer would wait for
    // all of it, however slowly it comes, and the caller's deadline with it.
    DWORD available = 0;
    if (!InternetQueryDataAvailable(request_, &available, 0, 0)) return false;
    if (available == 0) return true;  // the end of the body
    return InternetReadFile(request_, buffer, available < size ? available : size, got);
}

void HttpGet::Close() {
    if (request_) InternetCloseHandle(request_);
    if (connection_) InternetCloseHandle(connection_);
    if (session_) InternetCloseHandle(session_);
    request_ = connection_ = session_ = nullptr;
}

bool GetText(const std::string& host, INTERNET_PORT port, const std::string& path,
             std::string* body, DWORD* status, const HttpLimits& limits) {
    body->clear();
    *status = 0;
    const ULONGLONG start = GetTickCount64();
    HttpGet get;
    if (!get.Send(host, port, path, limits)) return false;
    *status = get.StatusCode();
    if (*status > 299) return true;
    char piece[2048];
    for (;;) {
        DWORD got = 0;
        if (!get.Read(piece, sizeof piece, &got)) break;
        if (got == 0) return true;
        body->append(piece, got);
        if (body->size() > limits.maxBytes || GetTickCount64() - start > limits.totalMs) break;
    }
    body->clear();
    return false;
}

}  // namespace fw
