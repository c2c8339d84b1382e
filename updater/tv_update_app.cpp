#include "updater/tv_update_app.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>

#include "fw/http_get.h"
#include "updater/logic/download_progress.h"
#include "updater/logic/pe_image.h"
#include "fw/message_box.h"
#include "fw/no_main_window.h"
#include "fw/profile.h"
#include "fw/program_path.h"

namespace {

// A number of milliseconds: the release value, or in test builds the value of
// a test's environment variable.
DWORD Milliseconds(const char* testVariable, DWORD release) {
#ifdef TOVAN_TEST_HOOKS
    if (const char* ms = std::getenv(testVariable)) {
        return static_cast<DWORD>(std::strtoul(ms, nullptr, 10));
    }
#else
    (void)testVariable;
#endif
    return release;
}

// Long enough for the client that started us to end and release its files.
constexpr DWORD kStartDelayMs = 6000;
// A service that goes silent this long is given up.
constexpr DWORD kReceiveTimeoutMs = 30000;
// One file may take this long, however it moves.
constexpr DWORD kDownloadDeadlineMs = 10 * 60 * 1000;
// The failure notice closes by itself, so that the client starts even when
// nobody is there to read it.
constexpr DWORD kFailureNoticeMs = 15000;

constexpr int kBufferCreateAttempts = 20001;
constexpr DWORD kPieceSize = 2048;

#if defined(_M_X64) || defined(__x86_64__)
constexpr std::uint16_t kOwnMachine = tovan::kMachineAmd64;
#else
constexpr std::uint16_t kOwnMachine = tovan::kMachineI386;
#endif

HANDLE CreateDownloadBuffer(const std::string& path) {
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kBufferCreateAttempts; ++attempt) {
        if (attempt > 0) PumpWaitingMessages();
        h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
        if (h != INVALID_HANDLE_VALUE) break;
    }
    return h;  // when still invalid, the writes fail and the user is asked
}

std::string SystemFolder() {
    char path[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryA(path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

// The whole file, when it is no larger than the limit of a download.
bool ReadWholeFile(const std::string& path, std::string* bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size = {};
    bool ok = GetFileSizeEx(f, &size) && size.QuadPart >= 0 &&
              static_cast<unsigned long long>(size.QuadPart) <= tovan::kMaxUpdateFileBytes;
    if (ok) {
        bytes->assign(static_cast<std::size_t>(size.QuadPart), '\0');
        DWORD got = 0;
        ok = bytes->empty() ||
             (ReadFile(f, bytes->data(), static_cast<DWORD>(bytes->size()), &got, nullptr) &&
              got == bytes->size());
    }
    CloseHandle(f);
    return ok;
}

}  // namespace

int CTvUpdateApp::Run() {
    InitCommonControls();
    programFolder_ = fw::ProgramFolder();
    limits_.receiveMs = Milliseconds("TOVAN_TEST_UPDATE_RECEIVE_MS", kReceiveTimeoutMs);
    limits_.maxBytes = tovan::kMaxVersionListBytes;
    downloadDeadlineMs_ = Milliseconds("TOVAN_TEST_UPDATE_DEADLINE_MS", kDownloadDeadlineMs);
    failureNoticeMs_ = Milliseconds("TOVAN_TEST_UPDATE_NOTICE_MS", kFailureNoticeMs);
    stallWindowMs_ = Milliseconds("TOVAN_TEST_UPDATE_STALL_MS", tovan::kStallWindowMs);

    Sleep(Milliseconds("TOVAN_TEST_UPDATE_DELAY_MS", kStartDelayMs));
    // Without its window the update still runs and the client still starts,
    // so that the user is not left without a client.
    int exitCode = 0;
    if (!status_.Open("正在检查更新...")) exitCode = fw::ReportNoMainWindow(GetLastError());

    std::string list;
    bool listed = false;
    if (ReadServer() && !RunWhilePumping([&] { listed = FetchVersionList(&list); }, HardLimitMs())) {
        Abandon();
    }
    if (!listed) {
        StartClient();
        return exitCode;
    }
    for (const tovan::VersionRecord& record : tovan::ParseVersionList(list)) {
        status_.SetStatus("正在下载更新 " + record.name);
        UpdateFile(record);
    }
    status_.SetStatus("更新完成");
    StartClient();
    return exitCode;
}

bool CTvUpdateApp::ReadServer() {
    const std::string url =
        fw::ReadProfileString(programFolder_ + "Config.ini", "URL", "Merovan", "", 501);
    fw::UrlParts parts;
    if (!fw::ParseUrl(url, &parts)) return false;
    server_ = parts.host;
    port_ = parts.port;
    return true;
}

bool CTvUpdateApp::FetchVersionList(std::string* body) {
    DWORD status = 0;
    return fw::GetText(server_, port_, tovan::kVersionListPath, body, &status, limits_) &&
           status <= 299;
}

void CTvUpdateApp::UpdateFile(const tovan::VersionRecord& record) {
    const UINT installed = GetPrivateProfileIntA(
        record.name.c_str(), tovan::kUpdateVersionKey, tovan::kDefaultInstalledVersion,
        (programFolder_ + tovan::kUpdateIni).c_str());
    // A name that would reach outside the program folder is passed over like
    // a file the service does not serve.
    if (tovan::DecideRecord(record, installed) != tovan::RecordAction::Fetch) return;

    HANDLE buffer = CreateDownloadBuffer(programFolder_ + tovan::kDownloadBuffer);
    tovan::DownloadResult result = tovan::DownloadResult::RequestFailed;
    if (!RunWhilePumping([&] { result = Download(record.name, buffer); }, HardLimitMs())) Abandon();
    if (buffer != INVALID_HANDLE_VALUE) CloseHandle(buffer);
    if (result == tovan::DownloadResult::Complete && !DownloadIsSound(record.name)) {
        result = tovan::DownloadResult::Broken;
    }

    const tovan::DownloadFollowUp next = tovan::AfterDownload(result);
    if (next.tellFailure) {
        fw::TimedMessageBox(status_.hwnd(), "更新程序失败！", "更新", failureNoticeMs_);
    }
    if (next.install) Install(record.name, record.version);
}

tovan::DownloadResult CTvUpdateApp::Download(const std::string& name, HANDLE buffer) {
    const ULONGLONG start = GetTickCount64();
    fw::HttpGet get;
    if (!get.Send(server_, port_, tovan::DownloadPath(name), limits_)) {
        return tovan::DownloadResult::RequestFailed;
    }
    tovan::ReplyHead head;
    head.status = get.StatusCode();
    head.hasLength = get.ContentLength(&head.length);
    head.chunked = get.IsChunked();
    switch (tovan::JudgeReplyHead(head)) {
        case tovan::HeadVerdict::NotServed: return tovan::DownloadResult::NotServed;
        case tovan::HeadVerdict::Refuse: return tovan::DownloadResult::Broken;
        case tovan::HeadVerdict::ReadBody: break;
    }

    unsigned long long received = 0;
    // A service that sends a byte now and then would keep the client from
    // starting until the deadline: a body that stops moving is given up.
    tovan::ProgressWatch progress(GetTickCount64(), tovan::kStallMinBytes, stallWindowMs_);
    char piece[kPieceSize];
    for (;;) {
        DWORD got = 0;
        // A read fails on a time-out and on a broken connection.
        if (!get.Read(piece, sizeof piece, &got)) return tovan::DownloadResult::Broken;
        if (got == 0) break;
        received += got;
        const ULONGLONG now = GetTickCount64();
        if (received > head.length || now - start > downloadDeadlineMs_ ||
            !progress.StillMoving(now, received)) {
            return tovan::DownloadResult::Broken;
        }
        Sleep(1);
        if (!WritePiece(buffer, piece, got, name)) return tovan::DownloadResult::Cancelled;
    }
    return tovan::IsWholeBody(head, received) ? tovan::DownloadResult::Complete
                                              : tovan::DownloadResult::Broken;
}

bool CTvUpdateApp::WritePiece(HANDLE buffer, const char* data, DWORD size,
                              const std::string& name) {
    for (;;) {
        DWORD written = 0;
        if (buffer != INVALID_HANDLE_VALUE && WriteFile(buffer, data, size, &written, nullptr) &&
            written == size) {
            return true;
        }
        const int answer = fw::AppMessageBox(
            status_.hwnd(), "更新以下文件时遇到错误，请关闭该程序后继续更新\n" + name, "更新错误",
            MB_RETRYCANCEL);
        if (answer != IDRETRY) return false;
        // A partly written piece is written again whole from where it began.
        if (buffer != INVALID_HANDLE_VALUE && written > 0) {
            LARGE_INTEGER back;
            back.QuadPart = -static_cast<LONGLONG>(written);
            SetFilePointerEx(buffer, back, nullptr, FILE_CURRENT);
        }
    }
}

bool CTvUpdateApp::DownloadIsSound(const std::string& name) {
    const tovan::ImageKind kind = tovan::ImageKindOf(name);
    if (kind == tovan::ImageKind::None) return true;
    std::string bytes;
    return ReadWholeFile(programFolder_ + tovan::kDownloadBuffer, &bytes) &&
           tovan::IsWellFormedImage(bytes, kind, kOwnMachine);
}

void CTvUpdateApp::Install(const std::string& name, const std::string& version) {
    const std::string download = programFolder_ + tovan::kDownloadBuffer;
    // The file is replaced in one step from a whole copy beside it: a run cut
    // short leaves the old file or the new one, never a part. The download
    // buffer itself stays, as it always has.
    const std::string target = programFolder_ + tovan::InstallName(name);
    const std::string staged = programFolder_ + tovan::kStagedInstall;
    const bool replaced =
        CopyFileA(download.c_str(), staged.c_str(), FALSE) &&
        MoveFileExA(staged.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!replaced) DeleteFileA(staged.c_str());
    const std::string backup = tovan::BackupFolder(SystemFolder());
    CreateDirectoryA(backup.c_str(), nullptr);
    CopyFileA(download.c_str(), (backup + name).c_str(), FALSE);
    if (tovan::ShouldRecordVersion(replaced)) {
        fw::WriteProfileString(programFolder_ + tovan::kUpdateIni, name.c_str(),
                               tovan::kUpdateVersionKey, version.c_str());
    }
}

DWORD CTvUpdateApp::HardLimitMs() const {
    return downloadDeadlineMs_ + 2 * limits_.receiveMs + limits_.connectMs;
}

void CTvUpdateApp::Abandon() {
    StartClient();
    // Not ExitProcess: the network library would wait at its unloading for
    // the very call that is stuck.
    TerminateProcess(GetCurrentProcess(), 0);
}

void CTvUpdateApp::StartClient() {
    // The client of this program folder, by its full path: a bare name would
    // let the shell find another one on the search path.
    std::string folder = programFolder_;
    if (!folder.empty()) folder.pop_back();
    ShellExecuteA(nullptr, "open", (programFolder_ + "tovanclient.exe").c_str(),
                  tovan::kStartedByUpdaterArgument, folder.c_str(), SW_SHOW);
}
