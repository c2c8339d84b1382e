// The setup tool's decisions that need no platform: its command, the names
// and paths of the shortcuts and the uninstall entry, and which files an
// uninstall deletes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovan {

enum class SetupCommand { Install, Uninstall, Nothing };

// No argument installs; a first argument of exactly "/u" uninstalls; anything
// else does nothing.
SetupCommand ParseSetupCommand(int argc, const char* const* argv);

constexpr const char* kDefaultShortcutName = "Tovan客户端";
constexpr std::size_t kShortcutNameBufferSize = 2000;
constexpr std::size_t kShellFolderBufferSize = 2000;
constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The settings file as the tool names it: programFolder (with its trailing
// separator) + "\config.ini"; the doubled separator is harmless.
std::string SetupSettingsPath(std::string_view programFolder);

// The name of the shortcuts and of the uninstall entry, from Config.ini
// [Display] ShortCut. A value that is empty or holds a path separator would
// name the uninstall list itself or another key, so it gives the default.
std::string ShortcutName(std::string_view configured);

// What every shortcut points at.
std::string ShortcutTarget(std::string_view programFolder);

// The shortcut files: desktop, programs, and the programs one without
// "\All Users" (left out when that is the same file). A shell folder that
// could not be read (nullopt or empty) gives no shortcut.
std::vector<std::string> ShortcutPaths(const std::optional<std::string>& commonDesktop,
                                       const std::optional<std::string>& commonPrograms,
                                       std::string_view name);

// Every occurrence of "\All Users" removed.
std::string WithoutAllUsers(std::string_view path);

// The uninstall entry's command: the program folder then "Brivet.exe /u",
// unquoted, as the software list has always been given it.
std::string UninstallCommand(std::string_view programFolder);

// Uninstall deletes every entry of the program folder whose name is longer
// than three characters (which passes over "." and ".."): first the backup
// copy of that name, then the file itself. Paths in the order to delete them.
bool IsDeletedOnUninstall(std::string_view entryName);
std::vector<std::string> UninstallDeletions(const std::vector<std::string>& entryNames,
                                            std::string_view programFolder,
                                            std::string_view backupFolder);

// Where "/u" was run from. Uninstall deletes every file of its folder, so it
// runs only in a folder that is this system's installation.
enum class UninstallPlace {
    Installation,  // the client lies beside the tool in a folder of its own
    DriveRoot,     // "C:\" or "\\server\share\"
    SystemFolder,  // the Windows folder, the system folder, or inside them
    ShellFolder,   // a desktop, the documents, the program files...
    NoClient,      // no TovanClient.exe beside the tool
};

// folder: the tool's folder. systemFolders are refused with all inside them,
// shellFolders only themselves; names compare case aside, with or without a
// trailing separator.
UninstallPlace JudgeUninstallFolder(std::string_view folder,
                                    const std::vector<std::string>& systemFolders,
                                    const std::vector<std::string>& shellFolders, bool clientBeside);

// The line printed and shown when the tool refuses to uninstall.
constexpr const char* kUninstallRefused =
    "此文件夹不是Tovan客户端的安装文件夹，卸载已取消，没有删除任何文件。";

}  // namespace tovan
