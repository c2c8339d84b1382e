#include "fw/program_path.h"

#include <windows.h>

namespace fw {

std::string ProgramFolder() {
    char path[2000] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path - 1);
    // Walk by characters: the second byte of a GBK character may be a backslash.
    std::size_t end = 0;
    for (DWORD i = 0; i < n; ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < n) {
            ++i;
        } else if (path[i] == '\\') {
            end = i + 1;
        }
    }
    return std::string(path, end);
}

std::string ProgramFilePath(const char* name) { return ProgramFolder() + name; }

}  // namespace fw
