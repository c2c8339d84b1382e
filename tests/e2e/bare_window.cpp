// The least a Win32 program does before its user sees it: one top-level
// window, shown and painted. The client's start-up benchmark times this
// beside the client's start to its first rows. Its first paint renames the
// window "painted" so that the timing driver can see it. With "/dlls" it
// first loads the system libraries the client imports, which tells how much
// of the client's start is the loading of those alone.
#include <windows.h>

#include <cstring>

namespace {

LRESULT CALLBACK BareProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    static bool painted = false;
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        if (!painted) {
            painted = true;
            SetWindowTextA(hwnd, "painted");
        }
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    if (commandLine && std::strstr(commandLine, "/dlls")) {
        // What the client loads before its WinMain draws anything (its
        // imports, rich edit); the dialogs, adapter list and sound libraries
        // it loads only at their first use.
        static const char* const kClientImports[] = {"advapi32.dll", "comctl32.dll", "ole32.dll",
                                                     "oleaut32.dll", "shell32.dll",  "wininet.dll",
                                                     "ws2_32.dll",   "riched20.dll"};
        for (const char* name : kClientImports) LoadLibraryA(name);
    }
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BareProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "TovanBareWindow";
    if (!RegisterClassA(&wc)) return 1;
    HWND hwnd = CreateWindowA("TovanBareWindow", "bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}
