#include "http_get.h"

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

bool HttpGet::Send(const std::string& host, INTERNET_PORT port, const std::string& path,
                   DWORD connectTimeoutMs) {
    Close();
    session_ = InternetOpenA("Tovan", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session_) return false;
    InternetSetOptionA(session_, INTERNET_OPTION_CONNECT_TIMEOUT, &connectTimeoutMs,
                       sizeof connectTimeoutMs);
    connection_ = InternetConnectA(session_, host.c_str(), port, nullptr, nullptr,
                                   INTERNET_SERVICE_HTTP, 0, 0);
    if (connection_) {
        request_ = HttpOpenRequestA(connection_, "GET", path.c_str(), nullptr, nullptr, nullptr,
                                    INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_RELOAD |
                                        INTERNET_FLAG_NO_CACHE_WRITE,
                                    0);
    }
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

bool HttpGet::Read(void* buffer, DWORD size, DWORD* got) {
    *got = 0;
    return request_ && InternetReadFile(request_, buffer, size, got);
}

void HttpGet::Close() {
    if (request_) InternetCloseHandle(request_);
    if (connection_) InternetCloseHandle(connection_);
    if (session_) InternetCloseHandle(session_);
    request_ = connection_ = session_ = nullptr;
}

bool GetText(const std::string& host, INTERNET_PORT port, const std::string& path,
             std::string* body, DWORD* status, DWORD connectTimeoutMs) {
    body->clear();
    *status = 0;
    HttpGet get;
    if (!get.Send(host, port, path, connectTimeoutMs)) return false;
    *status = get.StatusCode();
    if (*status > 299) return true;
    char piece[2048];
    for (;;) {
        DWORD got = 0;
        if (!get.Read(piece, sizeof piece, &got)) return false;
        if (got == 0) return true;
        body->append(piece, got);
    }
}

}  // namespace fw
