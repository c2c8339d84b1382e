// TvUpdate.exe: replaces the files the web service lists as newer than
// update.ini records, keeps a backup copy of each, and starts the client
// again, whatever happened.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

#include "update_plan.h"
#include "upload_dlg.h"

class CTvUpdateApp {
public:
    // The whole run: wait, check, update, start the client.
    void Run();

private:
    // Host and port of Config.ini [URL] Merovan; false when it is no address.
    bool ReadServer();
    // The version list's body; false when it could not be fetched.
    bool FetchVersionList(std::string* body);
    void UpdateFile(const tovan::VersionRecord& record);
    tovan::DownloadResult Download(const std::string& name, HANDLE buffer);
    // Writes one piece, asking Retry/Cancel while the write fails; false on Cancel.
    bool WritePiece(HANDLE buffer, const char* data, DWORD size, const std::string& name);
    void Install(const std::string& name, const std::string& version);
    void StartClient();

    std::string programFolder_;  // with its trailing "\"
    std::string server_;
    INTERNET_PORT port_ = 0;
    CUploadDlg status_;
};
