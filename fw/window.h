// Window base of the framework layer: owns an HWND and routes its messages to
// one overridable function. Plain Win32 underneath; no message-map macros.
#pragma once

#include <windows.h>

namespace fw {

HINSTANCE Instance();            // the module that holds our resources
void SetInstance(HINSTANCE h);   // set once by a DLL's DllMain; EXEs need not

// The application's main window: the owner of a modal dialog built without a
// parent, and of message boxes shown without one. Null until set.
HWND MainWindow();
void SetMainWindow(HWND hwnd);

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }
    operator HWND() const { return hwnd_; }

    // Registers (once) a window class of this name whose procedure routes to
    // the Window object, and creates the window.
    bool Create(const char* className, const char* title, DWORD style, DWORD exStyle,
                int x, int y, int cx, int cy, HWND parent, HMENU menuOrId,
                UINT classStyle = CS_DBLCLKS, HBRUSH background = nullptr,
                HCURSOR cursor = nullptr, HICON icon = nullptr);

    // Takes over an existing window (a dialog's control): its messages now
    // reach HandleMessage first; DefaultProc calls the original procedure.
    bool Subclass(HWND existing);
    bool SubclassDlgItem(UINT id, HWND dialog) { return Subclass(GetDlgItem(dialog, id)); }

    // Destroys the window (when owned) and forgets it.
    void Destroy();

    // Sees a queued message before it is translated and dispatched, on its way
    // from the target window up to its top-level window (RunMessageLoop and
    // fw::Dialog's modal loop walk that chain). True consumes the message.
    virtual bool PreTranslateMessage(MSG& msg) { return false; }

    // The window object behind hwnd, or null.
    static Window* FromHandle(HWND hwnd);

protected:
    // One dispatch function per class. Unhandled messages go to DefaultProc.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);

    // Called after WM_NCDESTROY; the HWND is gone. Default does nothing.
    virtual void OnFinalDestroy() {}

    // Called by Subclass once hwnd() is set and messages reach this object,
    // so that a control class can adjust the style of the window it takes.
    virtual void PreSubclassWindow() {}

private:
    static LRESULT CALLBACK StaticProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Route(UINT msg, WPARAM wp, LPARAM lp);
    void Bind(HWND h);

    HWND hwnd_ = nullptr;
    WNDPROC oldProc_ = nullptr;  // set when subclassed
};

// Runs the thread's message loop until WM_QUIT; returns its exit code.
// Dialog messages of modeless dialogs registered with AddModeless are routed.
int RunMessageLoop();
// One step of that loop for a message already taken from the queue:
// PreTranslateMessage walk, dialog keys of the registered dialogs, dispatch.
void ProcessQueuedMessage(MSG& msg);
void AddModeless(HWND dialog);
void RemoveModeless(HWND dialog);

// Work done whenever RunMessageLoop finds the queue empty (states polled
// rather than notified, such as where the keyboard focus is). Handlers are
// kept per owner window and go with RemoveIdleHandlers.
void AddIdleHandler(HWND owner, void (*handler)(HWND owner));
void RemoveIdleHandlers(HWND owner);
void RunIdleHandlers();

}  // namespace fw
