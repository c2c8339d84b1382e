#include "client/core/update_check_win.h"

#include <shellapi.h>

#include "fw/http_get.h"
#include "fw/profile.h"
#include "fw/program_path.h"
#include "client/model/update_check.h"
#include "updater/logic/update_files.h"
#include "client/controls/win_profile_reader.h"

namespace {

constexpr DWORD kConnectTimeoutMs = 2000;

// The updater cannot replace itself while it runs: it leaves a new copy
// beside itself, swapped in here once it has ended (it starts us just before
// it ends, so a while is given). Until the swap works it is tried again at
// every start.
void SwapInNewUpdater(const std::string& folder) {
    const std::string fresh = folder + tovan::kNewUpdaterFileName;
    if (GetFileAttributesA(fresh.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    const std::string updater = folder + tovan::kUpdaterFileName;
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (MoveFileExA(fresh.c_str(), updater.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return;
        }
        Sleep(200);
    }
}

DWORD WINAPI UpdateCheckThread(void*) {
    const std::string folder = fw::ProgramFolder();
    SwapInNewUpdater(folder);
    // Started by the updater: what it could not update waits for the next
    // start, instead of sending us back to it at once, again and again.
    if (tovan::IsStartedByUpdater(GetCommandLineA())) return 0;
    if (CheckForUpdate(folder) != UpdateCheckResult::kUpdateDue) return 0;
    const std::string dir = folder.empty() ? folder : folder.substr(0, folder.size() - 1);
    SHELLEXECUTEINFOA run = {};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_FLAG_NO_UI;  // no system box from this thread
    run.lpVerb = "open";
    run.lpFile = "tvupdate.exe";
    run.lpParameters = "";
    run.lpDirectory = dir.c_str();
    run.nShow = SW_SHOW;
    // An updater that cannot be started (deleted, quarantined, a cut
    // installation) must not take the client with it: it goes on as it is.
    if (!ShellExecuteExA(&run) || reinterpret_cast<INT_PTR>(run.hInstApp) <= 32) return 0;
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
    fw::HttpLimits limits;
    limits.connectMs = kConnectTimeoutMs;
    if (!fw::GetText(url.host, url.port, tovan::kVersionListPath, &body, &status, limits) ||
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
