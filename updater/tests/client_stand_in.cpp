// Stands in for TovanClient.exe in the tests of the updater and the setup
// tool: it appends one line to "started.txt" beside itself, holding the
// folder it was started in, so that a test sees that, and where, it ran.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char exe[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string marker(exe, n);
    marker = marker.substr(0, marker.find_last_of('\\') + 1) + "started.txt";

    char cwd[MAX_PATH] = {};
    const DWORD c = GetCurrentDirectoryA(MAX_PATH, cwd);
    const std::string line = std::string(cwd, c) + "\r\n";

    HANDLE f = CreateFileA(marker.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(f);
    return 0;
}
