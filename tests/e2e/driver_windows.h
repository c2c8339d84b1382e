// What the test drivers find of a running TovanClient and do to it with the
// public window messages any build answers: the frame and its record grid,
// the chat windows and their controls, a user's clicks and keys.
#pragma once

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace driver {

// Chat windows: dialogs with the conversation view 1097 (the history viewer
// has only 1099).
constexpr int kChatView = 1097;
constexpr int kChatInput = 1019;
constexpr int kChatVoice = 1026;
// The connection log window's list.
constexpr int kLogList = 1018;

inline HWND Frame() { return FindWindowA("TovanClientFrame", nullptr); }

inline HWND Grid() {
    HWND view = FindWindowExA(Frame(), nullptr, "TovanRecordView", nullptr);
    return view ? FindWindowExA(view, nullptr, "QGRID", nullptr) : nullptr;
}

// Scrolls the record grid as a drag of its scroll bar's thumb does.
inline int Scroll(int row) {
    HWND grid = Grid();
    if (!grid || row < 0 || row > 0xFFFF) return 1;
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(grid, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, row), 0, SMTO_ABORTIFHUNG, 5000,
                               &result)
               ? 0
               : 1;
}

// Scrolls ROW to the top of the record grid and double-clicks its talk
// (rightmost) column with the mouse messages a user's double-click sends.
inline int Talk(int row) {
    if (Scroll(row) != 0) return 1;
    HWND grid = Grid();
    RedrawWindow(grid, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Sleep(300);  // the grid hit-tests the cells it painted last
    RECT r;
    GetClientRect(grid, &r);
    // The columns end a scroll bar's width before the right edge.
    const LPARAM at = MAKELPARAM(r.right - GetSystemMetrics(SM_CXVSCROLL) - 4, 4);
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
        PostMessageA(grid, m, m == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    }
    return 0;
}

inline BOOL CALLBACK CollectChat(HWND w, LPARAM out) {
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") == 0 && GetDlgItem(w, kChatView) && IsWindowVisible(w))
        reinterpret_cast<std::vector<HWND>*>(out)->push_back(w);
    return TRUE;
}

inline std::vector<HWND> ChatWindows() {
    std::vector<HWND> found;
    EnumWindows(CollectChat, reinterpret_cast<LPARAM>(&found));
    return found;
}

inline HWND FirstChat() {
    const std::vector<HWND> chats = ChatWindows();
    return chats.empty() ? nullptr : chats.front();
}

// A window's text as UTF-16: a rich edit of another process hands its text
// over that way whatever was asked.
inline std::wstring WideTextOf(HWND w) {
    DWORD_PTR n = 0;
    SendMessageTimeoutW(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &n);
    std::vector<wchar_t> wide(n + 1);
    DWORD_PTR got = 0;
    SendMessageTimeoutW(w, WM_GETTEXT, wide.size(), reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG, 5000,
                        &got);
    return std::wstring(wide.data());
}

// Window text in the client's code page.
inline std::vector<char> TextOf(HWND w) {
    const std::wstring wide = WideTextOf(w);
    const int len = static_cast<int>(wide.size());
    std::vector<char> text(static_cast<size_t>(len) * 2 + 1);
    const int bytes =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), len, text.data(), static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(bytes > 0 ? static_cast<size_t>(bytes) : 0);
    return text;
}

inline void PrintBytes(const std::vector<char>& text) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::fwrite(text.data(), 1, text.size(), stdout);
}

// The GBK bytes of a text given in hexadecimal, so that no code page comes
// between the test and the client.
inline std::string Unhex(const char* hex) {
    std::string out;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) {
        const char pair[3] = {hex[i], hex[i + 1], 0};
        out += static_cast<char>(std::strtoul(pair, nullptr, 16));
    }
    return out;
}

// The window that has the activation in the client's thread.
inline HWND ClientActiveWindow() {
    HWND frame = Frame();
    if (!frame) return nullptr;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(frame, nullptr), &info)) return nullptr;
    return info.hwndActive;
}

struct ClientWindows {
    DWORD process;
    HWND active;
};

inline BOOL CALLBACK PrintClientWindow(HWND w, LPARAM context) {
    const auto* client = reinterpret_cast<const ClientWindows*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (process != client->process || !IsWindowVisible(w)) return TRUE;
    // Wine keeps the window's X window id in this property.
    const auto x = reinterpret_cast<ULONG_PTR>(GetPropA(w, "__wine_x11_whole_window"));
    std::printf("%lx %d ", static_cast<unsigned long>(x), w == client->active ? 1 : 0);
    const std::vector<char> title = TextOf(w);
    std::fwrite(title.data(), 1, title.size(), stdout);
    std::printf("\n");
    return TRUE;
}

// The client's visible top-level windows in Windows' z-order, top first, one
// a line: "<X window id, hexadecimal> <1 for the active one> <title, GBK>".
inline int PrintWindows() {
    HWND frame = Frame();
    if (!frame) return 1;
    ClientWindows client = {0, ClientActiveWindow()};
    GetWindowThreadProcessId(frame, &client.process);
    _setmode(_fileno(stdout), _O_BINARY);
    EnumWindows(PrintClientWindow, reinterpret_cast<LPARAM>(&client));
    return 0;
}

// Types the text into the chat input and presses Enter.
inline int ChatSay(const std::string& text) {
    HWND chat = FirstChat();
    HWND input = chat ? GetDlgItem(chat, kChatInput) : nullptr;
    if (!input || !IsWindowEnabled(input)) return 1;
    DWORD_PTR result = 0;
    SendMessageTimeoutA(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &result);
    // Posted, so that it passes the client's message loop as a typed key does.
    PostMessageA(input, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageA(input, WM_KEYUP, VK_RETURN, 0xC0000001);
    return 0;
}

// Presses the chat window's button ID.
inline int ChatPress(int id) {
    HWND chat = FirstChat();
    if (!chat) return 1;
    PostMessageA(chat, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(chat, id)));
    return 0;
}

}  // namespace driver
