// The bytes a non-blocking send did not take. A send call may take only the
// front of a message; the rest must still go out, ahead of every later
// message, once the socket can write again. Counting such a message as sent
// loses its tail and glues its head to the next message on the wire.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace tovan {

class SendBacklog {
public:
    // One send call of the socket: bytes taken, or -1 (nothing taken; when
    // the socket would block, its next write notification follows).
    using SendCall = std::function<int(const char* data, int length)>;

    // Bytes held at most; beyond them a message is refused (-1) and waits in
    // the session's unsent queue instead.
    static constexpr std::size_t kLimit = 256 * 1024;

    // Sends text, or keeps what the socket did not take. Returns text.size()
    // when all of it was taken or kept, -1 when none of it was (nothing is
    // held then, so the caller may keep the whole text itself).
    int Send(std::string_view text, const SendCall& send);

    // The socket can write again: what is held goes out, oldest first, until
    // the socket takes no more.
    void Flush(const SendCall& send);

    // A new connection: bytes of the old one must not start it.
    void Clear() { held_.clear(); }
    std::size_t Held() const { return held_.size(); }

private:
    std::string held_;
};

}  // namespace tovan
