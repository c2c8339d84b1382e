// What the screen shows, in the order Windows keeps the windows in.
//
// Under Wine the X screen can stack our windows otherwise than Windows'
// z-order says: every change of the keyboard focus raises the focus window's
// top-level window above all others on the screen (its owned and topmost
// windows included, which Windows keeps above it), and a window shown beneath
// another is still mapped on top of it. A window a user must see then lies
// under the one he works in while Windows reports it in front. These helpers
// give the screen Windows' order again; on Windows they change nothing one
// can see.
#pragma once

#include <windows.h>

namespace fw {

// Brings the window to the top of its z-order band (the topmost windows, or
// the others) without activating it, on the screen as well.
void RaiseWithoutActivation(HWND window);

// Raises again, lowest first, the visible windows of this process that the
// z-order has above `window` (its owned windows, topmost windows), so that
// the screen shows them above it too.
void RaiseWindowsAbove(HWND window);

// From now on, after every change of the keyboard focus on this thread, the
// windows the z-order has above the focus window's top-level window are
// raised again on the screen. Once per thread; later calls do nothing.
void KeepScreenOrder();

}  // namespace fw
