#include "updater/logic/update_files.h"

#include "updater/logic/version_list.h"
#include "text/gbk.h"

namespace tovan {
namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

}  // namespace

bool IsDeviceName(std::string_view name) {
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"})
        if (EqualNoCase(base, device)) return true;
    if (base.size() == 4 && (EqualNoCase(base.substr(0, 3), "COM") || EqualNoCase(base.substr(0, 3), "LPT")))
        return base[3] >= '0' && base[3] <= '9';
    return false;
}

bool IsSafeUpdateFileName(std::string_view name) {
    if (name.empty() || name.find("..") != std::string_view::npos) return false;
    for (std::size_t i = 0; i < name.size(); i += GbkCharLength(name, i)) {
        if (GbkCharLength(name, i) == 2) {
            // Only a real second byte makes a character: the platform reads a
            // lead byte before anything else (":", "\x01") on its own, and the
            // byte after it as itself.
            const unsigned char t = static_cast<unsigned char>(name[i + 1]);
            if (t < 0x40 || t == 0x7F || t == 0xFF) return false;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (IsGbkLeadByte(c)) return false;  // a lead byte with nothing after it
        if (c < 0x20 || c == 0x7F) return false;
        switch (c) {
            case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>':
            case '|':
                return false;
            default:
                break;
        }
    }
    // The platform drops trailing dots and blanks ("a." would name "a"); a GBK
    // second byte is never one of them.
    if (name.back() == '.' || name.back() == ' ') return false;
    return !IsDeviceName(name);
}

bool IsStartedByUpdater(std::string_view commandLine) {
    std::size_t i = 0;
    bool first = true;
    while (i < commandLine.size()) {
        while (i < commandLine.size() && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
        if (i >= commandLine.size()) break;
        std::size_t end = i;
        if (commandLine[i] == '"') {
            end = commandLine.find('"', i + 1);
            end = end == std::string_view::npos ? commandLine.size() : end + 1;
        } else {
            while (end < commandLine.size() && commandLine[end] != ' ' && commandLine[end] != '\t') ++end;
        }
        if (!first && EqualNoCase(commandLine.substr(i, end - i), kStartedByUpdaterArgument)) return true;
        first = false;
        i = end;
    }
    return false;
}

bool IsUpdaterFile(std::string_view name) { return EqualNoCase(name, kUpdaterFileName); }

bool IsUpdateDue(std::string_view name, std::string_view versionText, std::uint32_t installed) {
    return IsNewerVersion(installed, versionText) && IsSafeUpdateFileName(name);
}

}  // namespace tovan
