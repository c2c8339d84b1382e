// Chat transcripts ("*.rtf" in the program folder) are kept for 60 days; the
// frame removes older ones when it is built.
#pragma once

#include <windows.h>

#include <string>

// Transcripts created more than this many seconds before now are removed.
constexpr long long kChatHistoryKeepSeconds = 5184000;  // 60 days

// Deletes every "*.rtf" in folder (with its trailing backslash) whose
// creation time lies strictly more than kChatHistoryKeepSeconds before now.
// Errors are ignored.
void PurgeOldChatHistories(const std::string& folder, const FILETIME& now);
