#include "fw/window.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "fw/screen_order.h"

namespace fw {
namespace {

// The window property that points to the object. Its name is unique to this
// module: an ActiveX control (a DLL with its own copy of this layer) hosted
// in one of our windows must never hand its objects to ours, nor ours to it.
const char* ObjectProp() {
    static const std::string name = [] {
        char text[40];
        std::snprintf(text, sizeof text, "fw.Window.%p", reinterpret_cast<void*>(&ObjectProp));
        return std::string(text);
    }();
    return name.c_str();
}
HINSTANCE g_instance = nullptr;
HWND g_mainWindow = nullptr;
std::vector<HWND>& Modeless() {
    static std::vector<HWND> list;
    return list;
}

}  // namespace

HINSTANCE Instance() { return g_instance ? g_instance : GetModuleHandleA(nullptr); }
void SetInstance(HINSTANCE h) { g_instance = h; }

HWND MainWindow() { return g_mainWindow && IsWindow(g_mainWindow) ? g_mainWindow : nullptr; }
void SetMainWindow(HWND hwnd) { g_mainWindow = hwnd; }

Window::~Window() { Destroy(); }

Window* Window::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<Window*>(GetPropA(hwnd, ObjectProp())) : nullptr;
}

void Window::Bind(HWND h) {
    hwnd_ = h;
    SetPropA(h, ObjectProp(), this);
}

bool Window::Create(const char* className, const char* title, DWORD style, DWORD exStyle,
                    int x, int y, int cx, int cy, HWND parent, HMENU menuOrId,
                    UINT classStyle, HBRUSH background, HCURSOR cursor, HICON icon) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(Instance(), className, &wc)) {
        wc = {};
        wc.cbSize = sizeof wc;
        wc.style = classStyle;
        wc.lpfnWndProc = StaticProc;
        wc.hInstance = Instance();
        wc.hCursor = cursor ? cursor : LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = background;
        wc.hIcon = icon;
        wc.lpszClassName = className;
        if (!RegisterClassExA(&wc)) return false;
    }
    HWND h = CreateWindowExA(exStyle, className, title, style, x, y, cx, cy, parent, menuOrId,
                             Instance(), this);
    return h != nullptr;
}

bool Window::Subclass(HWND existing) {
    if (!existing || hwnd_) return false;
    Bind(existing);
    oldProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(existing, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    if (!oldProc_) {  // not ours to take (another process's window): stay unbound
        RemovePropA(existing, ObjectProp());
        hwnd_ = nullptr;
        return false;
    }
    PreSubclassWindow();
    return true;
}

void Window::Destroy() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) { return DefaultProc(msg, wp, lp); }

LRESULT Window::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (oldProc_) return CallWindowProcA(oldProc_, hwnd_, msg, wp, lp);
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT Window::Route(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCDESTROY) {
        LRESULT r = HandleMessage(msg, wp, lp);
        HWND gone = hwnd_;
        RemovePropA(gone, ObjectProp());
        if (oldProc_) {
            SetWindowLongPtrA(gone, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc_));
            oldProc_ = nullptr;
        }
        hwnd_ = nullptr;
        OnFinalDestroy();
        return r;
    }
    return HandleMessage(msg, wp, lp);
}

LRESULT CALLBACK Window::StaticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    Window* self = FromHandle(h);
    if (!self && msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        if (self) self->Bind(h);
    }
    if (!self) return DefWindowProcA(h, msg, wp, lp);
    return self->Route(msg, wp, lp);
}

LRESULT CALLBACK Window::SubclassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    Window* self = FromHandle(h);
    if (!self) return DefWindowProcA(h, msg, wp, lp);
    return self->Route(msg, wp, lp);
}

void AddModeless(HWND dialog) { Modeless().push_back(dialog); }
void RemoveModeless(HWND dialog) {
    auto& l = Modeless();
    l.erase(std::remove(l.begin(), l.end(), dialog), l.end());
}

namespace {

// From the target up to its top-level window, as long as windows are children.
bool WalkPreTranslate(MSG& m) {
    for (HWND h = m.hwnd; h; h = GetParent(h)) {
        Window* w = Window::FromHandle(h);
        if (w && w->PreTranslateMessage(m)) return true;
        if (!(GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD)) break;
    }
    return false;
}

}  // namespace

void ProcessQueuedMessage(MSG& m) {
    if (WalkPreTranslate(m)) return;
    // A copy: a dialog may unregister itself while handling the message.
    const std::vector<HWND> dialogs = Modeless();
    for (HWND d : dialogs) {
        if (IsWindow(d) && IsDialogMessageA(d, &m)) return;
    }
    TranslateMessage(&m);
    DispatchMessageA(&m);
}

namespace {

struct IdleHandler {
    HWND owner;
    void (*handler)(HWND);
};

std::vector<IdleHandler>& IdleHandlers() {
    static std::vector<IdleHandler> handlers;
    return handlers;
}

}  // namespace

void AddIdleHandler(HWND owner, void (*handler)(HWND)) { IdleHandlers().push_back({owner, handler}); }

void RemoveIdleHandlers(HWND owner) {
    auto& l = IdleHandlers();
    l.erase(std::remove_if(l.begin(), l.end(), [owner](const IdleHandler& h) { return h.owner == owner; }),
            l.end());
}

void RunIdleHandlers() {
    // A copy: a handler may remove handlers.
    const std::vector<IdleHandler> handlers = IdleHandlers();
    for (const IdleHandler& h : handlers) {
        if (IsWindow(h.owner)) h.handler(h.owner);
    }
}

int RunMessageLoop() {
    KeepScreenOrder();
    MSG m;
    for (;;) {
        if (!PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) RunIdleHandlers();
        if (GetMessageA(&m, nullptr, 0, 0) <= 0) break;
        ProcessQueuedMessage(m);
    }
    return static_cast<int>(m.wParam);
}

}  // namespace fw
