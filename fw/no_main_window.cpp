#include "fw/no_main_window.h"

#include <cstdio>
#include <string>

#include "fw/message_box.h"

namespace fw {
namespace {

// The system's text for error without its line end; empty when it has none.
std::string SystemErrorText(DWORD error) {
    char* text = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string s(text ? text : "", text ? n : 0);
    if (text) LocalFree(text);
    while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

void WriteToStandardError(const std::string& text) {
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (!err || err == INVALID_HANDLE_VALUE) return;
    const std::string line = AppTitle() + ": " + text + "\r\n";
    DWORD written = 0;
    WriteFile(err, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::string NoMainWindowText(DWORD error) {
    std::string text = "主窗口创建失败。";
    if (error == 0) return text;
    char number[32];
    std::snprintf(number, sizeof number, "（错误代码 %lu）", static_cast<unsigned long>(error));
    const std::string reason = SystemErrorText(error);
    return text + "\n" + (reason.empty() ? std::string() : reason + " ") + number;
}

}  // namespace

int ReportNoMainWindow(DWORD error) {
    const std::string text = NoMainWindowText(error);
    // A box that could not be made answers 0 (or, under Wine, -1), never a button.
    if (AppMessageBox(nullptr, text, nullptr, MB_OK | MB_ICONSTOP) <= 0) {
        WriteToStandardError(text);
    }
    return kNoMainWindowExitCode;
}

}  // namespace fw
