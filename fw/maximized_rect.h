// Where a top-level window lies when maximised: the work area of the primary
// monitor, with the sizing border pushed just outside it, as the system's
// default WM_GETMINMAXINFO places it. A window created with this rectangle and
// WS_MAXIMIZE is laid out once, at its final size, before it is first shown.
#pragma once

#include <windows.h>

namespace fw {

inline RECT MaximizedWindowRect(DWORD style, DWORD exStyle) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    const POINT origin = {0, 0};
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoA(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &monitor)) work = monitor.rcWork;
    // The border alone: with WS_BORDER taken out of WS_CAPTION the caption's
    // height is not counted, which is how the system sizes the maximised frame.
    const DWORD borderStyle = (style & WS_CAPTION) == WS_CAPTION ? style & ~WS_BORDER : style;
    RECT border = {0, 0, 0, 0};
    AdjustWindowRectEx(&border, borderStyle, FALSE, exStyle);
    return RECT{work.left + border.left, work.top + border.top, work.right + border.right,
                work.bottom + border.bottom};
}

}  // namespace fw
