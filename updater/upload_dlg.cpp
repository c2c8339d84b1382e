#include "updater/upload_dlg.h"

#include "updater/res/resource.h"

CUploadDlg::CUploadDlg() : fw::Dialog(IDD_UPLOAD) {}

bool CUploadDlg::Open(const std::string& text) {
    if (!CreateModeless()) return false;
    ShowWindow(hwnd(), SW_SHOW);
    SetStatus(text);
    return true;
}

void CUploadDlg::SetStatus(const std::string& text) {
    status_ = text;
    if (!hwnd()) return;
    SetItemText(IDC_UPLOAD_STATUS, text);
    UpdateWindow(hwnd());
    PumpWaitingMessages();
}

void PumpWaitingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for whoever ends the run
            break;
        }
        fw::ProcessQueuedMessage(msg);
    }
}

namespace {

DWORD WINAPI RunWork(void* work) {
    (*static_cast<const std::function<void()>*>(work))();
    return 0;
}

}  // namespace

bool RunWhilePumping(const std::function<void()>& work, DWORD timeoutMs) {
    HANDLE thread = CreateThread(nullptr, 0, RunWork, const_cast<std::function<void()>*>(&work), 0,
                                 nullptr);
    if (!thread) {
        work();
        return true;
    }
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    bool done = false;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) break;
        const DWORD wait = MsgWaitForMultipleObjects(1, &thread, FALSE,
                                                     static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0) {
            done = true;
            break;
        }
        MSG msg;
        if (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) {
            // A quit waits for the run's end; the windows are closing anyway.
            done = WaitForSingleObject(thread, static_cast<DWORD>(deadline - now)) == WAIT_OBJECT_0;
            break;
        }
        PumpWaitingMessages();
    }
    CloseHandle(thread);
    return done;
}
