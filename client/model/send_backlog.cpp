#include "client/model/send_backlog.h"

#include <climits>

namespace tovan {

int SendBacklog::Send(std::string_view text, const SendCall& send) {
    if (text.empty()) return 0;
    if (text.size() > static_cast<std::size_t>(INT_MAX)) return -1;
    if (!held_.empty()) {
        // Behind what is already waiting, never beside it.
        if (held_.size() + text.size() > kLimit) return -1;
        held_.append(text.data(), text.size());
        Flush(send);
        return static_cast<int>(text.size());
    }
    const int n = send(text.data(), static_cast<int>(text.size()));
    if (n < 0) return -1;
    if (static_cast<std::size_t>(n) < text.size()) {
        held_.assign(text.data() + n, text.size() - static_cast<std::size_t>(n));
        // Go on until the socket refuses: only a refused send brings the next
        // write notification.
        Flush(send);
    }
    return static_cast<int>(text.size());
}

void SendBacklog::Flush(const SendCall& send) {
    std::size_t done = 0;
    while (done < held_.size()) {
        const std::size_t left = held_.size() - done;
        const int n = send(held_.data() + done, static_cast<int>(left < INT_MAX ? left : INT_MAX));
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    held_.erase(0, done);
}

}  // namespace tovan
