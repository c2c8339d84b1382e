#include "client/model/send_backlog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tovan {
namespace {

// A socket whose buffer has `room` bytes free and that takes at most
// `perCall` bytes in one call; the wire is what the peer will read.
struct SlowSocket {
    std::size_t room = 0;
    std::size_t perCall = 1u << 30;
    int calls = 0;
    std::string wire;
    SendBacklog::SendCall Call() {
        return [this](const char* data, int length) {
            ++calls;
            const std::size_t n = std::min({room, perCall, static_cast<std::size_t>(length)});
            if (n == 0) return -1;
            wire.append(data, n);
            room -= n;
            return static_cast<int>(n);
        };
    }
};

TEST(SendBacklogTest, PartlyTakenMessagesArriveWholeAndInOrder) {
    struct Case {
        std::size_t room, perCall;
    };
    const Case cases[] = {{0, 1000}, {3, 1000}, {10, 1000}, {25, 4}, {1000, 1}, {1000, 1000}};
    const std::vector<std::string> messages = {"!ADDMSG!|货|one^", "LOOP^", "!CHENGJIAO!|1,2^"};
    std::string all;
    for (const std::string& m : messages) all += m;

    for (const Case& c : cases) {
        SlowSocket s;
        s.room = c.room;
        s.perCall = c.perCall;
        SendBacklog backlog;
        std::string refused;  // what the caller keeps for its own retry
        for (const std::string& m : messages) {
            const int r = backlog.Send(m, s.Call());
            if (r == -1) {
                EXPECT_EQ(backlog.Held(), 0u);
                refused += m;
            } else {
                EXPECT_EQ(r, static_cast<int>(m.size()));
            }
        }
        EXPECT_EQ(s.wire.size() + backlog.Held() + refused.size(), all.size()) << c.room;

        // The socket can write again: the rest goes first, then later sends.
        s.room = 1u << 20;
        backlog.Flush(s.Call());
        EXPECT_EQ(backlog.Held(), 0u);
        backlog.Send("LOOP^", s.Call());
        if (refused.empty()) {
            EXPECT_EQ(s.wire, all + "LOOP^") << c.room << "/" << c.perCall;
        } else {
            // Only whole messages were refused, never a part of one.
            EXPECT_EQ(c.room, 0u);
            EXPECT_EQ(refused, all);
            EXPECT_EQ(s.wire, "LOOP^");
        }
    }
}

TEST(SendBacklogTest, SendsUntilRefusedSoThatTheNextWriteNotificationComes) {
    SlowSocket s;
    s.room = 8;
    s.perCall = 3;
    SendBacklog backlog;
    EXPECT_EQ(backlog.Send("0123456789^", s.Call()), 11);
    EXPECT_EQ(s.wire, "01234567");
    EXPECT_EQ(s.calls, 4);  // 3 + 3 + 2, then the refusal
    EXPECT_EQ(backlog.Held(), 3u);
}

TEST(SendBacklogTest, ANewConnectionStartsWithoutTheOldRest) {
    SlowSocket s;
    s.room = 4;
    SendBacklog backlog;
    backlog.Send("!ADDMSG!|车|x^", s.Call());
    backlog.Clear();
    s.wire.clear();
    s.room = 100;
    EXPECT_EQ(backlog.Send("!LOGON!|a|b|c^", s.Call()), 14);
    EXPECT_EQ(s.wire, "!LOGON!|a|b|c^");
}

TEST(SendBacklogTest, ABacklogPastItsLimitRefusesWholeMessages) {
    SlowSocket s;
    s.room = 1;
    SendBacklog backlog;
    const std::string big(SendBacklog::kLimit / 2, 'x');
    EXPECT_EQ(backlog.Send(big, s.Call()), static_cast<int>(big.size()));
    EXPECT_EQ(backlog.Send(big, s.Call()), static_cast<int>(big.size()));
    EXPECT_EQ(backlog.Send(big, s.Call()), -1);
    EXPECT_EQ(backlog.Held(), 2 * big.size() - 1);
}

}  // namespace
}  // namespace tovan
