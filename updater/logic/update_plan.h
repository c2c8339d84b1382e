// What the updater does with each entry of the version list, and what it
// records afterwards. The Windows side carries the steps out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "version_list.h"

namespace tovan {

// Files the updater keeps in the program folder and the system folder.
constexpr const char* kUpdateIni = "Update.ini";
constexpr const char* kUpdateVersionKey = "Version";
constexpr const char* kDownloadBuffer = "tp.t";
constexpr const char* kBackupFolderName = "tvbk";
constexpr const char* kVersionListPath = "/cab/update.asp";

// A name from the network may only name a file directly inside the program
// folder: no path separator, no "..", no drive or stream colon, no wildcard or
// control character, not empty.
bool IsSafeUpdateFileName(std::string_view name);

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

// How one download ended.
enum class DownloadResult {
    Complete,        // status below 300, every byte written
    NotServed,       // status 300 or above: skipped silently
    RequestFailed,   // the request could not be sent
    Broken,          // the reply broke off (read error or fewer bytes than announced)
    Cancelled,       // the user cancelled after a failed write
};

struct DownloadFollowUp {
    bool install = false;       // copy the download over the file and into the backup folder
    bool tellFailure = false;   // "更新程序失败！"
};

DownloadFollowUp AfterDownload(DownloadResult result);

// The new version is recorded only once the file in the program folder was
// really replaced; otherwise the next run asks for it again.
inline bool ShouldRecordVersion(bool replacedInstalledFile) { return replacedInstalledFile; }

}  // namespace tovan
