#!/usr/bin/env python3
"""Moves the X window whose name begins with TEXT to X,Y on $DISPLAY,
waiting up to SECONDS for it to appear. Exit code 0 when it was moved.

    place_window.py TEXT X Y [SECONDS]

A Wine desktop is found by its name: Wine calls the desktop "name" of
`explorer /desktop=name,...` "name - Wine desktop" in the words of the
user's language ("name - Wine 桌面" under zh_CN), so TEXT is the part
before. The name is read as the window manager reads it (_NET_WM_NAME, in
UTF-8), else from WM_NAME.

Talks to the X server through libX11 (present wherever Wine runs), so the
demo needs no window-manager tools.
"""

import ctypes
import ctypes.util
import sys
import time


def main():
    if len(sys.argv) not in (4, 5):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    text = sys.argv[1].encode()
    x, y = int(sys.argv[2]), int(sys.argv[3])
    seconds = float(sys.argv[4]) if len(sys.argv) == 5 else 30.0

    x11 = load_x11()
    display = x11.XOpenDisplay(None)
    if not display:
        print("place_window: cannot open the display", file=sys.stderr)
        return 1
    try:
        root = x11.XDefaultRootWindow(display)
        deadline = time.monotonic() + seconds
        while True:
            window = find(x11, display, root, text)
            if window:
                x11.XMoveWindow(display, window, x, y)
                x11.XFlush(display)
                return 0
            if time.monotonic() > deadline:
                print("place_window: no window whose name begins with %r" % text.decode(), file=sys.stderr)
                return 1
            time.sleep(0.2)
    finally:
        x11.XCloseDisplay(display)


def load_x11():
    x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                               ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                               ctypes.POINTER(ctypes.c_uint)]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long,
                                       ctypes.c_long, ctypes.c_int, ctypes.c_ulong,
                                       ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
                                       ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
                                       ctypes.POINTER(ctypes.c_void_p)]
    x11.XMoveWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int]
    x11.XFree.argtypes = [ctypes.c_void_p]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    return x11


def name_of(x11, display, window):
    """The window's name as bytes: _NET_WM_NAME (UTF-8), else WM_NAME; b"" when it has none."""
    for prop in (b"_NET_WM_NAME", b"WM_NAME"):
        atom = x11.XInternAtom(display, prop, True)
        if not atom:
            continue
        kind, fmt = ctypes.c_ulong(), ctypes.c_int()
        count, after = ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.c_void_p()
        # AnyPropertyType (0): WM_NAME may be STRING or COMPOUND_TEXT.
        if x11.XGetWindowProperty(display, window, atom, 0, 1024, False, 0, ctypes.byref(kind),
                                  ctypes.byref(fmt), ctypes.byref(count), ctypes.byref(after),
                                  ctypes.byref(data)) != 0:
            continue
        try:
            if data.value and fmt.value == 8 and count.value:
                return ctypes.string_at(data.value, count.value)
        finally:
            if data.value:
                x11.XFree(data)
    return b""


def find(x11, display, parent, text):
    """The first window below parent, depth first, whose name begins with
    text, else 0. A window manager puts a program's window into a frame of
    its own; without one it is a child of the root."""
    top, up = ctypes.c_ulong(), ctypes.c_ulong()
    children = ctypes.POINTER(ctypes.c_ulong)()
    count = ctypes.c_uint()
    if not x11.XQueryTree(display, parent, ctypes.byref(top), ctypes.byref(up), ctypes.byref(children),
                          ctypes.byref(count)):
        return 0
    try:
        windows = [children[i] for i in range(count.value)]
    finally:
        if children:
            x11.XFree(children)
    for window in windows:
        if name_of(x11, display, window).startswith(text):
            return window
    for window in windows:
        found = find(x11, display, window, text)
        if found:
            return found
    return 0


if __name__ == "__main__":
    sys.exit(main())
