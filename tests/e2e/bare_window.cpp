// The least a Win32 program does before its user sees it: one top-level
// window, shown and painted. The client's start-up benchmark times this
// beside the client's start to its first rows. Its first paint renames the
// window "painted" so that the timing driver can see it.
//   /dlls   first loads the system libraries the client imports, which tells
//           how much of the client's start is the loading of those alone;
//   /floor  the floor of the client's start: the same libraries started as
//           the client starts them, then a maximised frame with the windows
//           the client shows at its first rows (menu bar, toolbar, status
//           bar, the two web panes' frames with their close glyphs, the
//           record view with a grid of text rows), created at the maximised
//           size; "painted" once the grid has drawn its rows.
// With TOVAN_STARTUP_TRACE naming a file, the steps' performance counter
// times are written there as the client writes its own.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "fw/maximized_rect.h"

namespace {

struct Step {
    LARGE_INTEGER counter;
    const char* name;
};
Step g_steps[16];
int g_stepCount = 0;

void Trace(const char* name) {
    if (g_stepCount >= 16) return;
    QueryPerformanceCounter(&g_steps[g_stepCount].counter);
    g_steps[g_stepCount++].name = name;
}

void WriteTrace() {
    char path[MAX_PATH] = {};
    if (GetEnvironmentVariableA("TOVAN_STARTUP_TRACE", path, MAX_PATH) == 0) return;
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    if (std::FILE* f = std::fopen(path, "wb")) {
        for (int i = 0; i < g_stepCount; ++i) {
            std::fprintf(f, "%.3f %s\n",
                         static_cast<double>(g_steps[i].counter.QuadPart) * 1000.0 /
                             static_cast<double>(freq.QuadPart),
                         g_steps[i].name);
        }
        std::fclose(f);
    }
}

bool g_floor = false;
HWND g_frame = nullptr;
HWND g_toolbar = nullptr, g_status = nullptr, g_topPane = nullptr, g_rightPane = nullptr, g_view = nullptr;

void MarkPainted() {
    static bool painted = false;
    if (painted) return;
    painted = true;
    Trace("painted");
    SetWindowTextA(g_frame, "painted");
}

LRESULT CALLBACK BareProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        if (!g_floor) MarkPainted();
        return 0;
    }
    case WM_SIZE: {
        if (!g_floor || !g_view) return 0;
        // The client's arrangement: toolbar, top pane, right pane, view, status bar.
        SendMessageA(g_toolbar, TB_AUTOSIZE, 0, 0);
        SendMessageA(g_status, WM_SIZE, 0, 0);
        RECT r, bar;
        GetClientRect(hwnd, &r);
        GetWindowRect(g_toolbar, &bar);
        r.top += bar.bottom - bar.top;
        GetWindowRect(g_status, &bar);
        r.bottom -= bar.bottom - bar.top;
        MoveWindow(g_topPane, r.left, r.top, r.right - r.left, 70, TRUE);
        r.top += 70;
        MoveWindow(g_rightPane, r.right - 130, r.top, 130, r.bottom - r.top, TRUE);
        r.right -= 130;
        MoveWindow(g_view, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        return 0;
    }
    case WM_CLOSE:
        WriteTrace();
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// The record view's stand-in: rows of text lines, as many as fill it.
LRESULT CALLBACK RowsProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_PAINT) return DefWindowProcA(hwnd, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    static const char kRow[] = "石家庄到广州 纸箱12吨 急求9.6米厢车 电话:0311-86012345";
    for (int y = 0; y < r.bottom; y += 18) TextOutA(dc, 4, y, kRow, static_cast<int>(sizeof kRow - 1));
    EndPaint(hwnd, &ps);
    if (r.bottom > 0) MarkPainted();
    return 0;
}

HWND Child(const char* cls, const char* text, DWORD style, HWND parent) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

void CreateFloorWindows(HINSTANCE instance) {
    WNDCLASSA rows = {};
    rows.lpfnWndProc = RowsProc;
    rows.hInstance = instance;
    rows.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    rows.lpszClassName = "TovanFloorRows";
    RegisterClassA(&rows);
    g_toolbar = Child(TOOLBARCLASSNAMEA, "", TBSTYLE_FLAT | TBSTYLE_WRAPABLE | CCS_TOP, g_frame);
    SendMessageA(g_toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(g_toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(51, 30));
    TBBUTTON buttons[12] = {};
    for (int i = 0; i < 12; ++i) {
        buttons[i].iBitmap = I_IMAGENONE;
        buttons[i].idCommand = 100 + i;
        buttons[i].fsState = TBSTATE_ENABLED;
    }
    SendMessageA(g_toolbar, TB_ADDBUTTONSA, 12, reinterpret_cast<LPARAM>(buttons));
    g_status = Child(STATUSCLASSNAMEA, "", CCS_BOTTOM, g_frame);
    SendMessageA(g_status, SB_SETMINHEIGHT, 25, 0);
    g_topPane = Child("STATIC", "", 0, g_frame);
    Child("STATIC", "x", SS_NOTIFY, g_topPane);
    g_rightPane = Child("STATIC", "", 0, g_frame);
    Child("STATIC", "x", SS_NOTIFY, g_rightPane);
    g_view = Child("TovanFloorRows", "", 0, g_frame);
}

template <typename Fn, typename... Args>
void Call(const char* library, const char* name, Args... args) {
    if (auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(library), name)))) {
        fn(args...);
    }
}

HMENU FloorMenu() {
    HMENU bar = CreateMenu();
    static const char* const kMenus[] = {"系统(&S)", "功能设置", "信息(&I)", "查看(&V)", "实用工具", "帮助(&H)"};
    for (const char* name : kMenus) {
        HMENU popup = CreatePopupMenu();
        AppendMenuA(popup, MF_STRING, 1, name);
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), name);
    }
    return bar;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    Trace("WinMain");
    g_floor = commandLine && std::strstr(commandLine, "/floor");
    if (g_floor || (commandLine && std::strstr(commandLine, "/dlls"))) {
        // What the client loads before its WinMain draws anything (its
        // imports, rich edit); the dialogs, adapter list and sound libraries
        // it loads only at their first use.
        static const char* const kClientImports[] = {"advapi32.dll", "comctl32.dll", "ole32.dll",
                                                     "oleaut32.dll", "shell32.dll",  "wininet.dll",
                                                     "ws2_32.dll",   "riched20.dll"};
        for (const char* name : kClientImports) LoadLibraryA(name);
        Trace("libraries");
    }
    if (g_floor) {
        // Started as the client starts them; called through the loaded
        // libraries, so that the plain bare window imports none of them.
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
        Call<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>("comctl32.dll", "InitCommonControlsEx", &icc);
        WSADATA wsa;
        Call<int(WINAPI*)(WORD, WSADATA*)>("ws2_32.dll", "WSAStartup", MAKEWORD(2, 2), &wsa);
        Call<HRESULT(WINAPI*)(void*)>("ole32.dll", "OleInitialize", nullptr);
        Trace("common controls, sockets, OLE");
    }
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BareProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "TovanBareWindow";
    if (!RegisterClassA(&wc)) return 1;
    if (g_floor) {
        const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_MAXIMIZE;
        const RECT r = fw::MaximizedWindowRect(style, 0);
        g_frame = CreateWindowA("TovanBareWindow", "bare", style, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, nullptr, FloorMenu(), instance, nullptr);
        if (!g_frame) return 1;
        CreateFloorWindows(instance);
        SendMessageA(g_frame, WM_SIZE, 0, 0);
        Trace("windows created");
        ShowWindow(g_frame, SW_SHOWMAXIMIZED);
    } else {
        g_frame = CreateWindowA("TovanBareWindow", "bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
        if (!g_frame) return 1;
        Trace("window created");
        ShowWindow(g_frame, show);
    }
    Trace("shown");
    UpdateWindow(g_frame);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}
