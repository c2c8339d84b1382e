// Test stand-ins for the clock and the session's send, shared by the resend
// schedule and publishing tests.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "client/model/resend_schedule.h"

namespace tovan::testing {

// Local time of a fixed day, set by the test.
struct FakeClock : Clock {
    std::tm now = At(10, 0, 0);
    std::tm LocalNow() override { return now; }

    static std::tm At(int h, int m, int s, int day = 9) {
        std::tm t = {};
        t.tm_year = 2026 - 1900;
        t.tm_mon = 11;
        t.tm_mday = day;
        t.tm_hour = h;
        t.tm_min = m;
        t.tm_sec = s;
        return t;
    }
    void Set(int h, int m, int s) { now = At(h, m, s); }
};

// The session's outbox: what went out, and what waits in the unsent queue
// because every send fails while `down`.
struct FakeOfferLine : Outbox {
    std::vector<std::string> sent;
    std::vector<std::string> queued;
    bool down = false;

    void Send(const std::string& m) override { (down ? queued : sent).push_back(m); }
    void DropQueuedListRequests() override {}
    Outbox& Sender() { return *this; }
};

inline ResendTime Time(int h, int m, int s, int day = 9) {
    return ResendTime::FromTm(FakeClock::At(h, m, s, day));
}

}  // namespace tovan::testing
