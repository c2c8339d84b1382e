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

// How long a request may take. A web service that is silent or sends a
// byte now and then must not hold the caller for ever.
struct HttpLimits {
    DWORD connectMs = 2000;    // to connect
    DWORD receiveMs = 30000;   // for the reply to begin, and for each read
    DWORD totalMs = 120000;    // for a whole text (GetText); downloads keep their own
    unsigned long long maxBytes = 64ull << 10;  // for a whole text (GetText)
};

class HttpGet {
public:
    HttpGet() = default;
    ~HttpGet() { Close(); }
    HttpGet(const HttpGet&) = delete;
    HttpGet& operator=(const HttpGet&) = delete;

    // Opens a session with the preconfigured proxy settings and the limits'
    // time-outs, connects to host:port over HTTP and sends a GET for path,
    // as HTTP/1.0 so that the body comes whole, never in chunks. Replies
    // always come from the server, never from the cache: a stale version
    // list or file would be installed as new. False when any step fails or
    // no reply came in time; the object is then closed.
    bool Send(const std::string& host, INTERNET_PORT port, const std::string& path,
              const HttpLimits& limits = HttpLimits());

    // The reply's status code (0 before a reply, or when it had none).
    DWORD StatusCode() const;

    // The length the reply announced, when it announced one.
    bool ContentLength(unsigned long long* length) const;

    // True when the body comes in chunks (its end is then its last chunk).
    bool IsChunked() const;

    // The next piece of the body into buffer, no more than has arrived (it
    // waits up to the receive time-out for something): true with *got == 0
    // at its end, false when reading fails.
    bool Read(void* buffer, DWORD size, DWORD* got);

    void Close();

private:
    HINTERNET session_ = nullptr;
    HINTERNET connection_ = nullptr;
    HINTERNET request_ = nullptr;
};

// GET of a small text: the status code, and the whole body when the status is
// below 300. False when the request or a read fails, or the text takes longer
// than limits.totalMs or grows beyond limits.maxBytes.
bool GetText(const std::string& host, INTERNET_PORT port, const std::string& path,
             std::string* body, DWORD* status, const HttpLimits& limits = HttpLimits());

}  // namespace fw
