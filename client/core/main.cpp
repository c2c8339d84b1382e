#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <string>

#include "client/core/main_frame.h"
#include "client/core/startup_trace.h"
#include "fw/no_main_window.h"
#include "fw/program_path.h"
#include "fw/scoped_com.h"
#include "fw/scoped_winsock.h"
#include "client/core/update_check_win.h"
#include "fw/window.h"

namespace {

constexpr const char kAppTitle[] = "TovanClient";

int Refuse(const char* text) {
    MessageBoxA(nullptr, text, kAppTitle, MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

// Registers the chat control from the copy next to the program, at every
// start, so that the chat windows always find this version. A missing or
// broken file is not reported; the chat windows then fail on their own. Only
// a chat window uses it, and a chat starts from a row: it is done once the
// first rows are on the screen, before the user can reach one.
void RegisterChatControl(const std::string& path) {
    HMODULE lib = LoadLibraryA(path.c_str());
    if (!lib) return;
    using RegisterFn = HRESULT(STDAPICALLTYPE*)();
    auto reg = reinterpret_cast<RegisterFn>(
        reinterpret_cast<void*>(GetProcAddress(lib, "DllRegisterServer")));
    if (reg) reg();
    FreeLibrary(lib);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TraceStartupStep("WinMain");
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    TraceStartupStep("common controls");

    // One client per session; the handle is kept until the process ends.
    HANDLE instanceMutex = CreateMutexA(nullptr, FALSE, "dmrkelpo");
    if (instanceMutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        return Refuse("程序已在运行中，请不要重复登录");
    }

    const fw::WinsockScope winsock;
    if (!winsock.ok()) return Refuse("Windows 套接字初始化失败。");
    const fw::com::OleScope ole;
    if (!ole.ok()) return Refuse("OLE 初始化失败。请确保 OLE 库是正确的版本。");
    if (!LoadLibraryA("riched20.dll")) return Refuse("RichEdit初始化失败");
    TraceStartupStep("sockets, OLE, rich edit");

    // Declared after the scopes above, so the frame goes before OLE and Winsock.
    CMainFrame frame;
    frame.afterFirstRows = [] { RegisterChatControl(fw::ProgramFolder() + "Vokar.ocx"); };
    if (!frame.CreateFrame()) return fw::ReportNoMainWindow(GetLastError());
    TraceStartupStep("frame created");
    ShowWindow(frame.hwnd(), SW_SHOWMAXIMIZED);
    TraceStartupStep("frame shown");
    UpdateWindow(frame.hwnd());
    TraceStartupStep("frame painted");
    StartUpdateCheckThread();
    return fw::RunMessageLoop();
}
