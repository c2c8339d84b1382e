// The tray icon: hiding the frame there on minimise, blinking it when an
// offer or message arrives while hidden, and its menu.
#include "client/core/main_frame.h"

#include <shellapi.h>

#include <cstddef>
#include <string>

#include "client/model/profile_reader.h"
#include "client/res/resource.h"
#include "fw/profile.h"
#include "fw/sounds.h"
#include "text/gbk.h"

namespace {

constexpr UINT kTrayIconId = 1;
constexpr UINT kTrayBlinkPeriodMs = 300;
// The tray tip shows at most this many bytes of its text.
constexpr std::size_t kTrayTipBytes = 60;

}  // namespace

bool CMainFrame::SetTrayIcon(DWORD action, HICON icon, const std::string& tip) {
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = hwnd();
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAY_NOTIFY;
    data.hIcon = icon;
    const std::string shown(tovan::GbkCut(tip, kTrayTipBytes));
    lstrcpynA(data.szTip, shown.c_str(), sizeof data.szTip);
    if (!Shell_NotifyIconA(action, &data)) return false;
    trayIcon_ = action == NIM_DELETE ? nullptr : icon;
    trayTip_ = action == NIM_DELETE ? std::string() : shown;
    return true;
}

void CMainFrame::Notify(const std::string& text) {
    if (updatesHeld_) {
        heldNotice_ = text;  // one sound for a burst; the latest text is the tip
        return;
    }
    fw::PlayResourceSound(this, IDR_WAVE_MESSAGE);
    if (!IsWindowVisible(hwnd())) {
        blinkTip_ = text;
        SetTimer(hwnd(), kTrayBlinkTimer, kTrayBlinkPeriodMs, nullptr);
    }
}

void CMainFrame::BlinkTray() {
    HICON icon = blinkPhase_ ? LoadIconA(fw::Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME))
                             : LoadIconA(fw::Instance(), "IDI_RED");
    blinkPhase_ = !blinkPhase_;
    SetTrayIcon(NIM_MODIFY, icon, blinkTip_);
}

void CMainFrame::RestoreFromTray() {
    KillTimer(hwnd(), kTrayBlinkTimer);
    ShowWindow(hwnd(), SW_SHOWMAXIMIZED);
    SetForegroundWindow(hwnd());
    SetTrayIcon(NIM_DELETE, nullptr, "");
    trayIconShown_ = false;
}

bool CMainFrame::OnSysCommand(WPARAM id) {
    if (id != SC_MINIMIZE || fw::ReadProfileInt(tovan::kUserIni, "Display", "Min", 0) == 0) {
        return false;
    }
    ShowWindow(hwnd(), SW_HIDE);
    trayIconShown_ =
        SetTrayIcon(NIM_ADD, LoadIconA(fw::Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME)), model().titlePrefix);
    return true;
}

void CMainFrame::OnTrayNotify(LPARAM event) {
    if (event == WM_LBUTTONDBLCLK) {
        RestoreFromTray();
    } else if (event == WM_RBUTTONDOWN) {
        HMENU menu = LoadMenuA(fw::Instance(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
        if (!menu) return;
        HMENU popup = GetSubMenu(menu, 0);
        SetMenuDefaultItem(popup, ID_TRAY_SHOW, FALSE);
        SetForegroundWindow(hwnd());
        POINT at;
        GetCursorPos(&at);
        TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(), nullptr);
        PostMessageA(hwnd(), WM_NULL, 0, 0);  // lets the menu close when the user clicks away
        DestroyMenu(menu);
    }
}
