// Test driver for a running TovanClient of any build, release included: it
// uses only what every build answers (windows found by class and title,
// controls by id, public window messages), never a test hook.
//   release_driver.exe title
//       waits up to 15 s for the visible frame and prints its title (GBK)
//   release_driver.exe scroll ROW
//       drags the record grid's scroll thumb to ROW
//   release_driver.exe wheel NOTCHES
//       turns the mouse wheel over the record grid NOTCHES notches down
//       (up when negative)
//   release_driver.exe activate
//       makes the frame the foreground window, as a click on its title does
//   release_driver.exe talk ROW
//       double-clicks the talk column of ROW (scrolled to the top)
//   release_driver.exe chats
//       prints the title of every chat window, one a line
//   release_driver.exe chat-text
//       prints the conversation of the (first) chat window (GBK)
//   release_driver.exe chat-say HEX
//       types the text (its GBK bytes in hexadecimal) and presses Enter
//   release_driver.exe chat-click HEX
//       clicks the first character of the last place the text starts in the
//       conversation, as a user clicks a link
//   release_driver.exe windows
//       prints the client's visible top-level windows, top first in Windows'
//       z-order: "<X window id> <1 when active> <title>" (hexadecimal, GBK)
//   release_driver.exe chat-voice | chat-close
//       presses the chat window's voice or close button
//   release_driver.exe watch SECONDS
//       once a second for SECONDS, one line: the milliseconds the frame took
//       to answer WM_NULL (-1: not within 5 s, or no frame) and the lines of
//       the connection log window (-1: not made yet)
// Exit code 0 when it worked.
#include <windows.h>

#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/driver_windows.h"

namespace {

int Title() {
    for (int tries = 0; tries < 300; ++tries, Sleep(50)) {
        HWND frame = driver::Frame();
        if (!frame || !IsWindowVisible(frame)) continue;
        driver::PrintBytes(driver::TextOf(frame));
        return 0;
    }
    return 1;
}

int Wheel(int notches) {
    HWND grid = driver::Grid();
    if (!grid || notches == 0) return 1;
    const WORD delta = static_cast<WORD>(notches > 0 ? -WHEEL_DELTA : WHEEL_DELTA);
    RECT r;
    GetWindowRect(grid, &r);
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);  // screen coordinates
    for (int i = 0; i < std::abs(notches); ++i) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(grid, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), at,
                                 SMTO_ABORTIFHUNG, 5000, &result))
            return 1;
    }
    return 0;
}

// The user clicks the frame's title: it becomes the foreground window.
int ActivateFrame() {
    HWND frame = driver::Frame();
    return frame && SetForegroundWindow(frame) ? 0 : 1;
}

int Chats() {
    for (HWND w : driver::ChatWindows()) {
        driver::PrintBytes(driver::TextOf(w));
        std::printf("\n");
    }
    return 0;
}

// The conversation view, a rich edit: asked for its text with a buffer large
// enough (its length does not reach another process, and a buffer of the
// length it gives as UTF-16 comes back empty).
std::vector<char> ViewText(HWND view) {
    for (std::size_t size = 1 << 16; size <= (1u << 24); size *= 4) {
        std::vector<char> text(size);
        DWORD_PTR got = 0;
        if (!SendMessageTimeoutA(view, WM_GETTEXT, size, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                                 5000, &got))
            break;
        const std::size_t n = std::strlen(text.data());
        if (n + 1 < size) {
            text.resize(n);
            return text;
        }
    }
    return {};
}

HWND ChatView() {
    HWND chat = driver::FirstChat();
    return chat ? GetDlgItem(chat, driver::kChatView) : nullptr;
}

int ChatText() {
    HWND view = ChatView();
    if (!view) return 1;
    driver::PrintBytes(ViewText(view));
    return 0;
}

// The index of the first character of the last place the text starts in the
// view, found line by line (a line's index and text are what an edit
// control's messages give), -1 when it is not there.
long FindInView(HWND view, const std::wstring& wanted) {
    DWORD_PTR lines = 0;
    if (wanted.empty() || !SendMessageTimeoutW(view, EM_GETLINECOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &lines)) return -1;
    for (long line = static_cast<long>(lines) - 1; line >= 0; --line) {
        std::vector<wchar_t> buf(4096);
        buf[0] = static_cast<wchar_t>(buf.size() - 1);  // what the buffer holds, in its first word
        DWORD_PTR got = 0, first = 0;
        if (!SendMessageTimeoutW(view, EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(buf.data()),
                                 SMTO_ABORTIFHUNG, 5000, &got) ||
            !SendMessageTimeoutW(view, EM_LINEINDEX, static_cast<WPARAM>(line), 0, SMTO_ABORTIFHUNG, 5000, &first))
            return -1;
        const std::wstring text(buf.data(), std::min<std::size_t>(got, buf.size()));
        const std::size_t at = text.rfind(wanted);
        if (at != std::wstring::npos) return static_cast<long>(first + at);
    }
    return -1;
}

int ChatClick(const std::string& gbk) {
    HWND view = ChatView();
    if (!view) return 1;
    const int n = MultiByteToWideChar(CP_ACP, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    std::wstring wanted(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, gbk.data(), static_cast<int>(gbk.size()), &wanted[0], n);
    const long index = FindInView(view, wanted);
    if (index < 0) return 1;
    // The rich edit's own form: the character's index in, its place out.
    DWORD_PTR place = 0;
    if (!SendMessageTimeoutA(view, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0, SMTO_ABORTIFHUNG, 5000, &place))
        return 1;
    const LPARAM point = MAKELPARAM(LOWORD(place) + 2, HIWORD(place) + 2);
    PostMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(view, WM_LBUTTONUP, 0, point);
    return 0;
}

int WatchFrame(int seconds) {
    for (int i = 0; i < seconds; ++i) {
        const DWORD start = GetTickCount();
        DWORD_PTR result = 0;
        HWND frame = driver::Frame();
        const bool answered =
            frame && SendMessageTimeoutA(frame, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
        const long answerMs = answered ? static_cast<long>(GetTickCount() - start) : -1;
        long logLines = -1;
        DWORD_PTR count = 0;
        HWND log = FindWindowA("#32770", "登录日志");
        if (log && SendMessageTimeoutA(GetDlgItem(log, driver::kLogList), LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG,
                                       5000, &count)) {
            logLines = static_cast<long>(count);
        }
        std::printf("%ld %ld\n", answerMs, logLines);
        std::fflush(stdout);
        const DWORD spent = GetTickCount() - start;
        if (spent < 1000) Sleep(1000 - spent);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc >= 2 ? argv[1] : "";
    if (argc == 2 && command == "title") return Title();
    if (argc == 3 && command == "scroll") return driver::Scroll(std::atoi(argv[2]));
    if (argc == 3 && command == "wheel") return Wheel(std::atoi(argv[2]));
    if (argc == 3 && command == "talk") return driver::Talk(std::atoi(argv[2]));
    if (argc == 2 && command == "activate") return ActivateFrame();
    if (argc == 2 && command == "chats") return Chats();
    if (argc == 2 && command == "windows") return driver::PrintWindows();
    if (argc == 2 && command == "chat-text") return ChatText();
    if (argc == 3 && command == "chat-say") return driver::ChatSay(driver::Unhex(argv[2]));
    if (argc == 3 && command == "chat-click") return ChatClick(driver::Unhex(argv[2]));
    if (argc == 2 && command == "chat-voice") return driver::ChatPress(driver::kChatVoice);
    if (argc == 2 && command == "chat-close") return driver::ChatPress(IDCANCEL);
    if (argc == 3 && command == "watch") return WatchFrame(std::atoi(argv[2]));
    return 2;
}
