#include "fw/detached_thread.h"

#include <windows.h>

#include <memory>

namespace fw {
namespace {

DWORD WINAPI RunWork(void* param) {
    const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(param));
    (*work)();
    return 0;
}

}  // namespace

bool RunDetached(std::function<void()> work) {
    auto* owned = new std::function<void()>(std::move(work));
    HANDLE thread = CreateThread(nullptr, 0, RunWork, owned, 0, nullptr);
    if (!thread) {
        delete owned;
        return false;
    }
    CloseHandle(thread);
    return true;
}

}  // namespace fw
