// Helpers of the window tests: pumping the queue the way the programs do,
// reading pixels back from a 32-bit memory bitmap, counting GDI objects.
#pragma once

#include <windows.h>

#include "window.h"

namespace testutil {

// Runs the fw message routing for about ms milliseconds.
inline void Pump(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    do {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) fw::ProcessQueuedMessage(m);
        Sleep(5);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

// A top-down 32-bit bitmap selected into a memory device context.
class Canvas {
public:
    Canvas(int w, int h) : w_(w), h_(h) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bmp_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bmp_);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bmp_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return w_; }
    int height() const { return h_; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        DWORD p = bits_[static_cast<size_t>(y) * w_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    void Fill(COLORREF c) {
        HBRUSH b = CreateSolidBrush(c);
        RECT r = {0, 0, w_, h_};
        FillRect(dc_, &r, b);
        DeleteObject(b);
    }
    // What the window shows on screen in its client area.
    void CopyFromWindow(HWND hwnd) {
        HDC src = GetDC(hwnd);
        BitBlt(dc_, 0, 0, w_, h_, src, 0, 0, SRCCOPY);
        ReleaseDC(hwnd, src);
    }

private:
    int w_, h_;
    HDC dc_;
    HBITMAP bmp_;
    HGDIOBJ old_;
    DWORD* bits_ = nullptr;
};

// The GDI objects this process holds (brushes, pens, fonts, regions, bitmaps,
// device contexts). Wine answers GetGuiResources with 0; there a handle whose
// high word is 0 names the object in that table slot whatever its generation,
// so probing every slot counts the live objects.
inline DWORD GdiObjectCount() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return n;
    DWORD n = 0;
    for (ULONG_PTR slot = 1; slot <= 0xFFFF; ++slot)
        n += GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0;
    return n;
}

inline SIZE ClientSize(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    return {r.right, r.bottom};
}

}  // namespace testutil
