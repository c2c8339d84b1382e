// Helpers of the window tests: pumping the queue the way the programs do,
// reading pixels back from a 32-bit memory bitmap, counting GDI objects,
// and driving a modal dialog as its user would.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "fw/dialog.h"
#include "fw/window.h"

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

// Pumps until a visible top-level window of the class shows (nullptr after
// ms milliseconds); windows made by system libraries take their time under load.
inline HWND WaitForWindow(const char* className, DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    for (;;) {
        HWND w = FindWindowA(className, nullptr);
        if (w && IsWindowVisible(w)) return w;
        if (static_cast<LONG>(end - GetTickCount()) <= 0) return nullptr;
        Pump(50);
    }
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

// ---------------------------------------------------------------- files

inline std::string TempFile(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// "word1/word2/.../wordN/", a phrase list of n items.
inline std::string Numbered(const char* word, int n) {
    std::string s;
    for (int i = 1; i <= n; ++i) s += word + std::to_string(i) + "/";
    return s;
}

// ---------------------------------------------------------------- dialogs

// A dialog that plays the user's part: one step per timer tick; a step that
// returns false is tried again at the next tick (a window it waits for is not
// there yet). Steps that open a modal window post their click, so that the
// ticks go on inside its loop.
template <class Dlg>
class Scripted : public Dlg {
public:
    using Dlg::Dlg;
    using Base = Dlg;  // names the step helpers' template argument
    using Step = std::function<bool(Scripted&)>;
    std::vector<Step> steps;

    HWND Ctl(int id) const { return this->Item(id); }

protected:
    BOOL OnInitDialog() override {
        const BOOL r = Dlg::OnInitDialog();
        next_ = 0;
        SetTimer(this->hwnd(), 77, 15, Tick);
        return r;
    }

private:
    static void CALLBACK Tick(HWND h, UINT, UINT_PTR id, DWORD) {
        auto* self = dynamic_cast<Scripted*>(fw::Window::FromHandle(h));
        if (!self || self->busy_) return;
        if (self->next_ >= self->steps.size()) {
            KillTimer(h, id);
            return;
        }
        self->busy_ = true;
        const bool done = self->steps[self->next_](*self);
        self->busy_ = false;
        if (done) ++self->next_;
    }
    std::size_t next_ = 0;
    bool busy_ = false;
};

// A step that always completes.
template <class D> typename Scripted<D>::Step Do(std::function<void(Scripted<D>&)> f) {
    return [f](Scripted<D>& d) { f(d); return true; };
}

inline void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }

// Two presses of the real left mouse button on the window's centre, gapMs
// apart as the system times them: stamped, so that a slow machine still
// delivers the second within the double-click time. The caller pumps.
inline void PressTwice(HWND window, DWORD gapMs) {
    RECT r;
    GetWindowRect(window, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    const DWORD first = GetTickCount() - gapMs - 20;  // all four in the past
    const DWORD flags[] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    const DWORD times[] = {first, first + 10, first + gapMs, first + gapMs + 10};
    INPUT in[4] = {};
    for (int i = 0; i < 4; ++i) {
        in[i].type = INPUT_MOUSE;
        in[i].mi.dwFlags = flags[i];
        in[i].mi.time = times[i];
    }
    SendInput(4, in, sizeof in[0]);
}
inline void Click(HWND dlg, int id) { Click(GetDlgItem(dlg, id)); }
// The click a modal window opens from: posted, so the caller's step returns.
inline void PostClick(HWND dlg, int id) {
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

struct OwnedSearch { HWND owner; HWND found; };
inline BOOL CALLBACK FindOwned(HWND h, LPARAM lp) {
    auto* f = reinterpret_cast<OwnedSearch*>(lp);
    char cls[16] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (std::string(cls) == "#32770" && IsWindowVisible(h) && GetWindow(h, GW_OWNER) == f->owner) {
        f->found = h;
        return FALSE;
    }
    return TRUE;
}
// A visible dialog box window (message box or dialog) owned by `owner`.
inline HWND OwnedDialog(HWND owner) {
    OwnedSearch f{owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindOwned, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

struct Box { std::string caption, text; };

// Waits for a message box owned by the dialog, notes it and presses its OK.
template <class D> typename Scripted<D>::Step AnswerBox(Box& seen) {
    return [&seen](Scripted<D>& d) {
        HWND box = OwnedDialog(d.hwnd());
        if (!box) return false;
        seen.caption = fw::GetText(box);
        seen.text = fw::GetText(GetDlgItem(box, 0xFFFF));
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    };
}

inline bool IsComboBox(HWND c) {
    char cls[16] = {};
    GetClassNameA(c, cls, sizeof cls);
    return std::string(cls) == "ComboBox";
}

// The user picks an item of a combo or list box by its text.
inline void Choose(HWND dlg, int id, const std::string& text) {
    HWND c = GetDlgItem(dlg, id);
    const bool combo = IsComboBox(c);
    const LRESULT i = SendMessageA(c, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT,
                                   static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    ASSERT_GE(i, 0) << text;
    SendMessageA(c, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(i), 0);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(c));
}

// The items of a combo or list box.
inline std::vector<std::string> Items(HWND c) {
    const bool combo = IsComboBox(c);
    std::vector<std::string> items;
    const LRESULT n = SendMessageA(c, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char buf[256] = {};
        SendMessageA(c, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(buf));
        items.push_back(buf);
    }
    return items;
}

// GDI objects the platform itself loses each time a top-level window that was
// given a region is destroyed: none on Windows and Wine 8; Wine 10 forgets
// the region. Measured on a plain popup window, the second of two (the first
// may leave objects the system makes once), so that counts of our own
// objects can leave the platform's loss out.
inline DWORD RegionsLostPerDestroyedWindow() {
    auto showAndDestroy = [] {
        HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr,
                                 nullptr, nullptr, nullptr);
        SetWindowRgn(w, CreateRectRgn(0, 0, 30, 30), TRUE);
        Pump(20);
        DestroyWindow(w);
        Pump(20);
    };
    showAndDestroy();
    const DWORD before = GdiObjectCount();
    showAndDestroy();
    const DWORD after = GdiObjectCount();
    return after > before ? after - before : 0;
}

}  // namespace testutil
