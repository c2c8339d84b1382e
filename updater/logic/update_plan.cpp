#include "updater/logic/update_plan.h"

#include "updater/logic/update_files.h"

namespace tovan {

std::string DownloadPath(std::string_view name) { return "/cab/" + std::string(name); }

std::string BackupFolder(std::string_view systemFolder) {
    return std::string(systemFolder) + "\\" + kBackupFolderName + "\\";
}

RecordAction DecideRecord(const VersionRecord& record, std::uint32_t installed) {
    if (!IsNewerVersion(installed, record.version)) return RecordAction::Skip;
    if (!IsSafeUpdateFileName(record.name)) return RecordAction::RejectName;
    return RecordAction::Fetch;
}

std::string InstallName(std::string_view name) {
    return IsUpdaterFile(name) ? kNewUpdaterFileName : std::string(name);
}

HeadVerdict JudgeReplyHead(const ReplyHead& head) {
    if (head.status >= 300) return HeadVerdict::NotServed;
    if (head.status < 200) return HeadVerdict::Refuse;
    if (head.chunked || !head.hasLength) return HeadVerdict::Refuse;
    if (head.length == 0 || head.length > kMaxUpdateFileBytes) return HeadVerdict::Refuse;
    return HeadVerdict::ReadBody;
}

bool IsWholeBody(const ReplyHead& head, std::uint64_t received) {
    return head.hasLength && !head.chunked && received == head.length && received > 0 &&
           received <= kMaxUpdateFileBytes;
}

DownloadFollowUp AfterDownload(DownloadResult result) {
    DownloadFollowUp f;
    switch (result) {
        case DownloadResult::Complete:
            f.install = true;
            break;
        case DownloadResult::RequestFailed:
        case DownloadResult::Broken:
            f.tellFailure = true;
            break;
        case DownloadResult::NotServed:
        case DownloadResult::Cancelled:
            break;
    }
    return f;
}

}  // namespace tovan
