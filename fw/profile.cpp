#include "profile.h"

#include <windows.h>

#include <vector>

namespace fw {

std::string ReadProfileString(const std::string& file, const char* section, const char* key,
                              const char* def, std::size_t bufferSize) {
    if (bufferSize == 0) return {};
    std::vector<char> buffer(bufferSize, '\0');
    const DWORD n = GetPrivateProfileStringA(section, key, def ? def : "", buffer.data(),
                                             static_cast<DWORD>(bufferSize), file.c_str());
    return std::string(buffer.data(), n < bufferSize ? n : bufferSize - 1);
}

int ReadProfileInt(const std::string& file, const char* section, const char* key, int def) {
    return static_cast<int>(GetPrivateProfileIntA(section, key, def, file.c_str()));
}

bool WriteProfileString(const std::string& file, const char* section, const char* key,
                        const char* value) {
    return WritePrivateProfileStringA(section, key, value, file.c_str()) != FALSE;
}

}  // namespace fw
