#include "updater/logic/download_progress.h"

namespace tovan {

bool ProgressWatch::StillMoving(std::uint64_t nowMs, std::uint64_t received) {
    if (received >= windowStartBytes_ + minBytes_) {
        // Enough came in this window: the next one starts now.
        windowStartMs_ = nowMs;
        windowStartBytes_ = received;
        return true;
    }
    return nowMs < windowStartMs_ + windowMs_;
}

}  // namespace tovan
