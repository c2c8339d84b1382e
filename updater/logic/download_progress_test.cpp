// The stall rule with the release values: how long a download that brings
// bytes at a given pace lasts before it is given up, if ever.
#include "updater/logic/download_progress.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct Pace {
    const char* what;
    std::uint64_t bytesPerRead;
    std::uint64_t msBetweenReads;
    std::uint64_t fileBytes;
    bool completes;
    std::uint64_t givenUpAfterMs;  // at most, when it does not complete
};

// Reads at the pace until the file is whole or the watch gives up: the
// time of the giving up, or 0 when it completed.
std::uint64_t GivenUpAt(const Pace& p) {
    tovan::ProgressWatch watch(0);
    std::uint64_t received = 0, now = 0;
    while (received < p.fileBytes) {
        now += p.msBetweenReads;
        received += p.bytesPerRead;
        if (!watch.StillMoving(now, received)) return now;
    }
    return 0;
}

TEST(DownloadProgress, StalledDownloadsAreGivenUpWithinTheWindowAndSlowOnesComplete) {
    const Pace paces[] = {
        {"a byte every 2 s", 1, 2000, 1 << 20, false, 32000},
        {"1 MB at 5 KB/s, in pieces of 2 KB", 2048, 400, 1 << 20, true, 0},
        {"5 bytes a second", 1, 200, 1 << 20, false, 30200},
        {"just over 1 KB in each 30 s", 1025, 30000, 100 << 10, true, 0},
        {"just under 1 KB in each 30 s", 1023, 30000, 100 << 10, false, 60000},
    };
    for (const Pace& p : paces) {
        SCOPED_TRACE(p.what);
        const std::uint64_t at = GivenUpAt(p);
        if (p.completes) {
            EXPECT_EQ(at, 0u);
        } else {
            EXPECT_GE(at, tovan::kStallWindowMs);
            EXPECT_LE(at, p.givenUpAfterMs);
        }
    }
}

TEST(DownloadProgress, AFastStartDoesNotCoverALaterStall) {
    tovan::ProgressWatch watch(0);
    EXPECT_TRUE(watch.StillMoving(1000, 500u << 10));  // 500 KB in the first second
    std::uint64_t received = 500u << 10, now = 1000;
    while (watch.StillMoving(now, received)) {
        now += 2000;
        received += 1;
        ASSERT_LT(now, 40000u);
    }
    EXPECT_GE(now, 1000u + tovan::kStallWindowMs);
    EXPECT_LE(now, 1000u + tovan::kStallWindowMs + 2000);
}

}  // namespace
