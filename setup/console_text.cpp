#include "setup/console_text.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace brivet {

void Say(const char* line) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode)) {
        const std::string text = std::string(line) + "\r\n";
        const int n = MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        std::vector<wchar_t> wide(static_cast<std::size_t>(n > 0 ? n : 0));
        if (n > 0 && MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), wide.data(), n) > 0) {
            DWORD written = 0;
            WriteConsoleW(out, wide.data(), static_cast<DWORD>(n), &written, nullptr);
            return;
        }
    }
    std::printf("%s\n", line);  // text mode: CR LF
    std::fflush(stdout);
}

}  // namespace brivet
