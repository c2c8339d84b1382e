// A worker thread that nobody joins: the window thread must never wait for
// work that can take long (a name server, the adapter list). The work hands
// its result over by posting to a window.
#pragma once

#include <functional>

namespace fw {

// Runs `work` on a thread of its own. False when no thread could be started;
// the work then does not run.
bool RunDetached(std::function<void()> work);

}  // namespace fw
