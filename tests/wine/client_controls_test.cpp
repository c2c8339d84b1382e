// The client's dialog base, about box and small controls in a live dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "client/core/about_dlg.h"
#include "tests/wine/controls_dialog.h"
#include "tests/wine/gui_test_util.h"
#include "client/res/resource.h"

namespace {

using testutil::Canvas;

bool NearTexture(COLORREF p) {
    return std::abs(GetRValue(p) - 239) <= 12 && std::abs(GetGValue(p) - 236) <= 12 &&
           std::abs(GetBValue(p) - 238) <= 12;
}

// The brush a static gets for its background: the dialog's pattern brush.
HBRUSH StaticBrush(ControlsDialog& dlg) {
    HWND st = dlg.Item(IDC_TEST_STATIC);
    HDC dc = GetDC(st);
    auto b = reinterpret_cast<HBRUSH>(
        SendMessageA(dlg.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(st)));
    ReleaseDC(st, dc);
    return b;
}

TEST(DialogExTest, ShowingAgainReplacesThePatternBrushWithoutLeaking) {
    auto dlg = std::make_unique<ControlsDialog>();
    HBRUSH previous = nullptr;
    DWORD objectsAfterFirst = 0;
    for (int showing = 1; showing <= 4; ++showing) {
        ASSERT_TRUE(dlg->CreateModeless());
        ShowWindow(dlg->hwnd(), SW_SHOW);
        UpdateWindow(dlg->hwnd());
        testutil::Pump(20);
        HBRUSH brush = StaticBrush(*dlg);
        ASSERT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH)) << "showing " << showing;
        if (previous) {
            EXPECT_NE(brush, previous);
            EXPECT_EQ(GetObjectType(previous), 0u) << "the first brush is deleted, showing " << showing;
        }
        previous = brush;
        dlg->Destroy();
        testutil::Pump(10);
        // The first showing may leave objects the system makes once; after
        // that every showing gives back all it took.
        if (showing == 1) objectsAfterFirst = testutil::GdiObjectCount();
        else EXPECT_EQ(testutil::GdiObjectCount(), objectsAfterFirst) << "showing " << showing;
    }
    dlg.reset();
    EXPECT_EQ(GetObjectType(previous), 0u) << "the last brush goes with the dialog object";
}

TEST(DialogExTest, TexturedBackgroundRoundedRegionAndTransparentStatics) {
    ControlsDialog dlg;
    ASSERT_TRUE(dlg.CreateModeless());
    ShowWindow(dlg.hwnd(), SW_SHOW);
    UpdateWindow(dlg.hwnd());
    testutil::Pump(50);

    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(dlg.hwnd(), rgn), ERROR);
    RECT wr, box;
    GetWindowRect(dlg.hwnd(), &wr);
    GetRgnBox(rgn, &box);
    // a round-rectangle region ends one pixel inside its right and bottom coordinates
    EXPECT_NEAR(box.right - box.left, wr.right - wr.left, 1);
    EXPECT_NEAR(box.bottom - box.top, wr.bottom - wr.top, 1);
    DeleteObject(rgn);

    const SIZE cs = testutil::ClientSize(dlg.hwnd());
    Canvas c(cs.cx, cs.cy);
    c.CopyFromWindow(dlg.hwnd());
    // background far from any control: the texture, not the button face colour
    int texture = 0;
    for (int x = 0; x < 40; ++x) texture += NearTexture(c.At(cs.cx - 50 + x, cs.cy - 4));
    EXPECT_GT(texture, 35);

    // a plain static text shows the pattern around its letters
    HWND st = dlg.Item(IDC_TEST_STATIC);
    const SIZE ss = testutil::ClientSize(st);
    Canvas s(ss.cx, ss.cy);
    s.CopyFromWindow(st);
    const COLORREF p = s.At(ss.cx - 2, ss.cy - 2);
    EXPECT_TRUE(NearTexture(p)) << std::hex << p;
    EXPECT_NE(p, GetSysColor(COLOR_3DFACE));
}

// Closes the about box from a timer: notes its caption and clicks its OK button.
std::string g_aboutCaption;
LONG_PTR g_aboutOkStyle;
RECT g_aboutRect;
void CALLBACK ClickAboutOk(HWND, UINT, UINT_PTR id, DWORD) {
    HWND about = GetActiveWindow();
    if (!about) return;
    KillTimer(nullptr, id);
    g_aboutCaption = fw::GetText(about);
    GetWindowRect(about, &g_aboutRect);
    HWND ok = GetDlgItem(about, IDOK);
    g_aboutOkStyle = GetWindowLongPtrA(ok, GWL_STYLE);
    SendMessageA(ok, BM_CLICK, 0, 0);
}

TEST(AboutBoxTest, ShowsModallyWithHoverButtonAndClosesOnOk) {
    g_aboutCaption.clear();
    UINT_PTR t = SetTimer(nullptr, 0, 50, ClickAboutOk);
    CAboutDlg about;
    EXPECT_EQ(about.DoModal(), IDOK);
    KillTimer(nullptr, t);
    EXPECT_EQ(g_aboutCaption, "关于 TovanClient");
    EXPECT_EQ(g_aboutOkStyle & BS_TYPEMASK, BS_OWNERDRAW);
    // It opens in the middle of the screen's work area, not in its corner.
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(g_aboutRect.left + g_aboutRect.right, work.left + work.right, 4);
    EXPECT_NEAR(g_aboutRect.top + g_aboutRect.bottom, work.top + work.bottom, 4);
}

// One dialog for the whole suite: showing and hiding windows is slow under Wine.
class SmallControlsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        shared_ = new ControlsDialog;
        if (shared_->CreateModeless()) ShowWindow(shared_->hwnd(), SW_SHOW);
    }
    static void TearDownTestSuite() {
        delete shared_;
        shared_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(dlg.hwnd());
        SetForegroundWindow(dlg.hwnd());
        UpdateWindow(dlg.hwnd());
        testutil::Pump(50);
    }
    // Presses and releases keys through the system input queue.
    static void Keys(std::initializer_list<WORD> down) {
        for (WORD vk : down) keybd_event(static_cast<BYTE>(vk), 0, 0, 0);
        for (auto it = down.end(); it != down.begin();) keybd_event(static_cast<BYTE>(*--it), 0, KEYEVENTF_KEYUP, 0);
        testutil::Pump(60);
    }
    static DWORD Selection(HWND edit) {
        DWORD from = 0, to = 0;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        return MAKELONG(from, to);
    }
    static std::string ClipboardText() {
        std::string text;
        if (!OpenClipboard(nullptr)) return text;
        if (HANDLE h = GetClipboardData(CF_TEXT)) {
            if (auto* p = static_cast<const char*>(GlobalLock(h))) {
                text = p;
                GlobalUnlock(h);
            }
        }
        CloseClipboard();
        return text;
    }
    static void ClearClipboard() {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
    }

    static ControlsDialog* shared_;
    ControlsDialog& dlg = *shared_;
};
ControlsDialog* SmallControlsTest::shared_ = nullptr;

TEST_F(SmallControlsTest, NoCopyEditSwallowsTypingCopyAndCaretKeys) {
    HWND edit = dlg.noCopy.hwnd();
    HWND plain = dlg.Item(IDC_TEST_EDIT);
    const std::string text = fw::GetText(edit);

    // The same keys work in a plain edit of the dialog: the input path is live.
    SetFocus(plain);
    Keys({'A'});
    ASSERT_EQ(fw::GetText(plain), "a");
    SendMessageA(plain, EM_SETSEL, 0, -1);
    ClearClipboard();
    Keys({VK_CONTROL, 'C'});
    ASSERT_EQ(ClipboardText(), "a");

    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 2, 2);
    Keys({'A'});
    Keys({VK_BACK});
    Keys({VK_RIGHT});
    Keys({VK_DOWN});
    Keys({VK_SHIFT, VK_END});
    EXPECT_EQ(fw::GetText(edit), text);
    EXPECT_EQ(Selection(edit), static_cast<DWORD>(MAKELONG(2, 2)));

    SendMessageA(edit, EM_SETSEL, 0, -1);
    ClearClipboard();
    Keys({VK_CONTROL, 'C'});
    EXPECT_EQ(ClipboardText(), "");
    EXPECT_EQ(GetFocus(), edit);
}

// Ends a popup menu as soon as one shows, noting that it did.
bool g_menuShown;
void CALLBACK EndAnyMenu(HWND, UINT, UINT_PTR, DWORD) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (menu && IsWindowVisible(menu)) {
        g_menuShown = true;
        EndMenu();
    }
}

TEST_F(SmallControlsTest, NoCopyEditKeepsMouseSelectionButNoDoubleClickOrMenu) {
    HWND edit = dlg.noCopy.hwnd();
    SendMessageA(edit, EM_SETSEL, 0, 0);
    LRESULT start = SendMessageA(edit, EM_POSFROMCHAR, 0, 0);
    LRESULT end = SendMessageA(edit, EM_POSFROMCHAR, 6, 0);
    const int y = HIWORD(start) + 4;
    SendMessageA(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(LOWORD(start) + 1, y));
    SendMessageA(edit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(LOWORD(end) + 1, y));
    SendMessageA(edit, WM_LBUTTONUP, 0, MAKELPARAM(LOWORD(end) + 1, y));
    EXPECT_EQ(Selection(edit), static_cast<DWORD>(MAKELONG(0, 6)));

    SendMessageA(edit, EM_SETSEL, 0, 0);
    SendMessageA(edit, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(LOWORD(end) + 1, y));
    SendMessageA(edit, WM_LBUTTONUP, 0, MAKELPARAM(LOWORD(end) + 1, y));
    DWORD sel = Selection(edit);
    EXPECT_EQ(LOWORD(sel), HIWORD(sel)) << "no word selected by a double-click";

    // A right click gives a plain edit its menu, and this one none.
    UINT_PTR t = SetTimer(nullptr, 0, 30, EndAnyMenu);
    for (HWND target : {dlg.Item(IDC_TEST_EDIT), edit}) {
        g_menuShown = false;
        SendMessageA(target, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
        SendMessageA(target, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
        testutil::Pump(100);
        EXPECT_EQ(g_menuShown, target != edit) << (target == edit ? "no-copy edit" : "plain edit");
    }
    KillTimer(nullptr, t);
}

TEST_F(SmallControlsTest, ColorButtonShowsItsColourAndSendsNoClick) {
    HWND swatch = dlg.swatch.hwnd();
    const SIZE s = testutil::ClientSize(swatch);
    auto otherPixels = [&] {
        Canvas c(s.cx, s.cy);
        c.CopyFromWindow(swatch);
        int n = 0;
        for (int y = 0; y < s.cy; ++y)
            for (int x = 0; x < s.cx; ++x) n += c.At(x, y) != RGB(10, 200, 30);
        return n;
    };
    EXPECT_EQ(otherPixels(), 0) << "the whole client area, no edge, no text";
    // Nor a focus rectangle or a pushed face when reached by the keyboard.
    SetFocus(swatch);
    SendMessageA(swatch, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(otherPixels(), 0) << "focused and pushed";
    SendMessageA(swatch, BM_SETSTATE, FALSE, 0);

    const LPARAM mid = MAKELPARAM(s.cx / 2, s.cy / 2);
    for (UINT down : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}) {
        SendMessageA(swatch, down, MK_LBUTTON, mid);
        SendMessageA(swatch, WM_LBUTTONUP, 0, mid);
    }
    testutil::Pump(30);
    EXPECT_EQ(dlg.swatchClicks, 0);

    // The same presses on a plain button do click: the test can see clicks.
    HWND plain = dlg.Item(IDC_TEST_PLAIN_BUTTON);
    SendMessageA(plain, WM_LBUTTONDOWN, MK_LBUTTON, mid);
    SendMessageA(plain, WM_LBUTTONUP, 0, mid);
    testutil::Pump(30);
    EXPECT_EQ(dlg.clicks, 1);
}

bool IsRed(COLORREF p) { return GetRValue(p) > 200 && GetGValue(p) < 90 && GetBValue(p) < 90; }

TEST_F(SmallControlsTest, RedTextDrawsALineBreakOnOneLine) {
    HWND red = dlg.red.hwnd();
    SetWindowTextA(red, "用户名或密码错误\r\n请重新输入");
    const SIZE s = testutil::ClientSize(red);
    ASSERT_GT(s.cy, 40);  // room for a second line, should it be drawn
    InvalidateRect(red, nullptr, TRUE);
    UpdateWindow(red);
    Canvas c(s.cx, s.cy);
    c.CopyFromWindow(red);
    int lowest = -1, rightmost = -1;
    for (int y = 0; y < s.cy; ++y)
        for (int x = 0; x < s.cx; ++x)
            if (IsRed(c.At(x, y))) {
                lowest = std::max(lowest, y);
                rightmost = std::max(rightmost, x);
            }
    ASSERT_GE(lowest, 0) << "red text drawn";
    EXPECT_LT(lowest, 2 + 18) << "one line of the 14-pixel font at y = 2";
    // both parts side by side: wider than the first part alone
    HDC dc = GetDC(red);
    LOGFONTA lf = {};
    lf.lfHeight = 14;
    lstrcpyA(lf.lfFaceName, "宋体");
    HFONT f = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(dc, f);
    SIZE first = {};
    GetTextExtentPoint32A(dc, "用户名或密码错误", 16, &first);
    SelectObject(dc, old);
    DeleteObject(f);
    ReleaseDC(red, dc);
    EXPECT_GT(rightmost, 5 + first.cx + 10);
}

// Grey to black: no pixel of the red, blue or texture colours, nor a blend of them.
bool IsGreyDark(COLORREF p) {
    return GetRValue(p) < 180 && std::abs(GetRValue(p) - GetGValue(p)) < 40 &&
           std::abs(GetBValue(p) - GetGValue(p)) < 40;
}

int CountPixels(HWND h, bool (*match)(COLORREF)) {
    const SIZE s = testutil::ClientSize(h);
    Canvas c(s.cx, s.cy);
    c.CopyFromWindow(h);
    int n = 0;
    for (int y = 0; y < s.cy; ++y)
        for (int x = 0; x < s.cx; ++x) n += match(c.At(x, y));
    return n;
}

TEST_F(SmallControlsTest, NewTextOnAShownLineIsDrawnInTheLineOwnLook) {
    HWND red = dlg.red.hwnd();
    SetWindowTextA(red, "正在连接服务器，请稍候");
    testutil::Pump(50);
    SetWindowTextA(red, "连接失败");  // shorter: nothing of the first may stay
    testutil::Pump(50);
    EXPECT_GT(CountPixels(red, IsRed), 10);
    EXPECT_EQ(CountPixels(red, IsGreyDark), 0) << "no text in the plain static look";
    const SIZE s = testutil::ClientSize(red);
    Canvas c(s.cx, s.cy);
    c.CopyFromWindow(red);
    int redRight = -1;
    for (int y = 0; y < s.cy; ++y)
        for (int x = 0; x < s.cx; ++x)
            if (IsRed(c.At(x, y))) redRight = std::max(redRight, x);
    EXPECT_LT(redRight, 5 + 4 * 16) << "the longer first text is gone";
}

TEST_F(SmallControlsTest, LabelAndLinkPaintTheirColoursAndCloseGlyphItsBitmap) {
    auto blue = [](COLORREF p) { return GetBValue(p) > 200 && GetRValue(p) < 90 && GetGValue(p) < 90; };
    EXPECT_GT(CountPixels(dlg.label.hwnd(), blue), 10);
    EXPECT_GT(CountPixels(dlg.link.hwnd(), blue), 10);
    EXPECT_GT(CountPixels(dlg.close.hwnd(), IsRed), 10);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(dlg.close.hwnd(), rgn), COMPLEXREGION) << "round corners";
    DeleteObject(rgn);

    // A colour set after painting shows at the next repaint only.
    dlg.label.textColor = RGB(255, 0, 0);
    EXPECT_EQ(CountPixels(dlg.label.hwnd(), IsRed), 0);
    InvalidateRect(dlg.label.hwnd(), nullptr, TRUE);
    UpdateWindow(dlg.label.hwnd());
    EXPECT_GT(CountPixels(dlg.label.hwnd(), IsRed), 10);
}

TEST_F(SmallControlsTest, LinksAndCloseGlyphShowTheHandCursor) {
    const HCURSOR hand = LoadCursor(nullptr, IDC_HAND), arrow = LoadCursor(nullptr, IDC_ARROW);
    const HWND label = dlg.label.hwnd();
    const LPARAM inside = MAKELPARAM(2, 2);
    struct Case {
        const char* name;
        HWND target;
        UINT msg;
        WPARAM wp;
        LPARAM lp;
        HCURSOR expected;
    } cases[] = {
        {"label", label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), hand},
        {"link", dlg.link.hwnd(), WM_MOUSEMOVE, 0, inside, hand},
        {"close glyph", dlg.close.hwnd(), WM_MOUSEMOVE, 0, inside, hand},
        {"plain static", dlg.Item(IDC_TEST_STATIC), WM_MOUSEMOVE, 0, inside, arrow},
    };
    for (const Case& c : cases) {
        SetCursor(arrow);
        SendMessageA(c.target, c.msg, c.wp, c.lp);
        EXPECT_EQ(GetCursor(), c.expected) << c.name;
    }
}

// Every paint makes its own fonts, brushes, bitmaps and regions: the
// background texture, the labels' fonts, the swatch brush, the close glyph's
// bitmap and region, the buttons' 64 gradient brushes in each look.
TEST_F(SmallControlsTest, RepaintingGivesBackEveryObjectItMakes) {
    auto repaintAll = [&] {
        RedrawWindow(dlg.hwnd(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        testutil::Pump(20);
    };
    repaintAll();
    const DWORD before = testutil::GdiObjectCount();
    for (int round = 0; round < 3; ++round) {
        SendMessageA(dlg.button.hwnd(), WM_MOUSEHOVER, 0, 0);
        SetFocus(dlg.button.hwnd());
        SendMessageA(dlg.button.hwnd(), BM_SETSTATE, TRUE, 0);
        repaintAll();
        SendMessageA(dlg.button.hwnd(), BM_SETSTATE, FALSE, 0);
        SendMessageA(dlg.button.hwnd(), WM_MOUSELEAVE, 0, 0);
        repaintAll();
    }
    EXPECT_EQ(testutil::GdiObjectCount(), before);
}

// Not a check: keeps the about box and the control dialog on screen for a
// screenshot when TOVAN_SHOWCASE_SECONDS is set.
void CALLBACK PlaceAboutBox(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND about = FindWindowA(nullptr, "关于 TovanClient"))
        SetWindowPos(about, nullptr, 560, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}
void CALLBACK CloseAboutBox(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND about = FindWindowA(nullptr, "关于 TovanClient"))
        PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST(DialogShowcase, ShowsTheDialogsWhenAsked) {
    const char* seconds = std::getenv("TOVAN_SHOWCASE_SECONDS");
    if (!seconds) GTEST_SKIP() << "set TOVAN_SHOWCASE_SECONDS to show the dialogs";
    ControlsDialog controls;
    ASSERT_TRUE(controls.CreateModeless());
    SetWindowPos(controls.hwnd(), nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    SendMessageA(controls.button.hwnd(), WM_MOUSEHOVER, 0, 0);
    // The about box beside it, modal to nothing, until the timer closes it.
    UINT_PTR place = SetTimer(nullptr, 0, 100, PlaceAboutBox);
    UINT_PTR end = SetTimer(nullptr, 0, static_cast<UINT>(std::atoi(seconds)) * 1000, CloseAboutBox);
    CAboutDlg about;
    about.DoModal();
    KillTimer(nullptr, place);
    KillTimer(nullptr, end);
}

}  // namespace
