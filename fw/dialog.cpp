#include "fw/dialog.h"

#include <vector>

#include "fw/message_box.h"
#include "fw/screen_order.h"

#include <olectl.h>

namespace fw {
namespace {

// The dialog whose template the dialog manager is creating on this thread:
// the dialog procedure binds it to the new window on the first message.
thread_local Dialog* g_creating = nullptr;

// Messages whose answer a dialog procedure returns directly instead of
// through DWLP_MSGRESULT.
bool AnswersDirectly(UINT msg) {
    switch (msg) {
    case WM_INITDIALOG: case WM_CHARTOITEM: case WM_VKEYTOITEM: case WM_COMPAREITEM:
    case WM_QUERYDRAGICON: case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN: case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
        return true;
    default:
        return false;
    }
}

// The modal dialogs running on this thread, innermost last.
thread_local std::vector<HWND> g_modalStack;

HWND TopLevel(HWND h) {
    while (h && (GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD)) h = GetParent(h);
    return h;
}

// A dialog asked for over a window that the running modal dialog disabled
// (a command of the frame chosen in that dialog) belongs to that dialog: its
// owner must be the window that is activated again when it closes.
HWND ModalOwner(HWND asked) {
    HWND modal = Dialog::RunningModal();
    if (!modal || !asked || asked == modal || IsWindowEnabled(asked)) return asked;
    return modal;
}

}  // namespace

std::string GetText(HWND hwnd) {
    if (!hwnd) return {};
    int n = GetWindowTextLengthA(hwnd);
    if (n <= 0) return {};
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    int got = GetWindowTextA(hwnd, buf.data(), n + 1);
    return std::string(buf.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

void SetText(HWND hwnd, const std::string& text) {
    if (hwnd) SetWindowTextA(hwnd, text.c_str());
}

Dialog::Dialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

// Destroyed here, while this class still answers WM_NCDESTROY.
Dialog::~Dialog() { Destroy(); }

HWND Dialog::CreateFromTemplate(HWND owner) {
    hostFailure_ = S_OK;
    hostFailureClass_.clear();
    controlItems_.clear();
    DialogTemplate tpl;
    const bool parsed = tpl.Load(Instance(), templateId_);
    if (parsed) controlItems_ = tpl.ControlItems();
    // With ActiveX items the dialog is shown only once they exist, so that a
    // failed one never flashes a half-built window.
    const bool showLater = !controlItems_.empty() && (tpl.Style() & WS_VISIBLE);
    if (showLater) tpl.SetStyle(tpl.Style() & ~WS_VISIBLE);

    Dialog* outer = g_creating;
    g_creating = this;
    HWND h = parsed ? CreateDialogIndirectParamA(Instance(), tpl.Stripped(), owner, DialogProc,
                                                 reinterpret_cast<LPARAM>(this))
                    : CreateDialogParamA(Instance(), MAKEINTRESOURCEA(templateId_), owner, DialogProc,
                                         reinterpret_cast<LPARAM>(this));
    g_creating = outer;
    controlItems_.clear();
    if (h && FAILED(hostFailure_)) {
        Destroy();
        return nullptr;
    }
    if (h && showLater && hwnd()) ShowWindow(h, SW_SHOWNORMAL);
    return h;
}

bool Dialog::CreateHostedControls() {
    hosts_.clear();
    for (const TemplateControlItem& item : controlItems_) {
        RECT r = item.dialogUnits;
        MapDialogRect(hwnd(), &r);
        auto host = std::make_unique<ControlHost>();
        host->SetReflectsMessages(true);
        const HRESULT hr = host->Create(item.classId, hwnd(), r, item.id, (item.style & WS_VISIBLE) != 0);
        if (FAILED(hr)) {
            hostFailure_ = hr;
            hostFailureClass_ = item.classId;
            hosts_.clear();
            return false;
        }
        // Tab and z order as in the template.
        if (HWND w = host->Window()) {
            HWND after = item.previousId >= 0 ? GetDlgItem(hwnd(), item.previousId) : HWND_TOP;
            if (after) SetWindowPos(w, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        hosts_.push_back(std::move(host));
    }
    return true;
}

bool Dialog::IsHostedWindow(HWND h) const {
    for (const auto& host : hosts_)
        if (host->Window() && host->Window() == h) return true;
    return false;
}

ControlHost* Dialog::HostedControl(int id) const {
    for (const auto& host : hosts_)
        if (host->Id() == id) return host.get();
    return nullptr;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    // Once bound, every message has passed HandleMessage already and reaches
    // this procedure only through DefaultProc: the dialog manager's default.
    if (Window::FromHandle(h)) return FALSE;

    Dialog* self = g_creating;
    if (!self && msg == WM_INITDIALOG) self = reinterpret_cast<Dialog*>(lp);
    if (!self || self->hwnd()) return FALSE;
    g_creating = nullptr;
    if (!self->Subclass(h)) return FALSE;

    // This first message (WM_SETFONT or WM_INITDIALOG) came before the
    // subclass: route it through the new window procedure now.
    auto proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC));
    LRESULT r = CallWindowProcA(proc, h, msg, wp, lp);
    if (AnswersDirectly(msg)) return static_cast<INT_PTR>(r);
    SetWindowLongPtrA(h, DWLP_MSGRESULT, r);
    return TRUE;
}

INT_PTR Dialog::DoModal() {
    if (hwnd()) return -1;
    KeepScreenOrder();
    HWND owner = ModalOwner(TopLevel(parent_ ? parent_ : MainWindow()));
    const bool disableOwner = owner && IsWindowEnabled(owner);

    modal_ = true;
    ended_ = false;
    result_ = -1;
    HWND h = CreateFromTemplate(owner);
    if (!h) {
        modal_ = false;
        return -1;
    }
    if (disableOwner) EnableWindow(owner, FALSE);
    g_modalStack.push_back(h);
    AddModeless(h);  // its dialog keys, through the same routing as the main loop
    if (!ended_ && hwnd() && !IsWindowVisible(h)) ShowWindow(h, SW_SHOWNORMAL);

    MSG m;
    while (!ended_ && hwnd()) {
        BOOL got = GetMessageA(&m, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(m.wParam));  // for the outer loop
            break;
        }
        if (got < 0) break;
        ProcessQueuedMessage(m);
    }

    for (auto i = g_modalStack.begin(); i != g_modalStack.end(); ++i) {
        if (*i == h) {
            g_modalStack.erase(i);
            break;
        }
    }
    // The owner is enabled before the dialog goes, so it gets the activation.
    if (disableOwner) EnableWindow(owner, TRUE);
    if (hwnd()) {
        SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (owner && GetActiveWindow() == hwnd()) SetActiveWindow(owner);
        Destroy();
    }
    modal_ = false;
    return ended_ ? result_ : -1;
}

bool Dialog::CreateModeless(HWND parent) {
    if (hwnd()) return false;
    if (parent) parent_ = parent;
    modal_ = false;
    HWND h = CreateFromTemplate(parent_);
    if (!h) return false;
    AddModeless(h);
    return true;
}

void Dialog::EndDialog(INT_PTR result) {
    if (modal_) {
        ended_ = true;
        result_ = result;
        // Wakes the modal loop if this came from a message sent by another thread.
        if (hwnd()) PostMessageA(hwnd(), WM_NULL, 0, 0);
    } else if (hwnd()) {
        // Hidden, kept. Not the platform's EndDialog: it would enable and
        // activate the owner, which a running modal dialog keeps disabled.
        result_ = result;
        const bool wasActive = GetActiveWindow() == hwnd();
        ShowWindow(hwnd(), SW_HIDE);
        HWND modal = RunningModal();
        if (wasActive && modal && IsWindowVisible(modal)) SetForegroundWindow(modal);
    }
}

HWND Dialog::RunningModal() {
    while (!g_modalStack.empty() && !IsWindow(g_modalStack.back())) g_modalStack.pop_back();
    return g_modalStack.empty() ? nullptr : g_modalStack.back();
}

bool ShowInFront(HWND window, bool activate) {
    if (!window) return false;
    HWND modal = Dialog::RunningModal();
    bool ownedByModal = false;
    for (HWND o = GetWindow(window, GW_OWNER); o && modal; o = GetWindow(o, GW_OWNER)) {
        if (o == modal) ownedByModal = true;
    }
    if (modal && modal != window && !ownedByModal) {
        SetWindowPos(window, modal, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        RaiseWindowsAbove(window);  // the screen shows a new window on top
        return false;
    }
    if (activate) {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        return true;
    }
    ShowWindow(window, SW_SHOWNOACTIVATE);
    RaiseWithoutActivation(window);
    RaiseWindowsAbove(window);
    return false;
}

int Dialog::ItemInt(int id, bool* ok) const {
    BOOL translated = FALSE;
    int v = static_cast<int>(GetDlgItemInt(hwnd(), id, &translated, TRUE));
    if (ok) *ok = translated != FALSE;
    return translated ? v : 0;
}

int Dialog::ShowMessage(const std::string& text, const char* caption, UINT type) const {
    return AppMessageBox(hwnd(), text, caption, type);
}

BOOL Dialog::OnInitDialog() {
    BindControls();
    return TRUE;
}

LRESULT Dialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        if (!CreateHostedControls()) return FALSE;  // the creator destroys the dialog
        const BOOL focusFirst = OnInitDialog();
        // A modeless dialog is made hidden, perhaps while the user types in
        // another window: focus given now would activate it unseen. It gets
        // the focus with its activation.
        return modal_ ? focusFirst : FALSE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wp), code = HIWORD(wp);
        // A hosted control's notifications go back to it (ambient MessageReflect).
        if (lp && IsHostedWindow(reinterpret_cast<HWND>(lp)))
            return SendMessageA(reinterpret_cast<HWND>(lp), OCM__BASE + WM_COMMAND, wp, lp);
        if (OnCommand(id, code, reinterpret_cast<HWND>(lp))) return 0;
        if (code == BN_CLICKED && id == IDOK) { OnOK(); return 0; }
        if (code == BN_CLICKED && id == IDCANCEL) { OnCancel(); return 0; }
        break;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lp);
        if (header && IsHostedWindow(header->hwndFrom)) {
            return SendMessageA(header->hwndFrom, OCM__BASE + WM_NOTIFY, wp, lp);
        }
        break;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        if (dis && dis->CtlType != ODT_MENU && Window::FromHandle(dis->hwndItem))
            return SendMessageA(dis->hwndItem, kReflect + WM_DRAWITEM, wp, lp);
        break;
    }
    case WM_DESTROY:
        // Before the child windows go: the controls close their own windows.
        hosts_.clear();
        break;
    case WM_NCDESTROY:
        RemoveModeless(hwnd());
        break;
    }
    return DefaultProc(msg, wp, lp);
}

}  // namespace fw
