// The session's timers and clock on the platform: frame timers of one window
// and the local time.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <ctime>

#include "fw/window.h"

#include "client/model/session.h"

class WindowTimers : public tovan::SessionTimers {
public:
    explicit WindowTimers(const fw::Window& owner) : owner_(owner) {}
    void Start(unsigned id, unsigned periodMs) override { SetTimer(owner_.hwnd(), id, periodMs, nullptr); }
    void Stop(unsigned id) override { KillTimer(owner_.hwnd(), id); }

private:
    const fw::Window& owner_;
};

class LocalClock : public tovan::Clock {
public:
    std::tm LocalNow() override {
        SYSTEMTIME st;
        GetLocalTime(&st);
        std::tm t = {};
        t.tm_year = st.wYear - 1900;
        t.tm_mon = st.wMonth - 1;
        t.tm_mday = st.wDay;
        t.tm_wday = st.wDayOfWeek;
        t.tm_hour = st.wHour;
        t.tm_min = st.wMinute;
        t.tm_sec = st.wSecond;
        return t;
    }
};
