#include "setup/brivet.h"

#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "setup/console_text.h"
#include "fw/program_path.h"
#include "fw/profile.h"
#include "updater/logic/setup_plan.h"
#include "setup/shell_link.h"
#include "updater/logic/update_plan.h"

namespace brivet {
namespace {

std::string Name(const std::string& programFolder) {
    return tovan::ShortcutName(fw::ReadProfileString(tovan::SetupSettingsPath(programFolder),
                                                     "Display", "ShortCut",
                                                     tovan::kDefaultShortcutName,
                                                     tovan::kShortcutNameBufferSize));
}

std::optional<std::string> ShellFolder(HKEY key, const char* value) {
    if (!key) return std::nullopt;
    std::vector<char> buffer(tovan::kShellFolderBufferSize + 1, '\0');
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(tovan::kShellFolderBufferSize);
    if (RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    return std::string(buffer.data());  // stops at the stored terminator
}

std::vector<std::string> ShortcutFiles(const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, tovan::kShellFoldersKey, 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS) {
        key = nullptr;
    }
    std::vector<std::string> files = tovan::ShortcutPaths(ShellFolder(key, "Common Desktop"),
                                                          ShellFolder(key, "Common Programs"), name);
    if (key) RegCloseKey(key);
    return files;
}

std::string SystemFolder() {
    char path[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryA(path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "*.*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        names.push_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

}  // namespace

void Install() {
    const std::string folder = fw::ProgramFolder();

    Say("正在建立快捷方式...");
    const std::string target = tovan::ShortcutTarget(folder);
    for (const std::string& link : ShortcutFiles(Name(folder))) CreateShortcut(target, link);

    Say("正在创建卸载信息...");
    const std::string name = Name(folder);
    HKEY uninstall = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, tovan::kUninstallKey, 0, KEY_ALL_ACCESS, &uninstall) ==
        ERROR_SUCCESS) {
        HKEY entry = nullptr;
        if (RegCreateKeyA(uninstall, name.c_str(), &entry) == ERROR_SUCCESS) {
            const std::string command = tovan::UninstallCommand(folder);
            RegSetValueExA(entry, "DisplayName", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(name.c_str()),
                           static_cast<DWORD>(name.size() + 1));
            RegSetValueExA(entry, "UninstallString", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(command.c_str()),
                           static_cast<DWORD>(command.size() + 1));
            RegCloseKey(entry);
        }
        RegCloseKey(uninstall);
    }

    WinExec("tovanclient.exe", SW_SHOWNORMAL);
}

void Uninstall() {
    const std::string folder = fw::ProgramFolder();

    Say("正在删除快捷方式...");
    for (const std::string& link : ShortcutFiles(Name(folder))) DeleteFileA(link.c_str());

    Say("正在删除卸载信息...");
    const std::string name = Name(folder);
    HKEY uninstall = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, tovan::kUninstallKey, 0, KEY_ALL_ACCESS, &uninstall) ==
        ERROR_SUCCESS) {
        RegDeleteKeyA(uninstall, name.c_str());
        RegCloseKey(uninstall);
    }

    Say("正在删除文件...");
    // The listing is taken whole first, so that deleting does not disturb it.
    const std::vector<std::string> paths = tovan::UninstallDeletions(
        FolderEntries(folder), folder, tovan::BackupFolder(SystemFolder()));
    for (const std::string& path : paths) DeleteFileA(path.c_str());
}

}  // namespace brivet
