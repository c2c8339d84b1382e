// Test driver for a running TovanClient (test build), run in its Wine prefix.
//   client_driver.exe post "<message with ^>"
//       the client sends the text as one of its windows would
//   client_driver.exe dismiss-duplicate
//       finds the second instance's message box, checks its text, presses OK
//   client_driver.exe title
//       prints the frame's title (GBK bytes, no line end)
//   client_driver.exe state
//       prints "<list size> <loaded rows> <grid rows> <first visible row>"
//   client_driver.exe rows FIRST COUNT
//       prints "<id> <status>" for each of those rows of the current list,
//       one line each; "-1 -1" for a row without data
//   client_driver.exe scroll ROW
//       scrolls the record grid so that ROW is its first visible row
//   client_driver.exe send-burst COUNT SIZE
//       the client sends COUNT messages "!NETBURST!|<i>|<SIZE times x>^",
//       i from 0, one after the other
//   client_driver.exe updater-answers
//       asks the updater's status window for an answer: exit code 0 when it
//       answered within a second, 1 when it did not, 3 when there is none
//   client_driver.exe key-f1
//       presses F1 in the frame
//   client_driver.exe command ID
//       sends the frame the command ID (as a menu item would)
//   client_driver.exe panes
//       prints "<name> <shown> <left> <top> <right> <bottom>" (frame client
//       coordinates) for tree, top, right and view, one line each
//   client_driver.exe click-glyph ID
//       clicks the close glyph with control id ID (1003 right, 1004 top)
//   client_driver.exe window CLASS
//       waits up to 15 s for a visible top-level window of CLASS and prints
//       its title (GBK bytes)
//   client_driver.exe boxes
//       prints the titles of the visible dialog boxes (#32770), one a line
//   client_driver.exe talk ROW
//       scrolls ROW to the top of the record grid and double-clicks its talk
//       (rightmost) column with the mouse messages a user's double-click sends
//   client_driver.exe chats
//       prints the title of every chat window, one a line
//   client_driver.exe chat-colour HEX
//       prints the colour (decimal COLORREF) of the last place the text
//       starts in the conversation of the (first) chat window, -1 when it is
//       not there
//   client_driver.exe chat-say HEX
//       types the text into the chat input and presses Enter
//       (HEX: the GBK bytes of the text in hexadecimal, so that no code page
//       comes between the test and the client)
//   client_driver.exe chat-move X Y
//       moves the chat window to screen position (X, Y), on top
//   client_driver.exe chat-close
//       presses the chat window's close button
//   client_driver.exe chat-voice
//       presses the chat window's voice button
//   client_driver.exe chat-click HEX
//       clicks (left button down and up) the first character of the last
//       place the text starts in the conversation, as a user clicks a link
//   client_driver.exe message-box [HEX]
//       waits for the client's message box (caption "TovanClient", or the
//       caption HEX), prints its text and presses OK
//   client_driver.exe post-command ID
//       posts the frame the command ID (for commands that open a modal dialog)
//   client_driver.exe login NAME_HEX PASSWORD_HEX
//       waits up to 15 s for the login dialog, types the name and password
//       (GBK bytes in hexadecimal) and presses OK: exit code 0 when the
//       dialog closed; 4 when it stayed open, its red line printed
//   client_driver.exe front
//       prints the active window's title (GBK bytes), then "frame <0|1>" (the
//       frame enabled) and "log <0|1>" (the connection log shown), one a line
//   client_driver.exe windows
//       prints the client's visible top-level windows, top first in Windows'
//       z-order: "<X window id> <1 when active> <title>" (hexadecimal, GBK)
//   client_driver.exe close-log
//       presses the connection log's close button
//   client_driver.exe cancel-front
//       presses Cancel in the active window (a dialog)
//   client_driver.exe mouse-glyph ID
//       clicks the close glyph with control id ID with the system's mouse
//       (press, a pause, release at the same point of the screen)
//   client_driver.exe chat-history HEX
//       presses the history button and prints the colour of the text in the
//       viewer as chat-colour does
// Timings for the benchmarks (tests/e2e/bench_client.py), printed as
// "name value" lines in milliseconds:
//   client_driver.exe ping COUNT
//       COUNT message round trips to the frame, one every 2 ms
//   client_driver.exe burst CONTROL_PORT COMMAND_FILE
//       sends the simulator's control command in the file (a BURST), then
//       round trips to the frame until its latest paint shows the offer with
//       the ID the simulator answered at the top
//   client_driver.exe start client|bare|bare-dlls|floor PROGRAM [TRACE_FILE]
//       starts PROGRAM and times until it shows: the client its first rows,
//       the bare window its first paint (bare-dlls: given "/dlls", floor:
//       "/floor"); then closes it. With TRACE_FILE the program writes its
//       start-up steps there (TOVAN_STARTUP_TRACE), and the performance
//       counter at the start is printed as start_counter_ms
// Exit code 0 when it worked.
#include <winsock2.h>
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/bench_timing.h"
#include "tests/e2e/driver_windows.h"

namespace {

using driver::ChatPress;
using driver::ChatSay;
using driver::ChatWindows;
using driver::ClientActiveWindow;
using driver::FirstChat;
using driver::Frame;
using driver::kChatView;
using driver::PrintBytes;
using driver::Scroll;
using driver::Talk;
using driver::TextOf;
using driver::Unhex;

int PostTo(HWND frame, const char* text, std::size_t length) {
    COPYDATASTRUCT data = {};
    data.dwData = 0x54564531;  // "TVE1"
    data.cbData = static_cast<DWORD>(length);
    data.lpData = const_cast<char*>(text);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, 5000, &result)) {
        return 1;
    }
    return result == TRUE ? 0 : 1;
}

int Post(const char* text) {
    HWND frame = FindWindowA("TovanClientFrame", nullptr);
    if (!frame) return 1;
    return PostTo(frame, text, std::strlen(text));
}

int SendBurst(int count, int size) {
    HWND frame = FindWindowA("TovanClientFrame", nullptr);
    if (!frame || count < 0 || size < 0) return 1;
    for (int i = 0; i < count; ++i) {
        const std::string msg =
            "!NETBURST!|" + std::to_string(i) + "|" + std::string(static_cast<std::size_t>(size), 'x') + "^";
        if (PostTo(frame, msg.data(), msg.size()) != 0) return 1;
    }
    return 0;
}

// The frame's test query (see the frame's test hooks): what and row in, the
// answer out; false when the frame did not answer.
enum Query : std::int32_t { kSize, kLoaded, kGridRows, kFirstVisible, kRowId, kRowStatus, kPaintedTopId };

bool Ask(HWND frame, Query what, std::int32_t row, long long& answer) {
    std::int32_t q[2] = {what, row};
    COPYDATASTRUCT data = {};
    data.dwData = 0x54565131;  // "TVQ1"
    data.cbData = sizeof q;
    data.lpData = q;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, 5000, &result)) {
        return false;
    }
    answer = static_cast<long long>(static_cast<LONG_PTR>(result));
    return answer != -2;
}

int Title() {
    HWND frame = FindWindowA("TovanClientFrame", nullptr);
    if (!frame) return 1;
    const int n = GetWindowTextLengthA(frame);
    std::vector<char> text(static_cast<size_t>(n) + 1);
    const int got = GetWindowTextA(frame, text.data(), n + 1);
    _setmode(_fileno(stdout), _O_BINARY);  // the GBK bytes as they are
    std::fwrite(text.data(), 1, static_cast<size_t>(got), stdout);
    return 0;
}

int State() {
    HWND frame = FindWindowA("TovanClientFrame", nullptr);
    if (!frame) return 1;
    long long v[4] = {};
    const Query what[4] = {kSize, kLoaded, kGridRows, kFirstVisible};
    for (int i = 0; i < 4; ++i) {
        if (!Ask(frame, what[i], 0, v[i])) return 1;
    }
    std::printf("%lld %lld %lld %lld\n", v[0], v[1], v[2], v[3]);
    return 0;
}

int Rows(int first, int count) {
    HWND frame = FindWindowA("TovanClientFrame", nullptr);
    if (!frame || count < 0) return 1;
    for (int row = first; row < first + count; ++row) {
        long long id = 0, status = 0;
        if (!Ask(frame, kRowId, row, id) || !Ask(frame, kRowStatus, row, status)) return 1;
        std::printf("%lld %lld\n", id, status);
    }
    return 0;
}

int Chats() {
    for (HWND w : ChatWindows()) {
        PrintBytes(TextOf(w));
        std::printf("\n");
    }
    return 0;
}

// The chat window's test query: the colour of the text in its view ("TVC1")
// or its history viewer ("TVH1").
int ChatColour(const std::string& text, ULONG_PTR where = 0x54564331) {
    HWND chat = FirstChat();
    if (!chat) return 1;
    COPYDATASTRUCT data = {};
    data.dwData = where;
    data.cbData = static_cast<DWORD>(text.size());
    data.lpData = const_cast<char*>(text.data());
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(chat, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000,
                             &result))
        return 1;
    std::printf("%lld\n", static_cast<long long>(static_cast<LONG_PTR>(result)));
    return 0;
}

int ChatMove(int x, int y) {
    HWND chat = FirstChat();
    if (!chat) return 1;
    return SetWindowPos(chat, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE) ? 0 : 1;
}

int ChatClose() { return ChatPress(IDCANCEL); }

int ChatClick(const std::string& gbk) {
    HWND chat = FirstChat();
    HWND view = chat ? GetDlgItem(chat, kChatView) : nullptr;
    if (!view) return 1;
    // The chat window's test query answers where the text lies in its view.
    COPYDATASTRUCT data = {0x54565031, static_cast<DWORD>(gbk.size()), const_cast<char*>(gbk.data())};  // "TVP1"
    DWORD_PTR pos = static_cast<DWORD_PTR>(-1);
    if (!SendMessageTimeoutA(chat, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000, &pos) ||
        static_cast<LRESULT>(pos) == -1)
        return 1;
    const LPARAM point = MAKELPARAM(LOWORD(pos) + 2, HIWORD(pos) + 2);
    PostMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(view, WM_LBUTTONUP, 0, point);
    return 0;
}

BOOL CALLBACK FindViewer(HWND w, LPARAM out) {
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") == 0 && GetDlgItem(w, 1099) && !GetDlgItem(w, kChatView) && IsWindowVisible(w)) {
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
    }
    return TRUE;
}

int ChatHistory(const std::string& text) {
    HWND chat = FirstChat();
    if (!chat) return 1;
    PostMessageA(chat, WM_COMMAND, MAKEWPARAM(1027, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(chat, 1027)));
    HWND viewer = nullptr;
    for (int tries = 0; tries < 100 && !viewer; ++tries, Sleep(50)) EnumWindows(FindViewer, reinterpret_cast<LPARAM>(&viewer));
    if (!viewer) return 1;
    return ChatColour(text, 0x54564831);  // "TVH1"
}

// One round trip to the frame's window: the time until it has handled a
// sent message, in ms (negative when it did not answer).
double RoundTrip(HWND frame, Query what, long long* answer) {
    const double t0 = benchtiming::NowMs();
    long long a = -1;
    if (!Ask(frame, what, 0, a)) return -1;
    if (answer) *answer = a;
    return benchtiming::NowMs() - t0;
}

// For `seconds` from the frame's creation on, asks it WM_NULL every 50 ms and
// prints the longest it took to answer, in milliseconds (a wait of 5 s is
// given up and counted as 5000).
int AnswerTimes(int seconds) {
    HWND frame = nullptr;
    for (int i = 0; i < 600 && !frame; ++i, Sleep(50)) frame = FindWindowA("TovanClientFrame", nullptr);
    if (!frame) return 1;
    LARGE_INTEGER freq, start, now;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    double longest = 0;
    for (now = start; (now.QuadPart - start.QuadPart) < seconds * freq.QuadPart; Sleep(50)) {
        LARGE_INTEGER before, after;
        QueryPerformanceCounter(&before);
        DWORD_PTR result = 0;
        const bool answered = SendMessageTimeoutA(frame, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
        QueryPerformanceCounter(&after);
        const double ms = answered ? (after.QuadPart - before.QuadPart) * 1000.0 / freq.QuadPart : 5000.0;
        if (ms > longest) longest = ms;
        if (!answered && !IsWindow(frame)) return 1;
        now = after;
    }
    std::printf("%.0f\n", longest);
    return 0;
}

int Ping(int count) {
    HWND frame = FindWindowA("TovanClientFrame", nullptr);
    if (!frame || count < 1) return 1;
    std::vector<double> trips;
    for (int i = 0; i < count; ++i, Sleep(2)) {
        const double t = RoundTrip(frame, kSize, nullptr);
        if (t < 0) return 1;
        trips.push_back(t);
    }
    benchtiming::PrintSpread("idle_rtt", trips);
    return 0;
}

// The simulator's control command from the file, and its answer's first
// data line (the last ID of a BURST); -1 when it failed.
long long RunControlCommand(int port, const char* commandFile) {
    std::string command;
    if (std::FILE* f = std::fopen(commandFile, "rb")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) command.append(buf, n);
        std::fclose(f);
    }
    if (command.empty()) return -1;
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return -1;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<u_short>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    long long id = -1;
    if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0 &&
        send(s, command.data(), static_cast<int>(command.size()), 0) == static_cast<int>(command.size())) {
        std::string reply;
        char buf[256];
        int n;
        while (reply.find("OK\n") == std::string::npos && reply.find("ERR") == std::string::npos &&
               (n = recv(s, buf, sizeof buf, 0)) > 0) {
            reply.append(buf, static_cast<std::size_t>(n));
        }
        if (reply.find("ERR") == std::string::npos) id = std::atoll(reply.c_str());
    }
    closesocket(s);
    WSACleanup();
    return id;
}

int Burst(int port, const char* commandFile) {
    HWND frame = FindWindowA("TovanClientFrame", nullptr);
    if (!frame) return 1;
    const double sent = benchtiming::NowMs();
    const long long last = RunControlCommand(port, commandFile);
    const double pushed = benchtiming::NowMs();
    if (last <= 0) return 1;
    std::vector<double> trips;
    for (;;) {
        long long top = -1;
        const double t = RoundTrip(frame, kPaintedTopId, &top);
        if (t < 0) return 1;
        trips.push_back(t);
        const double now = benchtiming::NowMs();
        if (top == last) {
            std::printf("command_ms %.1f\n", pushed - sent);
            std::printf("shown_after_push_ms %.1f\n", now - pushed);
            std::printf("shown_after_command_ms %.1f\n", now - sent);
            break;
        }
        if (now - sent > 120000) return 1;
        Sleep(2);
    }
    benchtiming::PrintSpread("burst_rtt", trips);
    return 0;
}

// Starts the program and times until it shows what its user waits for.
int StartTimed(const char* kind, const char* program, const char* traceFile) {
    const bool client = std::strcmp(kind, "client") == 0;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string commandLine = std::string("\"") + program + "\"";
    if (std::strcmp(kind, "bare-dlls") == 0) commandLine += " /dlls";
    if (std::strcmp(kind, "floor") == 0) commandLine += " /floor";
    // The child inherits the variable; this driver ends after the one start.
    if (traceFile) SetEnvironmentVariableA("TOVAN_STARTUP_TRACE", traceFile);
    const double t0 = benchtiming::NowMs();
    if (!CreateProcessA(program, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        return 1;
    }
    HWND window = nullptr;
    double shown = -1;
    while (benchtiming::NowMs() - t0 < 60000) {
        if (client) {
            window = FindWindowA("TovanClientFrame", nullptr);
            long long top = -1;
            if (window && Ask(window, kPaintedTopId, 0, top) && top > 0) shown = benchtiming::NowMs() - t0;
        } else {
            window = FindWindowA("TovanBareWindow", "painted");
            if (window) shown = benchtiming::NowMs() - t0;
        }
        if (shown >= 0) break;
        Sleep(1);
    }
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (shown < 0) return 1;
    std::printf("%s_start_ms %.1f\n", kind, shown);
    if (traceFile) std::printf("start_counter_ms %.3f\n", t0);
    return 0;
}

int MessageBoxText(const std::string& caption = "TovanClient") {
    for (int tries = 0; tries < 200; ++tries, Sleep(50)) {
        HWND box = FindWindowA("#32770", caption.c_str());
        if (!box) continue;
        char text[512] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        _setmode(_fileno(stdout), _O_BINARY);
        std::fwrite(text, 1, std::strlen(text), stdout);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    return 1;
}

int DismissDuplicate() {
    for (int tries = 0; tries < 200; ++tries, Sleep(50)) {
        HWND box = FindWindowA("#32770", "TovanClient");
        if (!box) continue;
        char text[256] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message box's text
        if (std::strcmp(text, "程序已在运行中，请不要重复登录") != 0) return 3;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    return 1;
}

int UpdaterAnswers() {
    HWND status = FindWindowA("#32770", "Tovan更新程序");
    if (!status) return 3;
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(status, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 1000, &result)
               ? 0
               : 1;
}

bool SendWithin(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(h, msg, wp, lp, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

int KeyF1() {
    HWND frame = Frame();
    return frame && PostMessageA(frame, WM_KEYDOWN, VK_F1, 0x003B0001) ? 0 : 1;
}

int Command(int id) {
    HWND frame = Frame();
    return frame && SendWithin(frame, WM_COMMAND, static_cast<WPARAM>(id), 0) ? 0 : 1;
}

// The web pane whose close glyph has this id.
HWND WebPane(HWND frame, int glyphId) {
    for (HWND bar = FindWindowExA(frame, nullptr, "TovanSizingBar", nullptr); bar;
         bar = FindWindowExA(frame, bar, "TovanSizingBar", nullptr)) {
        if (GetDlgItem(bar, glyphId)) return bar;
    }
    return nullptr;
}

void PrintPane(HWND frame, const char* name, HWND pane) {
    RECT r = {};
    if (pane) {
        GetWindowRect(pane, &r);
        MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&r), 2);
    }
    std::printf("%s %d %ld %ld %ld %ld\n", name, pane && IsWindowVisible(pane) ? 1 : 0, r.left, r.top,
                r.right, r.bottom);
}

int Panes() {
    HWND frame = Frame();
    if (!frame) return 1;
    PrintPane(frame, "tree", GetDlgItem(frame, 1001));
    PrintPane(frame, "top", WebPane(frame, 1004));
    PrintPane(frame, "right", WebPane(frame, 1003));
    PrintPane(frame, "view", FindWindowExA(frame, nullptr, "TovanRecordView", nullptr));
    return 0;
}

int ClickGlyph(int id) {
    HWND frame = Frame();
    HWND pane = frame ? WebPane(frame, id) : nullptr;
    HWND glyph = pane ? GetDlgItem(pane, id) : nullptr;
    if (!glyph) return 1;
    return SendWithin(glyph, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)) &&
                   SendWithin(glyph, WM_LBUTTONUP, 0, MAKELPARAM(5, 5))
               ? 0
               : 1;
}

int WindowOfClass(const char* cls) {
    for (int tries = 0; tries < 300; ++tries, Sleep(50)) {
        HWND w = FindWindowA(cls, nullptr);
        if (!w || !IsWindowVisible(w)) continue;
        char title[512] = {};
        const int n = GetWindowTextA(w, title, sizeof title);
        _setmode(_fileno(stdout), _O_BINARY);
        std::fwrite(title, 1, static_cast<size_t>(n), stdout);
        return 0;
    }
    return 1;
}

HWND ConnectionLog() { return FindWindowA("#32770", "登录日志"); }

int Front() {
    HWND frame = Frame();
    if (!frame) return 1;
    HWND active = ClientActiveWindow();
    char title[512] = {};
    if (active) GetWindowTextA(active, title, sizeof title);
    _setmode(_fileno(stdout), _O_BINARY);
    HWND log = ConnectionLog();
    std::printf("%s\nframe %d\nlog %d\n", title, IsWindowEnabled(frame) ? 1 : 0,
                log && IsWindowVisible(log) ? 1 : 0);
    return 0;
}

int CloseLog() {
    HWND log = ConnectionLog();
    if (!log || !IsWindowVisible(log)) return 1;
    return PostMessageA(log, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(log, IDCANCEL)))
               ? 0
               : 1;
}

int CancelFront() {
    HWND active = ClientActiveWindow();
    if (!active || active == Frame()) return 1;
    return PostMessageA(active, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(active, IDCANCEL)))
               ? 0
               : 1;
}

int Login(const std::string& name, const std::string& password) {
    HWND dlg = nullptr;
    for (int tries = 0; tries < 300 && !(dlg && IsWindowVisible(dlg)); ++tries, Sleep(50)) {
        dlg = FindWindowA("#32770", "用户登录");
    }
    if (!dlg || !IsWindowVisible(dlg)) return 1;
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(dlg, 1019), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()),
                        SMTO_ABORTIFHUNG, 5000, &result);
    SendMessageTimeoutA(GetDlgItem(dlg, 1020), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(password.c_str()),
                        SMTO_ABORTIFHUNG, 5000, &result);
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
    for (int tries = 0; tries < 60; ++tries, Sleep(50)) {
        if (!IsWindow(dlg) || !IsWindowVisible(dlg)) return 0;
    }
    char text[512] = {};
    GetDlgItemTextA(dlg, 1022, text, sizeof text);  // the red line
    _setmode(_fileno(stdout), _O_BINARY);
    std::fwrite(text, 1, std::strlen(text), stdout);
    return 4;
}

int PostCommand(int id) {
    HWND frame = Frame();
    return frame && PostMessageA(frame, WM_COMMAND, static_cast<WPARAM>(id), 0) ? 0 : 1;
}

void MouseButton(DWORD flags) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

int MouseGlyph(int id) {
    HWND frame = Frame();
    HWND pane = frame ? WebPane(frame, id) : nullptr;
    HWND glyph = pane ? GetDlgItem(pane, id) : nullptr;
    if (!glyph || !IsWindowVisible(glyph)) return 1;
    RECT r;
    GetWindowRect(glyph, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Sleep(200);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    Sleep(400);  // the client lays its panes out again meanwhile
    MouseButton(MOUSEEVENTF_LEFTUP);
    Sleep(300);
    return 0;
}

BOOL CALLBACK NoteBox(HWND w, LPARAM) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") == 0 && IsWindowVisible(w)) {
        char title[512] = {};
        GetWindowTextA(w, title, sizeof title);
        std::printf("%s\n", title);
    }
    return TRUE;
}

int Boxes() {
    _setmode(_fileno(stdout), _O_BINARY);
    EnumWindows(NoteBox, 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "post") == 0) return Post(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "dismiss-duplicate") == 0) return DismissDuplicate();
    if (argc == 2 && std::strcmp(argv[1], "title") == 0) return Title();
    if (argc == 2 && std::strcmp(argv[1], "state") == 0) return State();
    if (argc == 4 && std::strcmp(argv[1], "rows") == 0) return Rows(std::atoi(argv[2]), std::atoi(argv[3]));
    if (argc == 3 && std::strcmp(argv[1], "scroll") == 0) return Scroll(std::atoi(argv[2]));
    if (argc == 4 && std::strcmp(argv[1], "send-burst") == 0) {
        return SendBurst(std::atoi(argv[2]), std::atoi(argv[3]));
    }
    if (argc == 2 && std::strcmp(argv[1], "updater-answers") == 0) return UpdaterAnswers();
    if (argc == 2 && std::strcmp(argv[1], "key-f1") == 0) return KeyF1();
    if (argc == 3 && std::strcmp(argv[1], "command") == 0) return Command(std::atoi(argv[2]));
    if (argc == 2 && std::strcmp(argv[1], "panes") == 0) return Panes();
    if (argc == 3 && std::strcmp(argv[1], "click-glyph") == 0) return ClickGlyph(std::atoi(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "window") == 0) return WindowOfClass(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "boxes") == 0) return Boxes();
    if (argc == 3 && std::strcmp(argv[1], "post-command") == 0) return PostCommand(std::atoi(argv[2]));
    if (argc == 4 && std::strcmp(argv[1], "login") == 0) return Login(Unhex(argv[2]), Unhex(argv[3]));
    if (argc == 2 && std::strcmp(argv[1], "front") == 0) return Front();
    if (argc == 2 && std::strcmp(argv[1], "windows") == 0) return driver::PrintWindows();
    if (argc == 2 && std::strcmp(argv[1], "close-log") == 0) return CloseLog();
    if (argc == 2 && std::strcmp(argv[1], "cancel-front") == 0) return CancelFront();
    if (argc == 3 && std::strcmp(argv[1], "mouse-glyph") == 0) return MouseGlyph(std::atoi(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "talk") == 0) return Talk(std::atoi(argv[2]));
    if (argc == 2 && std::strcmp(argv[1], "chats") == 0) return Chats();
    if (argc == 3 && std::strcmp(argv[1], "chat-colour") == 0) return ChatColour(Unhex(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "chat-say") == 0) return ChatSay(Unhex(argv[2]));
    if (argc == 2 && std::strcmp(argv[1], "chat-close") == 0) return ChatClose();
    if (argc == 2 && std::strcmp(argv[1], "chat-voice") == 0) return ChatPress(driver::kChatVoice);
    if (argc == 3 && std::strcmp(argv[1], "chat-click") == 0) return ChatClick(Unhex(argv[2]));
    if (argc == 2 && std::strcmp(argv[1], "message-box") == 0) return MessageBoxText();
    if (argc == 3 && std::strcmp(argv[1], "message-box") == 0) return MessageBoxText(Unhex(argv[2]));
    if (argc == 4 && std::strcmp(argv[1], "chat-move") == 0) return ChatMove(std::atoi(argv[2]), std::atoi(argv[3]));
    if (argc == 3 && std::strcmp(argv[1], "chat-history") == 0) return ChatHistory(Unhex(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "ping") == 0) return Ping(std::atoi(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "answer-times") == 0) return AnswerTimes(std::atoi(argv[2]));
    if (argc == 4 && std::strcmp(argv[1], "burst") == 0) return Burst(std::atoi(argv[2]), argv[3]);
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "start") == 0) {
        return StartTimed(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
    }
    return 2;
}
