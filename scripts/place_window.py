#!/usr/bin/env python3
"""Moves the top-level X window whose name contains TEXT to X,Y on $DISPLAY,
waiting up to SECONDS for it to appear. Exit code 0 when it was moved.

    place_window.py TEXT X Y [SECONDS]

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

    x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                               ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                               ctypes.POINTER(ctypes.c_uint)]
    x11.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
    x11.XMoveWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int]
    x11.XFree.argtypes = [ctypes.c_void_p]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

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
                print("place_window: no window named %r" % text.decode(), file=sys.stderr)
                return 1
            time.sleep(0.2)
    finally:
        x11.XCloseDisplay(display)


def find(x11, display, root, text):
    """The first child of root whose name contains text, else 0."""
    parent, top = ctypes.c_ulong(), ctypes.c_ulong()
    children = ctypes.POINTER(ctypes.c_ulong)()
    count = ctypes.c_uint()
    if not x11.XQueryTree(display, root, ctypes.byref(top), ctypes.byref(parent), ctypes.byref(children),
                          ctypes.byref(count)):
        return 0
    try:
        for i in range(count.value):
            name = ctypes.c_char_p()
            if x11.XFetchName(display, children[i], ctypes.byref(name)) and name.value:
                found = text in name.value
                x11.XFree(name)
                if found:
                    return children[i]
        return 0
    finally:
        if children:
            x11.XFree(children)


if __name__ == "__main__":
    sys.exit(main())
