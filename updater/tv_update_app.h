// TvUpdate.exe: replaces the files the web service lists as newer than
// update.ini records, keeps a backup copy of each, and starts the client
// again, whatever happened.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

#include "fw/http_get.h"
#include "updater/logic/update_plan.h"
#include "updater/upload_dlg.h"

class CTvUpdateApp {
public:
    // The whole run: wait, check, update, start the client. Returns the
    // program's exit code.
    int Run();

private:
    // Host and port of Config.ini [URL] Merovan; false when it is no address.
    bool ReadServer();
    // The version list's body; false when it could not be fetched.
    bool FetchVersionList(std::string* body);
    void UpdateFile(const tovan::VersionRecord& record);
    // Runs on a worker thread while the status window keeps answering.
    tovan::DownloadResult Download(const std::string& name, HANDLE buffer);
    // Writes one piece, asking Retry/Cancel while the write fails; false on Cancel.
    bool WritePiece(HANDLE buffer, const char* data, DWORD size, const std::string& name);
    // True when the download buffer holds an image of the kind name promises.
    bool DownloadIsSound(const std::string& name);
    void Install(const std::string& name, const std::string& version);
    void StartClient();
    // How long one request may hold the run at most: the deadline of a
    // download, a late start and a late end. Past it the platform's network
    // call is stuck for good.
    DWORD HardLimitMs() const;
    // A request got stuck beyond every time-out: the client is started and
    // the run ends, so that the user is never left without a client.
    void Abandon();

    std::string programFolder_;  // with its trailing "\"
    std::string server_;
    INTERNET_PORT port_ = 0;
    fw::HttpLimits limits_;
    DWORD downloadDeadlineMs_ = 0;  // one file may take this long

    DWORD failureNoticeMs_ = 0;

    DWORD stallWindowMs_ = 0;  // a body bringing under 1 KB this long is given up
    CUploadDlg status_;
};
