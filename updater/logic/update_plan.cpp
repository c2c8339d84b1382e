#include "update_plan.h"

#include "gbk_split.h"

namespace tovan {

bool IsSafeUpdateFileName(std::string_view name) {
    if (name.empty() || name.find("..") != std::string_view::npos) return false;
    for (std::size_t i = 0; i < name.size(); i += GbkCharLength(name, i)) {
        if (GbkCharLength(name, i) == 2) continue;
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c == 0x7F) return false;
        switch (c) {
            case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>':
            case '|':
                return false;
            default:
                break;
        }
    }
    // The platform drops trailing dots and blanks ("a." would name "a"); a GBK
    // second byte is never one of them.
    return name.back() != '.' && name.back() != ' ';
}

std::string DownloadPath(std::string_view name) { return "/cab/" + std::string(name); }

std::string BackupFolder(std::string_view systemFolder) {
    return std::string(systemFolder) + "\\" + kBackupFolderName + "\\";
}

RecordAction DecideRecord(const VersionRecord& record, std::uint32_t installed) {
    if (!IsNewerVersion(installed, record.version)) return RecordAction::Skip;
    if (!IsSafeUpdateFileName(record.name)) return RecordAction::RejectName;
    return RecordAction::Fetch;
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
