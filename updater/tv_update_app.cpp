#include "tv_update_app.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>

#include "http_get.h"
#include "message_box.h"
#include "profile.h"
#include "program_path.h"

namespace {

// Long enough for the client that started us to end and release its files.
DWORD StartDelayMs() {
#ifdef TOVAN_TEST_HOOKS
    if (const char* ms = std::getenv("TOVAN_TEST_UPDATE_DELAY_MS")) {
        return static_cast<DWORD>(std::strtoul(ms, nullptr, 10));
    }
#endif
    return 6000;
}

constexpr int kBufferCreateAttempts = 20001;
constexpr DWORD kPieceSize = 2048;

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

}  // namespace

void CTvUpdateApp::Run() {
    InitCommonControls();
    programFolder_ = fw::ProgramFolder();

    Sleep(StartDelayMs());
    status_.Open("正在检查更新...");

    std::string list;
    if (!ReadServer() || !FetchVersionList(&list)) {
        StartClient();
        return;
    }
    for (const tovan::VersionRecord& record : tovan::ParseVersionList(list)) {
        status_.SetStatus("正在下载更新 " + record.name);
        UpdateFile(record);
    }
    status_.SetStatus("更新完成");
    StartClient();
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
    return fw::GetText(server_, port_, tovan::kVersionListPath, body, &status) && status <= 299;
}

void CTvUpdateApp::UpdateFile(const tovan::VersionRecord& record) {
    const UINT installed = GetPrivateProfileIntA(
        record.name.c_str(), tovan::kUpdateVersionKey, tovan::kDefaultInstalledVersion,
        (programFolder_ + tovan::kUpdateIni).c_str());
    // A name that would reach outside the program folder is passed over like
    // a file the service does not serve.
    if (tovan::DecideRecord(record, installed) != tovan::RecordAction::Fetch) return;

    HANDLE buffer = CreateDownloadBuffer(programFolder_ + tovan::kDownloadBuffer);
    const tovan::DownloadResult result = Download(record.name, buffer);
    if (buffer != INVALID_HANDLE_VALUE) CloseHandle(buffer);

    const tovan::DownloadFollowUp next = tovan::AfterDownload(result);
    if (next.tellFailure) {
        fw::AppMessageBox(status_.hwnd(), "更新程序失败！", "更新", MB_OK);
    }
    if (next.install) Install(record.name, record.version);
}

tovan::DownloadResult CTvUpdateApp::Download(const std::string& name, HANDLE buffer) {
    fw::HttpGet get;
    if (!get.Send(server_, port_, tovan::DownloadPath(name))) {
        return tovan::DownloadResult::RequestFailed;
    }
    if (get.StatusCode() >= 300) return tovan::DownloadResult::NotServed;

    unsigned long long announced = 0;
    const bool hasLength = get.ContentLength(&announced);
    unsigned long long received = 0;
    char piece[kPieceSize];
    for (;;) {
        DWORD got = 0;
        if (!get.Read(piece, sizeof piece, &got)) return tovan::DownloadResult::Broken;
        if (got == 0) break;
        Sleep(1);
        if (!WritePiece(buffer, piece, got, name)) return tovan::DownloadResult::Cancelled;
        received += got;
    }
    // A reply that broke off early would install a cut file.
    if (hasLength && received != announced) return tovan::DownloadResult::Broken;
    return tovan::DownloadResult::Complete;
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

void CTvUpdateApp::Install(const std::string& name, const std::string& version) {
    const std::string download = programFolder_ + tovan::kDownloadBuffer;
    const bool replaced =
        CopyFileA(download.c_str(), (programFolder_ + name).c_str(), FALSE) != FALSE;
    const std::string backup = tovan::BackupFolder(SystemFolder());
    CreateDirectoryA(backup.c_str(), nullptr);
    CopyFileA(download.c_str(), (backup + name).c_str(), FALSE);
    if (tovan::ShouldRecordVersion(replaced)) {
        WritePrivateProfileStringA(name.c_str(), tovan::kUpdateVersionKey, version.c_str(),
                                   (programFolder_ + tovan::kUpdateIni).c_str());
    }
}

void CTvUpdateApp::StartClient() {
    // The client of this program folder, by its full path: a bare name would
    // let the shell find another one on the search path.
    std::string folder = programFolder_;
    if (!folder.empty()) folder.pop_back();
    ShellExecuteA(nullptr, "open", (programFolder_ + "tovanclient.exe").c_str(), nullptr,
                  folder.c_str(), SW_SHOW);
}
