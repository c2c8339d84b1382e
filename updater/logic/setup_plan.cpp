#include "updater/logic/setup_plan.h"

#include <cstring>

#include "text/gbk.h"
#include "text/replace.h"

namespace tovan {

SetupCommand ParseSetupCommand(int argc, const char* const* argv) {
    if (argc < 2) return SetupCommand::Install;
    return std::strcmp(argv[1], "/u") == 0 ? SetupCommand::Uninstall : SetupCommand::Nothing;
}

std::string SetupSettingsPath(std::string_view programFolder) {
    return std::string(programFolder) + "\\config.ini";
}

std::string ShortcutName(std::string_view configured) {
    if (configured.empty() || GbkContains(configured, "\\") || GbkContains(configured, "/")) {
        return kDefaultShortcutName;
    }
    return std::string(configured);
}

std::string ShortcutTarget(std::string_view programFolder) {
    return std::string(programFolder) + "tovanclient.exe";
}

std::string WithoutAllUsers(std::string_view path) { return GbkRemoveAll(path, "\\All Users"); }

std::vector<std::string> ShortcutPaths(const std::optional<std::string>& commonDesktop,
                                       const std::optional<std::string>& commonPrograms,
                                       std::string_view name) {
    const std::string file = "\\" + std::string(name) + ".lnk";
    std::vector<std::string> paths;
    if (commonDesktop && !commonDesktop->empty()) paths.push_back(*commonDesktop + file);
    if (commonPrograms && !commonPrograms->empty()) {
        const std::string programs = *commonPrograms + file;
        paths.push_back(programs);
        std::string shortened = WithoutAllUsers(programs);
        if (shortened != programs) paths.push_back(std::move(shortened));
    }
    return paths;
}

std::string UninstallCommand(std::string_view programFolder) {
    return std::string(programFolder) + "Brivet.exe /u";
}

bool IsDeletedOnUninstall(std::string_view entryName) { return GbkCharCount(entryName) > 3; }

std::vector<std::string> UninstallDeletions(const std::vector<std::string>& entryNames,
                                            std::string_view programFolder,
                                            std::string_view backupFolder) {
    std::vector<std::string> paths;
    for (const std::string& name : entryNames) {
        if (!IsDeletedOnUninstall(name)) continue;
        paths.push_back(std::string(backupFolder) + name);
        paths.push_back(std::string(programFolder) + name);
    }
    return paths;
}

namespace {

// A folder's name for comparing: "/" as "\", ASCII letters upper-cased
// (outside double-byte characters), no trailing separator.
std::string FolderKey(std::string_view folder) {
    std::string key;
    std::size_t end = 0;  // length up to the last character that is no separator
    for (std::size_t i = 0; i < folder.size();) {
        const std::size_t n = GbkCharLength(folder, i);
        if (n == 2) {
            key.append(folder.substr(i, 2));  // its second byte may equal "\\"
        } else {
            char c = folder[i] == '/' ? '\\' : folder[i];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            key += c;
        }
        if (n == 2 || key.back() != '\\') end = key.size();
        i += n;
    }
    key.resize(end);
    return key;
}

bool IsRoot(const std::string& key) {
    if (key.size() == 2 && key[1] == ':') return true;
    if (key.size() < 2 || key[0] != '\\' || key[1] != '\\') return false;
    const std::size_t share = key.find('\\', 2);
    return share == std::string::npos || key.find('\\', share + 1) == std::string::npos;
}

}  // namespace

UninstallPlace JudgeUninstallFolder(std::string_view folder,
                                    const std::vector<std::string>& systemFolders,
                                    const std::vector<std::string>& shellFolders, bool clientBeside) {
    const std::string key = FolderKey(folder);
    if (key.empty() || IsRoot(key)) return UninstallPlace::DriveRoot;
    for (const std::string& s : systemFolders) {
        const std::string system = FolderKey(s);
        if (system.empty()) continue;
        if (key == system || key.rfind(system + "\\", 0) == 0) return UninstallPlace::SystemFolder;
    }
    for (const std::string& s : shellFolders)
        if (!s.empty() && key == FolderKey(s)) return UninstallPlace::ShellFolder;
    return clientBeside ? UninstallPlace::Installation : UninstallPlace::NoClient;
}

}  // namespace tovan
