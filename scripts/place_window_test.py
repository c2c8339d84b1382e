#!/usr/bin/env python3
"""place_window.py on an Xvfb of its own, against windows named as Wine names
its desktops: it moves the one whose name begins with the text, whatever
language the rest of the name is in, and leaves the others where they are."""
import ctypes
import ctypes.util
import os
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))


def start_xvfb():
    r, w = os.pipe()
    proc = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(w)
    with os.fdopen(r, "rb") as f:
        number = f.readline().decode().strip()
    return proc, ":" + number


class XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("rest", ctypes.c_byte * 256)]


class PlaceWindowTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.xvfb, cls.display_name = start_xvfb()
        os.environ["DISPLAY"] = cls.display_name
        x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        x11.XDefaultRootWindow.restype = ctypes.c_ulong
        x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x11.XCreateSimpleWindow.restype = ctypes.c_ulong
        x11.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 4 + \
            [ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
        # As Wine sets a window's name: WM_NAME in the ICC text style (COMPOUND_TEXT
        # for a name outside Latin-1) and _NET_WM_NAME in UTF-8.
        x11.Xutf8SetWMProperties.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_char_p] + \
            [ctypes.c_void_p] * 6
        x11.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        x11.XDestroyWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x11.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(XWindowAttributes)]
        cls.x11 = x11
        cls.display = x11.XOpenDisplay(cls.display_name.encode())
        assert cls.display, "no display"

    @classmethod
    def tearDownClass(cls):
        cls.x11.XCloseDisplay(cls.display)
        cls.xvfb.terminate()
        cls.xvfb.wait(timeout=10)

    def window(self, name):
        x11 = self.x11
        w = x11.XCreateSimpleWindow(self.display, x11.XDefaultRootWindow(self.display), 0, 0, 400, 300, 0, 0, 0)
        x11.Xutf8SetWMProperties(self.display, w, name.encode("utf-8"), None, None, None, None, None, None)
        x11.XMapWindow(self.display, w)
        x11.XSync(self.display, False)
        return w

    def position(self, w):
        attributes = XWindowAttributes()
        self.x11.XSync(self.display, False)
        self.x11.XGetWindowAttributes(self.display, w, ctypes.byref(attributes))
        return attributes.x, attributes.y

    def place(self, text, x, y):
        return subprocess.run([sys.executable, os.path.join(HERE, "place_window.py"), text, str(x), str(y), "2"],
                              capture_output=True, text=True).returncode

    def test_finds_the_desktop_by_the_start_of_its_name(self):
        for title in ("tovan-peer - Wine 桌面", "tovan-peer - Wine desktop"):
            with self.subTest(title=title):
                other = self.window("tovan-test - Wine 桌面")
                peer = self.window(title)
                self.assertEqual(self.place("tovan-peer", 640, 0), 0)
                self.assertEqual(self.position(peer), (640, 0))
                self.assertEqual(self.position(other), (0, 0))
                self.x11.XDestroyWindow(self.display, peer)
                self.x11.XDestroyWindow(self.display, other)

    def test_a_name_that_only_contains_the_text_is_not_taken(self):
        w = self.window("old tovan-peer - Wine 桌面")
        self.assertEqual(self.place("tovan-peer", 640, 0), 1)
        self.assertEqual(self.position(w), (0, 0))
        self.x11.XDestroyWindow(self.display, w)


if __name__ == "__main__":
    unittest.main()
