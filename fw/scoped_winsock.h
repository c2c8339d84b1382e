// Winsock for a scope (a program's run, a control's life): WSAStartup when it
// begins, WSACleanup at its end, and only when the start-up succeeded.
#pragma once

#include <winsock2.h>
#include <windows.h>

namespace fw {

class WinsockScope {
public:
    explicit WinsockScope(WORD version = MAKEWORD(2, 2)) : ok_(WSAStartup(version, &data_) == 0) {}
    ~WinsockScope() {
        if (ok_) WSACleanup();
    }
    WinsockScope(const WinsockScope&) = delete;
    WinsockScope& operator=(const WinsockScope&) = delete;

    bool ok() const { return ok_; }

private:
    WSADATA data_;
    bool ok_;
};

}  // namespace fw
