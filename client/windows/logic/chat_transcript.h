// Where the chat transcripts live: one RTF file per peer and day in the
// program folder, "<peer id><yy-mm-dd>.rtf", and the photo page addresses of
// the chat window.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace tovan {

// The history viewer shows this many days, today included.
constexpr int kHistoryDays = 60;

// The peer id as a file name part. The id comes from the network, so every
// single-byte character that a file name cannot hold or that would lead out
// of the folder ("\", "/", ":", "*", "?", "\"", "<", ">", "|", control bytes),
// a lead byte without its second byte, and "%" itself become "%XX", as does
// the first character of a device name ("CON.", "nul ."); ids
// without such bytes, GBK names included, are kept as they are, so files
// written earlier keep their names. A double-byte character whose second
// byte equals "\" or "|" is one character of the name, not a separator.
std::string TranscriptIdPart(const std::string& peerUserId);

// folder (with its trailing "\") + id part + "%y-%m-%d" of the day + ".rtf".
std::string TranscriptFileName(const std::string& folder, const std::string& peerUserId,
                               const std::tm& day);

// The files the history shows, oldest first: one per day from 59 days
// before now to today (each now - n x 86400 s in local time).
std::vector<std::string> HistoryFileNames(const std::string& folder, const std::string& peerUserId,
                                          std::int64_t now,
                                          const std::function<std::tm(std::int64_t)>& localTime);

// A photo page: base + "/userphoto.asp?user=" + every byte of the id as "%2X"
// (upper-case hex, blank-padded to two), or nothing but the bytes when the
// base is empty.
std::string PhotoAddress(const std::string& base, const std::string& userId);

}  // namespace tovan
