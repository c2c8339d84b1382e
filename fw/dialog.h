// Dialogs from resource templates, modal and modeless, on the Window base.
//
// The dialog window is subclassed by the object as soon as the dialog manager
// creates it, so a dialog class works like any fw::Window: one HandleMessage,
// DefaultProc for the platform's dialog behaviour. A derived dialog typically:
//
//   class CNotify : public CDialogEx {
//       fw::Window text_; CXPButton close_;
//       void BindControls() override { Bind(text_, 1063); Bind(close_, IDOK); }
//       bool OnCommand(int id, int code, HWND) override { ... }
//   };
//
// Modal:    CNotify dlg(owner); if (dlg.DoModal() == IDOK) ...
// Modeless: dlg.CreateModeless(); ShowWindow(dlg, SW_SHOW);  (OK/Cancel hide it)
//
// Both run queued messages through fw::ProcessQueuedMessage, so a control's
// PreTranslateMessage sees its keys first in modal dialogs too. Owner-drawn
// fw controls get their WM_DRAWITEM back from the dialog as
// kReflect + WM_DRAWITEM (lParam: the DRAWITEMSTRUCT).
//
// ActiveX controls: a template item whose class is a class id, e.g.
//   CONTROL "", 1096, "{6B4602D7-8EC6-45E4-83C5-0D96D25C1C29}", WS_TABSTOP, 221, 189, 0, 0
// is created by the dialog as a hosted control (fw::ControlHost) at that
// item's rectangle with that id, before OnInitDialog runs; reach it with
// HostedControl(1096). When such a control cannot be created (class not
// registered) the dialog is not created at all: DoModal returns -1 or
// CreateModeless false, and HostFailure() tells the HRESULT and class id,
// so that the caller can refuse with a message.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "fw/control_host.h"
#include "fw/dialog_template.h"
#include "fw/window.h"

namespace fw {

// A parent's notification handed back to the fw control that caused it:
// a dialog sends kReflect + WM_DRAWITEM to an owner-drawn fw control.
constexpr UINT kReflect = WM_USER + 0x1C00;

// Window text as GBK bytes.
std::string GetText(HWND hwnd);
void SetText(HWND hwnd, const std::string& text);

class Dialog : public Window {
public:
    Dialog(UINT templateId, HWND parent = nullptr);
    ~Dialog() override;

    // Shows the dialog modally and returns what EndDialog was given, or -1
    // when the dialog could not be created. The dialog is destroyed when this
    // returns; the object may show it again. A null parent means MainWindow().
    // A parent that the running modal dialog keeps disabled gives way to that
    // dialog, which then owns this one and is active again when it closes.
    INT_PTR DoModal();

    // Creates the dialog modeless (visible only if its template says so) and
    // registers it with the message loop for its keys. A null parent here
    // means the parent given at construction (which may be none). It takes
    // no focus (nor the activation) until it is activated.
    bool CreateModeless(HWND parent = nullptr);

    // Modal: ends the loop of DoModal with this result. Modeless: hides the
    // dialog (it stays created) and touches no other window's enabled state:
    // its owner may be disabled by a modal dialog that is still running, which
    // then gets the activation back.
    void EndDialog(INT_PTR result);

    // The innermost modal dialog running on this thread, or null.
    static HWND RunningModal();

    UINT TemplateId() const { return templateId_; }
    HWND Parent() const { return parent_; }
    void SetParent(HWND parent) { parent_ = parent; }
    bool IsModal() const { return modal_; }

    // Controls by id.
    HWND Item(int id) const { return GetDlgItem(hwnd(), id); }
    bool Bind(Window& control, int id) { return control.SubclassDlgItem(id, hwnd()); }
    std::string ItemText(int id) const { return GetText(Item(id)); }
    void SetItemText(int id, const std::string& text) const { SetText(Item(id), text); }
    int ItemInt(int id, bool* ok = nullptr) const;
    void SetItemInt(int id, int value) const { SetDlgItemInt(hwnd(), id, value, TRUE); }
    bool IsChecked(int id) const { return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED; }
    void SetChecked(int id, bool on) const { CheckDlgButton(hwnd(), id, on ? BST_CHECKED : BST_UNCHECKED); }
    void EnableItem(int id, bool on) const { EnableWindow(Item(id), on); }
    void ShowItem(int id, bool show) const { ShowWindow(Item(id), show ? SW_SHOW : SW_HIDE); }
    LRESULT SendItem(int id, UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
        return SendDlgItemMessageA(hwnd(), id, msg, wp, lp);
    }

    // The ActiveX control of template item `id`, or null.
    ControlHost* HostedControl(int id) const;
    // Why the last creation failed on a hosted control: its HRESULT (S_OK
    // when none failed) and the class id text of the item.
    HRESULT HostFailure() const { return hostFailure_; }
    const std::string& HostFailureClass() const { return hostFailureClass_; }

    // The application's message box owned by this dialog; a null caption
    // gives the application's title.
    int ShowMessage(const std::string& text, const char* caption = nullptr, UINT type = MB_OK) const;

protected:
    // Binds the dialog's control objects (Bind(member, id)); called by
    // Dialog::OnInitDialog, i.e. on every showing, as the controls are new.
    virtual void BindControls() {}

    // WM_INITDIALOG. Derived dialogs call the base first. TRUE lets the
    // dialog manager put the focus on the first control.
    virtual BOOL OnInitDialog();
    // Buttons IDOK / IDCANCEL (also Enter, Escape and the close box).
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // WM_COMMAND before the OK/Cancel defaults; true when handled.
    virtual bool OnCommand(int id, int code, HWND control) { return false; }

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
    HWND CreateFromTemplate(HWND owner);
    bool CreateHostedControls();
    bool IsHostedWindow(HWND h) const;

    UINT templateId_;
    HWND parent_;
    bool modal_ = false;
    bool ended_ = false;
    INT_PTR result_ = -1;

    std::vector<TemplateControlItem> controlItems_;  // of the template being created
    std::vector<std::unique_ptr<ControlHost>> hosts_;
    HRESULT hostFailure_ = S_OK;
    std::string hostFailureClass_;
};

// Shows a window and brings it to the front, on the screen too, except above
// a modal dialog running on this thread (unless that dialog owns it): the
// window then goes just beneath the dialog, which keeps the activation. With
// activate false the active window keeps the activation and the keyboard (a
// window that opens by itself while the user types elsewhere). True when the
// window was activated.
bool ShowInFront(HWND window, bool activate = true);

}  // namespace fw
