// What the updater does with each entry of the version list, and what it
// records afterwards. The Windows side carries the steps out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "updater/logic/update_files.h"
#include "updater/logic/version_list.h"

namespace tovan {

// Files the updater keeps in the program folder and the system folder.
constexpr const char* kUpdateIni = "Update.ini";
constexpr const char* kUpdateVersionKey = "Version";
constexpr const char* kDownloadBuffer = "tp.t";
// A whole copy of the download, moved over the installed file in one step.
constexpr const char* kStagedInstall = "tp.n";
constexpr const char* kBackupFolderName = "tvbk";

// Where a file of the list is downloaded from: "/cab/" + name.
std::string DownloadPath(std::string_view name);

// The backup folder under the platform's system folder (given without a
// trailing separator): "<system>\tvbk\".
std::string BackupFolder(std::string_view systemFolder);

enum class RecordAction {
    Skip,          // installed version is the same or newer
    RejectName,    // the name would reach outside the program folder
    Fetch,
};

RecordAction DecideRecord(const VersionRecord& record, std::uint32_t installed);

// Where a fetched file goes in the program folder: its own name, except the
// updater's own file, which waits beside it for the client to swap it in.
std::string InstallName(std::string_view name);

// No component comes near these; a reply that does is not one of ours.
constexpr std::uint64_t kMaxUpdateFileBytes = 64ull << 20;
constexpr std::uint64_t kMaxVersionListBytes = 64ull << 10;

// How one download ended.
enum class DownloadResult {
    Complete,        // a whole 2xx body, every byte written
    NotServed,       // status 300 or above: skipped silently
    RequestFailed,   // the request could not be sent or got no answer in time
    Broken,          // not a whole file: no 2xx status, cut short, empty, too
                     // large, too slow, or not a well-formed image of its kind
    Cancelled,       // the user cancelled after a failed write
};

// The head of a file's reply: what to do before reading the body.
struct ReplyHead {
    std::uint32_t status = 0;     // 0 when the reply had none
    bool hasLength = false;       // Content-Length given
    std::uint64_t length = 0;
    bool chunked = false;         // Transfer-Encoding: chunked
};
enum class HeadVerdict { ReadBody, NotServed, Refuse };
// Only a 2xx reply that announces its length is read: a body ended by the
// closing of the connection looks the same whole or cut, and so does a
// chunked one once the platform has taken its chunks apart (files are asked
// for over HTTP/1.0, so a sound server never sends chunks). An empty length,
// or one beyond the limit, is refused before anything is read.
HeadVerdict JudgeReplyHead(const ReplyHead& head);

// After the body ended without a read error: whole when it holds exactly the
// announced length.
bool IsWholeBody(const ReplyHead& head, std::uint64_t received);

struct DownloadFollowUp {
    bool install = false;       // copy the download over the file and into the backup folder
    bool tellFailure = false;   // "更新程序失败！"
};

DownloadFollowUp AfterDownload(DownloadResult result);

// The new version is recorded only once the file in the program folder was
// really replaced; otherwise the next run asks for it again.
inline bool ShouldRecordVersion(bool replacedInstalledFile) { return replacedInstalledFile; }

}  // namespace tovan
