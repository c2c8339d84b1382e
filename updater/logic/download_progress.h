// Whether a download still moves: a body that brings fewer than minBytes in
// windowMs is stalled and given up like a broken one (the way curl's speed
// limit and speed time judge a transfer). A slow link that moves completes;
// a service that sends a byte now and then does not keep the user waiting.
#pragma once

#include <cstdint>

namespace tovan {

constexpr std::uint64_t kStallMinBytes = 1024;
constexpr std::uint32_t kStallWindowMs = 30000;

class ProgressWatch {
public:
    explicit ProgressWatch(std::uint64_t startMs, std::uint64_t minBytes = kStallMinBytes,
                           std::uint32_t windowMs = kStallWindowMs)
        : minBytes_(minBytes), windowMs_(windowMs), windowStartMs_(startMs) {}

    // The body holds `received` bytes at time nowMs (ms on any steady clock):
    // false once a whole window passed with fewer than minBytes new bytes.
    bool StillMoving(std::uint64_t nowMs, std::uint64_t received);

private:
    std::uint64_t minBytes_;
    std::uint32_t windowMs_;
    std::uint64_t windowStartMs_;
    std::uint64_t windowStartBytes_ = 0;
};

}  // namespace tovan
