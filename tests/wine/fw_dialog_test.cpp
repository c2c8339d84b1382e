// The dialog layer: modal and modeless dialogs from templates, their control
// binding, keys routed by the loops, owner handling and the message box.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "fw/dialog.h"
#include "tests/wine/dialog_test_ids.h"
#include "tests/wine/gui_test_util.h"
#include "fw/message_box.h"

namespace {

// Counts what reaches it and lets each test script the showing.
class PlainDialog : public fw::Dialog {
public:
    explicit PlainDialog(HWND parent = nullptr, UINT id = IDD_PLAIN_TEST) : fw::Dialog(id, parent) {}

    fw::Window edit;
    int inits = 0, oks = 0, cancels = 0;
    bool boundAtInit = false;
    std::string textAtOk;
    void (*onInit)(PlainDialog&) = nullptr;

protected:
    void BindControls() override { Bind(edit, IDC_TEST_EDIT); }
    BOOL OnInitDialog() override {
        fw::Dialog::OnInitDialog();
        ++inits;
        boundAtInit = edit.hwnd() == Item(IDC_TEST_EDIT) && edit.hwnd() != nullptr;
        if (onInit) onInit(*this);
        return TRUE;
    }
    void OnOK() override {
        ++oks;
        textAtOk = ItemText(IDC_TEST_EDIT);
        fw::Dialog::OnOK();
    }
    void OnCancel() override {
        ++cancels;
        fw::Dialog::OnCancel();
    }
};

TEST(FwDialogTest, ModalRunsInitBindsControlsAndReturnsTheEndResult) {
    PlainDialog dlg;
    dlg.onInit = [](PlainDialog& d) {
        d.SetItemText(IDC_TEST_EDIT, "货车 10吨");
        PostMessageA(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.inits, 1);
    EXPECT_TRUE(dlg.boundAtInit);
    EXPECT_EQ(dlg.textAtOk, "货车 10吨");  // GBK bytes both ways
    EXPECT_EQ(dlg.hwnd(), nullptr);        // destroyed when DoModal returns
    EXPECT_EQ(dlg.edit.hwnd(), nullptr);   // and so are its controls

    // The same object shows again, with fresh controls bound again.
    dlg.onInit = [](PlainDialog& d) { d.EndDialog(4321); };
    EXPECT_EQ(dlg.DoModal(), 4321);
    EXPECT_EQ(dlg.inits, 2);
    EXPECT_TRUE(dlg.boundAtInit);
}

TEST(FwDialogTest, EscapeAndEnterInAControlReachCancelAndOk) {
    struct Case { WPARAM key; INT_PTR result; } cases[] = {{VK_ESCAPE, IDCANCEL}, {VK_RETURN, IDOK}};
    for (const Case& c : cases) {
        static WPARAM key;
        key = c.key;
        PlainDialog dlg;
        dlg.onInit = [](PlainDialog& d) {
            SetFocus(d.Item(IDC_TEST_EDIT));
            PostMessageA(d.Item(IDC_TEST_EDIT), WM_KEYDOWN, key, 1);
        };
        EXPECT_EQ(dlg.DoModal(), c.result) << "key " << c.key;
    }
}

bool g_ownerEnabledDuring;
void CALLBACK LookAtOwnerAndCancel(HWND h, UINT, UINT_PTR, DWORD) {
    KillTimer(h, 1);
    g_ownerEnabledDuring = IsWindowEnabled(GetWindow(h, GW_OWNER)) != FALSE;
    PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

TEST(FwDialogTest, ModalDisablesItsOwnerAndGivesItBack) {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_TRUE(owner);
    static HWND ownerSeen;
    PlainDialog dlg(owner);
    // Ends from inside the loop, to see the owner while the loop runs.
    dlg.onInit = [](PlainDialog& d) {
        ownerSeen = GetWindow(d.hwnd(), GW_OWNER);
        SetTimer(d.hwnd(), 1, 10, LookAtOwnerAndCancel);
    };
    g_ownerEnabledDuring = true;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(ownerSeen, owner);
    EXPECT_FALSE(g_ownerEnabledDuring);
    EXPECT_TRUE(IsWindowEnabled(owner));

    // Without a parent the main window owns it.
    fw::SetMainWindow(owner);
    PlainDialog orphan;
    orphan.onInit = [](PlainDialog& d) {
        ownerSeen = GetWindow(d.hwnd(), GW_OWNER);
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(orphan.DoModal(), IDOK);
    EXPECT_EQ(ownerSeen, owner);
    fw::SetMainWindow(nullptr);
    DestroyWindow(owner);
}

TEST(FwDialogTest, MissingTemplateFailsWithMinusOne) {
    PlainDialog dlg(nullptr, IDD_MISSING_TEST);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.inits, 0);
    EXPECT_FALSE(dlg.CreateModeless());
}

TEST(FwDialogTest, ModelessKeysAreRoutedAndCancelOnlyHides) {
    PlainDialog dlg;
    ASSERT_TRUE(dlg.CreateModeless());
    ASSERT_TRUE(dlg.boundAtInit);
    ShowWindow(dlg.hwnd(), SW_SHOW);
    SetFocus(dlg.Item(IDC_TEST_EDIT));

    // Tab is a dialog key: only IsDialogMessage moves the focus with it.
    PostMessageA(dlg.Item(IDC_TEST_EDIT), WM_KEYDOWN, VK_TAB, 1);
    testutil::Pump(50);
    EXPECT_EQ(GetFocus(), dlg.Item(IDC_TEST_CHECK));

    PostMessageA(dlg.Item(IDC_TEST_CHECK), WM_KEYDOWN, VK_ESCAPE, 1);
    testutil::Pump(50);
    EXPECT_EQ(dlg.cancels, 1);
    ASSERT_TRUE(IsWindow(dlg.hwnd()));
    EXPECT_FALSE(IsWindowVisible(dlg.hwnd()));

    HWND gone = dlg.hwnd();
    dlg.Destroy();
    EXPECT_FALSE(IsWindow(gone));
    EXPECT_EQ(dlg.edit.hwnd(), nullptr);
    ASSERT_TRUE(dlg.CreateModeless());  // again, as the frame's windows do
    EXPECT_EQ(dlg.inits, 2);
}

TEST(FwDialogTest, ItemHelpersReadAndWriteControls) {
    PlainDialog dlg;
    ASSERT_TRUE(dlg.CreateModeless());
    dlg.SetItemInt(IDC_TEST_EDIT, -42);
    bool ok = false;
    EXPECT_EQ(dlg.ItemInt(IDC_TEST_EDIT, &ok), -42);
    EXPECT_TRUE(ok);
    dlg.SetItemText(IDC_TEST_EDIT, "十吨");
    dlg.ItemInt(IDC_TEST_EDIT, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(dlg.ItemText(IDC_TEST_EDIT), "十吨");
    EXPECT_EQ(fw::GetText(dlg.hwnd()), "测试对话框");

    dlg.SetChecked(IDC_TEST_CHECK, true);
    EXPECT_TRUE(dlg.IsChecked(IDC_TEST_CHECK));
    dlg.SetChecked(IDC_TEST_CHECK, false);
    EXPECT_FALSE(dlg.IsChecked(IDC_TEST_CHECK));
}

// Finds the message box of this thread by a timer, notes its caption and closes it.
std::string g_boxCaption;
std::string g_boxOwnerTitle;
RECT g_boxRect;
BOOL CALLBACK FindVisibleDialog(HWND h, LPARAM found) {
    char cls[32] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (std::string(cls) == "#32770" && IsWindowVisible(h)) {
        *reinterpret_cast<HWND*>(found) = h;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK CloseMessageBox(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindVisibleDialog, reinterpret_cast<LPARAM>(&box));
    if (!box) return;
    KillTimer(nullptr, id);
    g_boxCaption = fw::GetText(box);
    g_boxOwnerTitle = fw::GetText(GetWindow(box, GW_OWNER));
    GetWindowRect(box, &g_boxRect);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST(FwDialogTest, MessageBoxCarriesTheApplicationTitleUnlessGivenACaption) {
    EXPECT_EQ(fw::AppTitle(), "wine_dialog_tests");  // the program file's name until set

    fw::SetAppTitle("TovanClient");
    HWND owner = CreateWindowExA(0, "STATIC", "主窗口", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    struct Case { const char* caption; const char* expected; } cases[] = {
        {nullptr, "TovanClient"}, {"错误", "错误"}};
    for (const Case& c : cases) {
        g_boxCaption.clear();
        UINT_PTR t = SetTimer(nullptr, 0, 20, CloseMessageBox);
        EXPECT_EQ(fw::AppMessageBox(owner, "不能发送空信息", c.caption), IDOK);
        KillTimer(nullptr, t);
        EXPECT_EQ(g_boxCaption, c.expected);
        EXPECT_EQ(g_boxOwnerTitle, "主窗口");
    }
    DestroyWindow(owner);
    fw::SetAppTitle("");
}

// A box stands over the window that raised it ("不能发送空信息" over its chat
// window), inside the screen's work area; a box whose window is not shown
// stands where the system puts it, in the middle of the work area.
TEST(FwDialogTest, MessageBoxStandsOverTheWindowThatRaisedIt) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    struct Case {
        const char* what;
        RECT window;
        bool shown;
        POINT (*wanted)(const RECT& window, const RECT& work, SIZE box);  // the box's top left
    } cases[] = {
        {"near the top left", {40, 30, 440, 330}, true,
         [](const RECT& w, const RECT&, SIZE box) {
             return POINT{(w.left + w.right - box.cx) / 2, (w.top + w.bottom - box.cy) / 2};
         }},
        {"half off the bottom right", {work.right - 120, work.bottom - 90, work.right + 280, work.bottom + 210}, true,
         [](const RECT&, const RECT& work, SIZE box) { return POINT{work.right - box.cx, work.bottom - box.cy}; }},
        {"hidden", {40, 30, 440, 330}, false,
         [](const RECT&, const RECT& work, SIZE box) {
             return POINT{(work.left + work.right - box.cx) / 2, (work.top + work.bottom - box.cy) / 2};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND window = CreateWindowExA(0, "STATIC", "聊天", WS_POPUP | (c.shown ? WS_VISIBLE : 0), c.window.left,
                                      c.window.top, c.window.right - c.window.left,
                                      c.window.bottom - c.window.top, nullptr, nullptr, nullptr, nullptr);
        g_boxRect = {};
        UINT_PTR t = SetTimer(nullptr, 0, 20, CloseMessageBox);
        EXPECT_EQ(fw::AppMessageBox(window, "不能发送空信息", "错误"), IDOK);
        KillTimer(nullptr, t);
        const SIZE box = {g_boxRect.right - g_boxRect.left, g_boxRect.bottom - g_boxRect.top};
        ASSERT_GT(box.cx, 0);
        const POINT wanted = c.wanted(c.window, work, box);
        EXPECT_NEAR(g_boxRect.left, wanted.x, 1);
        EXPECT_NEAR(g_boxRect.top, wanted.y, 1);
        DestroyWindow(window);
    }
}

}  // namespace
