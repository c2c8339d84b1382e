#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include "main_frame.h"
#include "window.h"

namespace {

constexpr const char kAppTitle[] = "TovanClient";

int Refuse(const char* text) {
    MessageBoxA(nullptr, text, kAppTitle, MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);

    // One client per session; the handle is kept until the process ends.
    HANDLE instanceMutex = CreateMutexA(nullptr, FALSE, "dmrkelpo");
    if (instanceMutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        return Refuse("程序已在运行中，请不要重复登录");
    }

    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return Refuse("Windows 套接字初始化失败。");

    int exitCode = 0;
    {
        CMainFrame frame;
        if (!frame.CreateFrame()) {
            WSACleanup();
            return 0;
        }
        ShowWindow(frame.hwnd(), SW_SHOWMAXIMIZED);
        UpdateWindow(frame.hwnd());
        exitCode = fw::RunMessageLoop();
    }
    WSACleanup();
    (void)instanceMutex;
    return exitCode;
}
