#include "fw/profile.h"

#include <windows.h>

#include <vector>

#include "fw/logic/ini_edit.h"

namespace fw {

namespace {

// Where the platform's profile functions look for a file: a bare name lies
// in the Windows directory, anything else is a path.
std::string ProfilePath(const std::string& file) {
    if (file.find_first_of("\\/") == std::string::npos) {
        char dir[MAX_PATH] = {};
        const UINT n = GetWindowsDirectoryA(dir, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return file;
        return std::string(dir) + "\\" + file;
    }
    char full[MAX_PATH] = {};
    const DWORD n = GetFullPathNameA(file.c_str(), MAX_PATH, full, nullptr);
    return n == 0 || n >= MAX_PATH ? file : std::string(full, n);
}

// The whole file, or nothing when it does not exist. False when it exists
// but cannot be read.
bool ReadWholeFile(const std::string& path, std::string& text) {
    text.clear();
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        const DWORD e = GetLastError();
        return e == ERROR_FILE_NOT_FOUND;
    }
    bool ok = true;
    char buf[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(f, buf, sizeof buf, &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        text.append(buf, got);
    }
    CloseHandle(f);
    return ok;
}

// Writes text beside path under another name, flushed to the disk, then puts
// it in place of path in one step: a crash leaves the old file or the new.
bool ReplaceWholeFile(const std::string& path, const std::string& text) {
    const std::string temp = path + ".tmp";
    HANDLE f = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size() && FlushFileBuffers(f);
    CloseHandle(f);
    if (!ok || !MoveFileExA(temp.c_str(), path.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temp.c_str());
        return false;
    }
    return true;
}

bool IsUtf16(const std::string& text) {
    return text.size() >= 2 && ((text[0] == '\xFF' && text[1] == '\xFE') ||
                                (text[0] == '\xFE' && text[1] == '\xFF'));
}

}  // namespace

std::string ReadProfileString(const std::string& file, const char* section, const char* key,
                              const char* def, std::size_t bufferSize) {
    if (bufferSize == 0) return {};
    std::vector<char> buffer(bufferSize, '\0');
    const DWORD n = GetPrivateProfileStringA(section, key, def ? def : "", buffer.data(),
                                             static_cast<DWORD>(bufferSize), file.c_str());
    return std::string(buffer.data(), n < bufferSize ? n : bufferSize - 1);
}

bool ReadProfileFile(const std::string& file, std::string& text) {
    return ReadWholeFile(ProfilePath(file), text);
}

int ReadProfileInt(const std::string& file, const char* section, const char* key, int def) {
    return static_cast<int>(GetPrivateProfileIntA(section, key, def, file.c_str()));
}

bool WriteProfileString(const std::string& file, const char* section, const char* key,
                        const char* value) {
    // The platform may hold the file's contents: what it wrote goes to the
    // disk first, and afterwards it must read our new file, not its copy.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
    const std::string path = ProfilePath(file);
    std::string text;
    if (!ReadWholeFile(path, text)) return false;
    if (IsUtf16(text)) {
        // Not one of ours: the platform knows its encoding.
        return WritePrivateProfileStringA(section, key, value, file.c_str()) != FALSE;
    }
    const std::string edited = EditIniText(text, section, key, value);
    const bool ok = edited == text || ReplaceWholeFile(path, edited);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
    return ok;
}

}  // namespace fw
