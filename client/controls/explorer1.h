// A window showing web pages: the system's WebBrowser ActiveX control hosted
// as a child window, of which only Navigate is used.
//
//   CExplorer1 page;
//   if (SUCCEEDED(page.Create("", WS_CHILD | WS_VISIBLE, rect, parent, 1002)))
//       page.Navigate("http://127.0.0.1:8080/ldgg.asp");
//   MoveWindow(page.hwnd(), ...) or page.Move(rect);   // follow the parent's size
//
// Creation may fail (no browser control on the machine): the caller's pane
// then stays empty and Navigate does nothing. Addresses given before Create
// wait, and NavigateNextWaiting loads them one by one, oldest first, once the
// control exists; a failed creation drops them.
#pragma once

#include <windows.h>

#include <deque>
#include <string>

#include "fw/control_host.h"

class CExplorer1 {
public:
    static constexpr char kClassId[] = "{8856F961-340A-11D0-A96B-00C04FD705A2}";

    // The control as a child of `parent` with control id `id`; WS_VISIBLE in
    // `style` shows it. The window name is given to the control's window.
    HRESULT Create(const char* windowName, DWORD style, const RECT& rect, HWND parent, int id);
    void Destroy() { host_.Destroy(); }

    // Loads `address` (GBK); flags, target frame, post data and headers left
    // out. Before Create the address waits (S_FALSE).
    HRESULT Navigate(const std::string& address);
    // Loads the oldest waiting address; false when none was waiting.
    bool NavigateNextWaiting();

    HWND hwnd() const { return host_.Window(); }
    void Move(const RECT& rect) { host_.Move(rect); }
    fw::ControlHost& Host() { return host_; }

private:
    fw::ControlHost host_;
    bool createTried_ = false;
    std::deque<std::string> waiting_;
};
