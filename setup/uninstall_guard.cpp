#include "setup/uninstall_guard.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <vector>

#include "setup/console_text.h"
#include "updater/logic/setup_plan.h"

namespace brivet {
namespace {

std::string Folder(UINT (WINAPI* get)(LPSTR, UINT)) {
    char path[MAX_PATH] = {};
    const UINT n = get(path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

std::vector<std::string> ShellFolders() {
    // Every folder the shell keeps for users and programs: a tool copied into
    // one of them would empty it.
    // The common desktop and programs folders are taken from the values the
    // shortcuts are made from: asking the shell for them rewrites those values.
    const int ids[] = {CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_COMMON_DOCUMENTS,
                       CSIDL_MYMUSIC, CSIDL_MYPICTURES, CSIDL_MYVIDEO, CSIDL_PROFILE,
                       CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_COMMON_APPDATA,
                       CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON,
                       CSIDL_PROGRAMS, CSIDL_STARTMENU, CSIDL_STARTUP, CSIDL_FAVORITES,
                       CSIDL_TEMPLATES, CSIDL_RECENT, CSIDL_SENDTO, CSIDL_INTERNET_CACHE,
                       CSIDL_COOKIES, CSIDL_HISTORY};
    std::vector<std::string> folders;
    for (const char* value : {"Common Desktop", "Common Programs"}) {
        char path[MAX_PATH] = {};
        DWORD size = sizeof path - 1;
        if (RegGetValueA(HKEY_LOCAL_MACHINE, tovan::kShellFoldersKey, value, RRF_RT_REG_SZ, nullptr,
                         path, &size) == ERROR_SUCCESS) {
            folders.emplace_back(path);
        }
    }
    for (int id : ids) {
        char path[MAX_PATH] = {};
        if (SUCCEEDED(SHGetFolderPathA(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path))) {
            folders.emplace_back(path);
        }
    }
    char temp[MAX_PATH] = {};
    const DWORD n = GetTempPathA(MAX_PATH, temp);
    if (n > 0 && n < MAX_PATH) folders.emplace_back(temp, n);
    return folders;
}

}  // namespace

bool MayUninstallFrom(const std::string& folder) {
    const std::vector<std::string> system = {Folder(GetWindowsDirectoryA),
                                             Folder(GetSystemDirectoryA),
                                             Folder(GetSystemWow64DirectoryA)};
    const DWORD client = GetFileAttributesA((folder + "TovanClient.exe").c_str());
    const bool clientBeside = client != INVALID_FILE_ATTRIBUTES && !(client & FILE_ATTRIBUTE_DIRECTORY);
    if (tovan::JudgeUninstallFolder(folder, system, ShellFolders(), clientBeside) ==
        tovan::UninstallPlace::Installation) {
        return true;
    }
    Say(tovan::kUninstallRefused);
    MessageBoxA(nullptr, tovan::kUninstallRefused, tovan::kDefaultShortcutName, MB_OK | MB_ICONSTOP);
    return false;
}

}  // namespace brivet
