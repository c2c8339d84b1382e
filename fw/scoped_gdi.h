// Scoped owners of GDI resources, so that every path out of a paint or a
// measurement gives back what it took, in the reverse order it was taken:
//
//   fw::gdi::PaintDc dc(hwnd());                       // BeginPaint/EndPaint
//   fw::gdi::Font font(CreateFontIndirectA(&lf));      // DeleteObject
//   fw::gdi::Selection use(dc, font);                  // puts the old font back
//
//   fw::gdi::WindowDc screen(nullptr);                 // GetDC/ReleaseDC
//   fw::gdi::MemoryDc mem(screen);                     // CreateCompatibleDC/DeleteDC
//
// Declare the object before the selection that uses it: the selection then
// goes first and the object is no longer selected when it is deleted. An
// object handed to Windows for good (a window region, a toolbar's bitmap)
// leaves its owner by Detach().
#pragma once

#include <windows.h>

#include <utility>

namespace fw::gdi {

// One GDI object (font, brush, pen, bitmap, region), deleted with its owner.
template <class Handle>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle owned) : h_(owned) {}
    Owned(Owned&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    Owned& operator=(Owned&& o) noexcept {
        if (this != &o) Reset(std::exchange(o.h_, nullptr));
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { Reset(); }

    Handle Get() const { return h_; }
    operator Handle() const { return h_; }

    // Deletes the object held and takes `owned` in its place.
    void Reset(Handle owned = nullptr) {
        if (h_) DeleteObject(h_);
        h_ = owned;
    }
    // Gives the object up without deleting it (Windows owns it now).
    Handle Detach() { return std::exchange(h_, nullptr); }

private:
    Handle h_ = nullptr;
};

using Font = Owned<HFONT>;
using Brush = Owned<HBRUSH>;
using Pen = Owned<HPEN>;
using Bitmap = Owned<HBITMAP>;
using Region = Owned<HRGN>;

// The device context of a window's client area (of the screen for nullptr),
// or one the caller took by GetWindowDC or GetDCEx; released by ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(HWND window, HDC taken) : window_(window), dc_(taken) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// The device context of one WM_PAINT.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &ps_)) {}
    ~PaintDc() { EndPaint(window_, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }
    const PAINTSTRUCT& Paint() const { return ps_; }

private:
    HWND window_;
    PAINTSTRUCT ps_ = {};
    HDC dc_;
};

// A memory device context compatible with `like` (the screen for nullptr).
class MemoryDc {
public:
    explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
    ~MemoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }

private:
    HDC dc_;
};

// `object` (not a region: selecting one replaces nothing) selected into `dc`
// for a scope; the object it replaced comes back at the end. A null object
// selects nothing. Select() swaps in another object of the same kind meanwhile.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    ~Selection() {
        if (old_) SelectObject(dc_, old_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

    void Select(HGDIOBJ object) { SelectObject(dc_, object); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A window's dc with the window's own font (WM_GETFONT) selected, for
// measuring text as the window draws it.
class WindowFontDc {
public:
    explicit WindowFontDc(HWND window)
        : dc_(window), font_(dc_, reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0))) {}

    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }

private:
    WindowDc dc_;
    Selection font_;
};

// Hands `region` to `window`, which deletes it when done with it; a region
// the window refuses is deleted here. False when refused (or no region).
inline bool GiveWindowRegion(HWND window, Region region, bool redraw) {
    if (!region || !SetWindowRgn(window, region, redraw ? TRUE : FALSE)) return false;
    region.Detach();
    return true;
}

// The whole state of a dc (selections, colours, modes, clipping) saved for a
// scope and restored at its end.
class SavedState {
public:
    explicit SavedState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~SavedState() {
        if (saved_ != 0) RestoreDC(dc_, saved_);
    }
    SavedState(const SavedState&) = delete;
    SavedState& operator=(const SavedState&) = delete;

private:
    HDC dc_;
    int saved_;
};

}  // namespace fw::gdi
