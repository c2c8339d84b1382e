// HTTP GET over WinINet: the web service's version list and the updater's
// files. One session, one connection and one request per object; all three
// are closed by Close() or the destructor.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

namespace fw {

struct UrlParts {
    std::string scheme;
    std::string host;
    std::string path;
    INTERNET_PORT port = 0;
};

// Splits an address like "http://host:8080/x" with the platform's parser.
// False when it is not a complete address (no scheme or no host).
bool ParseUrl(const std::string& url, UrlParts* parts);

class HttpGet {
public:
    HttpGet() = default;
    ~HttpGet() { Close(); }
    HttpGet(const HttpGet&) = delete;
    HttpGet& operator=(const HttpGet&) = delete;

    // Opens a session with the preconfigured proxy settings and the given
    // connect time-out, connects to host:port over HTTP and sends a GET for
    // path. Replies always come from the server, never from the cache: a
    // stale version list or file would be installed as new. False when any
    // step fails; the object is then closed.
    bool Send(const std::string& host, INTERNET_PORT port, const std::string& path,
              DWORD connectTimeoutMs = 2000);

    // The reply's status code (0 before a reply).
    DWORD StatusCode() const;

    // The length the reply announced, when it announced one.
    bool ContentLength(unsigned long long* length) const;

    // The next piece of the body into buffer: true with *got == 0 at its end,
    // false when reading fails.
    bool Read(void* buffer, DWORD size, DWORD* got);

    void Close();

private:
    HINTERNET session_ = nullptr;
    HINTERNET connection_ = nullptr;
    HINTERNET request_ = nullptr;
};

// GET of a small text: the status code, and the whole body when the status is
// below 300. False when the request or a read fails.
bool GetText(const std::string& host, INTERNET_PORT port, const std::string& path,
             std::string* body, DWORD* status, DWORD connectTimeoutMs = 2000);

}  // namespace fw
