// Where every message to the exchange server goes. The session is the one
// outbox: it sends, or keeps a message whose send failed in its unsent queue
// until the keep-alive timer gets it out. Everything else that sends is given
// the outbox and never decides about queueing itself.
#pragma once

#include <string>

namespace tovan {

class Outbox {
public:
    virtual ~Outbox() = default;
    // Hands the whole message to the socket; when that fails it waits in the
    // unsent queue.
    virtual void Send(const std::string& message) = 0;
    // A new list (another area, a new search or watch query, a logon) makes
    // the queued requests for the old lists stale: they go. What the user did
    // (offers, closed deals, chat answers) stays queued and goes out later.
    virtual void DropQueuedListRequests() = 0;
};

}  // namespace tovan
