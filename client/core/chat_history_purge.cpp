#include "client/core/chat_history_purge.h"

namespace {

long long Ticks(const FILETIME& t) {
    return static_cast<long long>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                  t.dwLowDateTime);
}

constexpr long long kTicksPerSecond = 10000000;  // FILETIME counts 100 ns

}  // namespace

void PurgeOldChatHistories(const std::string& folder, const FILETIME& now) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*.rtf").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (Ticks(now) - Ticks(found.ftCreationTime) > kChatHistoryKeepSeconds * kTicksPerSecond) {
            DeleteFileA((folder + found.cFileName).c_str());
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}
