#include "update_check_win.h"

#include <shellapi.h>

#include "http_get.h"
#include "profile.h"
#include "program_path.h"
#include "update_check.h"
#include "win_profile_reader.h"

namespace {

constexpr DWORD kConnectTimeoutMs = 2000;

DWORD WINAPI UpdateCheckThread(void*) {
    const std::string folder = fw::ProgramFolder();
    if (CheckForUpdate(folder) != UpdateCheckResult::kUpdateDue) return 0;
    const std::string dir = folder.empty() ? folder : folder.substr(0, folder.size() - 1);
    ShellExecuteA(nullptr, "open", "tvupdate.exe", "", dir.c_str(), SW_SHOW);
    // The updater replaces our files: leave at once, windows and all.
    ExitProcess(0);
}

}  // namespace

UpdateCheckResult CheckForUpdate(const std::string& programFolder) {
    const std::string base = fw::ReadProfileString(programFolder + "Config.ini", "URL", "Merovan",
                                                   "", 500);
    fw::UrlParts url;
    if (!fw::ParseUrl(base, &url)) return UpdateCheckResult::kFailed;
    std::string body;
    DWORD status = 0;
    if (!fw::GetText(url.host, url.port, tovan::kVersionListPath, &body, &status,
                     kConnectTimeoutMs) ||
        status > 299) {
        return UpdateCheckResult::kFailed;
    }
    WinProfileReader profiles;
    return tovan::UpdateIsDue(body, profiles, programFolder + "update.ini")
               ? UpdateCheckResult::kUpdateDue
               : UpdateCheckResult::kCurrent;
}

void StartUpdateCheckThread() {
    HANDLE thread = CreateThread(nullptr, 0, UpdateCheckThread, nullptr, 0, nullptr);
    if (thread) CloseHandle(thread);
}
