// The hover button's look, read back from a memory device context: gradient
// ends per hover/emphasis state, frame colours, focus rectangle, pressed
// offset and disabled text; and the hover tracking with the real mouse.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "tests/wine/controls_dialog.h"
#include "tests/wine/gui_test_util.h"

namespace {

using testutil::Canvas;

// One dialog for the whole suite: showing and hiding windows is slow under Wine.
class XPButtonTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        shared_ = new ControlsDialog;
        if (shared_->CreateModeless()) ShowWindow(shared_->hwnd(), SW_SHOW);
        testutil::Pump(30);
    }
    static void TearDownTestSuite() {
        delete shared_;
        shared_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(dlg.hwnd());
        SetWindowTextA(dlg.button.hwnd(), "发送");
        size = testutil::ClientSize(dlg.button.hwnd());
        ASSERT_GT(size.cy, 30);  // tall enough to keep the text off the rows looked at
    }

    std::unique_ptr<Canvas> Draw(CXPButton& b, UINT state, bool hover) {
        SendMessageA(b.hwnd(), hover ? WM_MOUSEHOVER : WM_MOUSELEAVE, 0, 0);
        auto c = std::make_unique<Canvas>(size.cx, size.cy);
        c->Fill(RGB(255, 255, 255));
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_BUTTON;
        dis.CtlID = static_cast<UINT>(GetDlgCtrlID(b.hwnd()));
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = state;
        dis.hwndItem = b.hwnd();
        dis.hDC = c->dc();
        dis.rcItem = {0, 0, size.cx, size.cy};
        b.DrawItem(dis);
        return c;
    }
    std::unique_ptr<Canvas> Draw(UINT state, bool hover) { return Draw(dlg.button, state, hover); }

    // Face rectangle: the item inset by the edge metrics.
    int L() const { return GetSystemMetrics(SM_CXEDGE); }
    int T() const { return GetSystemMetrics(SM_CYEDGE); }
    int R() const { return size.cx - GetSystemMetrics(SM_CXEDGE); }
    int B() const { return size.cy - GetSystemMetrics(SM_CYEDGE); }

    static ControlsDialog* shared_;
    ControlsDialog& dlg = *shared_;
    SIZE size = {};
};
ControlsDialog* XPButtonTest::shared_ = nullptr;

// Bounding box of the text's dark pixels, inside the outline.
RECT DarkPixels(const Canvas& c) {
    RECT box = {c.width(), c.height(), -1, -1};
    for (int y = 4; y < c.height() - 4; ++y)
        for (int x = 4; x < c.width() - 4; ++x) {
            COLORREF p = c.At(x, y);
            if (GetRValue(p) + GetGValue(p) + GetBValue(p) < 200) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x);
                box.bottom = std::max<LONG>(box.bottom, y);
            }
        }
    return box;
}

int DifferingPixels(const Canvas& a, const Canvas& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += a.At(x, y) != b.At(x, y);
    return n;
}

TEST_F(XPButtonTest, SubclassingMakesThePushButtonOwnerDrawn) {
    LONG_PTR style = GetWindowLongPtrA(dlg.button.hwnd(), GWL_STYLE);
    EXPECT_EQ(style & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_TRUE(style & WS_TABSTOP);  // nothing else changed
}

TEST_F(XPButtonTest, GradientEndsFollowHoverAndEmphasis) {
    // brush i of the 64 for each look; row y takes brush y*63/H, at most 63
    struct Case {
        const char* name;
        UINT state;
        bool hover;
        COLORREF (*brush)(int);
    } cases[] = {
        {"plain", 0, false, [](int i) { return RGB(255 - i / 3, 255 - i / 3, 255 - i / 5); }},
        {"default", ODS_DEFAULT, false, [](int i) { return RGB(255 - i / 3, 255 - i / 3, 255 - i / 4); }},
        {"pressed", ODS_SELECTED, false, [](int i) { return RGB(255 - i / 3, 255 - i / 3, 255 - i / 4); }},
        {"focused", ODS_FOCUS, false, [](int i) { return RGB(255 - i / 3, 255 - i / 3, 255 - i / 4); }},
        {"hovered", 0, true, [](int i) { return RGB(255 - i / 4, 255 - i / 4, 255 - i / 5); }},
        {"hovered default", ODS_DEFAULT, true, [](int i) { return RGB(255 - i / 4, 255 - i / 4, 255 - i / 3); }},
    };
    const int h = B() - T();
    const int x = L() + 5;  // off the frame pens and the focus rectangle
    for (const Case& c : cases) {
        auto img = Draw(c.state, c.hover);
        const int top = T() + 3, bottom = B() - 3;
        EXPECT_EQ(img->At(x, top), c.brush(top * 63 / h)) << c.name;
        EXPECT_EQ(img->At(x, bottom), c.brush(std::min(63, bottom * 63 / h))) << c.name;
        if (!c.hover && !(c.state & ODS_FOCUS)) {
            // no frame: the last face row, past the face's height, takes the darkest brush
            EXPECT_EQ(img->At(x, B()), c.brush(63)) << c.name;
            EXPECT_EQ(img->At(x, T()), c.brush(T() * 63 / h)) << c.name;
        }
        EXPECT_EQ(img->At(0, size.cy / 2), RGB(0, 0, 0)) << c.name << ": outline";
    }
}

TEST_F(XPButtonTest, FrameColoursForHoverAndFocus) {
    struct Case {
        const char* name;
        UINT state;
        bool hover;
        COLORREF left, right, top, bottom;
    } cases[] = {
        {"hovered", 0, true, RGB(250, 196, 88), RGB(251, 202, 106), RGB(252, 210, 121), RGB(229, 151, 0)},
        {"hovered and focused", ODS_FOCUS, true, RGB(250, 196, 88), RGB(251, 202, 106), RGB(252, 210, 121),
         RGB(229, 151, 0)},
        {"focused", ODS_FOCUS, false, RGB(153, 198, 252), RGB(162, 189, 252), RGB(162, 201, 255),
         RGB(162, 201, 255)},
    };
    const int midY = size.cy / 2, midX = size.cx / 2;
    for (const Case& c : cases) {
        auto img = Draw(c.state, c.hover);
        // one pixel inside each line, off the focus rectangle drawn on the face's edges
        EXPECT_EQ(img->At(L() + 1, midY), c.left) << c.name;
        EXPECT_EQ(img->At(R() - 2, midY), c.right) << c.name;
        EXPECT_EQ(img->At(midX + 1, T() - 1), c.top) << c.name;
        EXPECT_EQ(img->At(midX + 1, B()), c.bottom) << c.name;
    }
    // Neither frame when the button is neither hovered nor focused.
    auto plain = Draw(0, false);
    EXPECT_NE(plain->At(L() + 1, midY), RGB(250, 196, 88));
    EXPECT_NE(plain->At(L() + 1, midY), RGB(153, 198, 252));
}

TEST_F(XPButtonTest, FocusRectangleOnlyWithoutTheMouse) {
    // Under the mouse a focused button looks exactly like a hovered default
    // button: same emphasis, orange frame, no focus rectangle.
    EXPECT_EQ(DifferingPixels(*Draw(ODS_FOCUS, true), *Draw(ODS_DEFAULT, true)), 0);

    // Without the mouse the focus rectangle dots the face's left edge over the blue pen.
    auto focused = Draw(ODS_FOCUS, false);
    int blue = 0, dotted = 0;
    for (int y = T() + 2; y < B() - 2; ++y) {
        COLORREF p = focused->At(L(), y);
        if (p == RGB(153, 198, 252)) ++blue; else ++dotted;
    }
    EXPECT_GT(blue, 3);
    EXPECT_GT(dotted, 3);
}

TEST_F(XPButtonTest, PressedTextMovesOnePixelRightAndDown) {
    RECT up = DarkPixels(*Draw(0, false));
    RECT down = DarkPixels(*Draw(ODS_SELECTED, false));
    ASSERT_GE(up.right, up.left);  // some text drawn
    EXPECT_EQ(down.left, up.left + 1);
    EXPECT_EQ(down.top, up.top + 1);
    EXPECT_EQ(down.right, up.right + 1);
    EXPECT_EQ(down.bottom, up.bottom + 1);
}

TEST_F(XPButtonTest, DisabledTextIsEmbossedGrey) {
    auto img = Draw(dlg.disabledButton, ODS_DISABLED, false);
    RECT dark = DarkPixels(*img);
    EXPECT_LT(dark.right, dark.left) << "no black text";
    const COLORREF shadow = GetSysColor(COLOR_3DSHADOW);
    int shadowPixels = 0;
    for (int y = T(); y < B(); ++y)
        for (int x = L() + 3; x < R() - 3; ++x) shadowPixels += img->At(x, y) == shadow;
    EXPECT_GT(shadowPixels, 10);
}

TEST_F(XPButtonTest, TextLongerThan259BytesIsCut) {
    auto withText = [&](size_t n) {
        SetWindowTextA(dlg.button.hwnd(), std::string(n, 'W').c_str());
        return Draw(0, false);
    };
    auto cut = withText(300), exact = withText(259), shorter = withText(258);
    EXPECT_EQ(DifferingPixels(*cut, *exact), 0);
    EXPECT_GT(DifferingPixels(*exact, *shorter), 0);  // a byte less does show
}

// A button no taller than its edges has no face rows to shade: only the
// outline is drawn, and the row arithmetic never divides by the zero height.
TEST_F(XPButtonTest, ButtonWithoutAFaceDrawsOnlyItsOutline) {
    size = {2 * L(), 2 * T()};
    auto img = Draw(0, false);
    EXPECT_EQ(img->At(0, size.cy / 2), RGB(0, 0, 0));
}

// Two presses of the real mouse 100 ms apart: the system delivers the second
// as a double-click, and it must click the button as the first did.
TEST_F(XPButtonTest, EachOfTwoQuickPressesClicks) {
    SetWindowPos(dlg.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(dlg.hwnd());
    dlg.clicks = 0;
    testutil::PressTwice(dlg.button.hwnd(), 100);
    testutil::Pump(100);
    EXPECT_EQ(dlg.clicks, 2);
}

// The real mouse: resting on the button gives the hover look, leaving takes
// it away, and coming back asks for tracking again.
TEST_F(XPButtonTest, HoverFollowsTheMouseOnAndOffAndOnAgain) {
    RECT r;
    // Above the windows of other tests that share the display.
    SetWindowPos(dlg.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    GetWindowRect(dlg.button.hwnd(), &r);
    const POINT on = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    const POINT off = {r.right + 200, r.bottom + 200};
    const int midY = size.cy / 2;
    // What the button itself paints on screen.
    auto shownHover = [&] {
        testutil::Pump(200);
        Canvas c(size.cx, size.cy);
        c.CopyFromWindow(dlg.button.hwnd());
        return c.At(L() + 1, midY) == RGB(250, 196, 88);
    };
    SetForegroundWindow(dlg.hwnd());
    SetCursorPos(off.x, off.y);
    EXPECT_FALSE(shownHover());
    for (int round = 0; round < 2; ++round) {
        SetCursorPos(on.x, on.y);
        EXPECT_TRUE(shownHover()) << "round " << round;
        SetCursorPos(off.x, off.y);
        EXPECT_FALSE(shownHover()) << "round " << round;
    }
}

}  // namespace

namespace {

// Whether the button shows the hover frame on screen, after the mouse had time to rest.
bool ShowsHoverFrame(HWND button) {
    testutil::Pump(200);
    const SIZE s = testutil::ClientSize(button);
    Canvas c(s.cx, s.cy);
    c.CopyFromWindow(button);
    return c.At(GetSystemMetrics(SM_CXEDGE) + 1, s.cy / 2) == RGB(250, 196, 88);
}

// A dialog object shown again binds its buttons to new windows: the mouse
// that rested on OK when it was clicked must not keep the next showing's OK
// lit, nor stop it from following the mouse.
TEST(XPButtonReuseTest, ShowingAgainForgetsWhereTheMouseWas) {
    ControlsDialog dlg;
    auto show = [&] {
        ASSERT_TRUE(dlg.CreateModeless());
        SetWindowPos(dlg.hwnd(), HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(dlg.hwnd());
    };
    auto centre = [&] {
        RECT r;
        GetWindowRect(dlg.ok.hwnd(), &r);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    };
    show();
    const POINT on = centre();
    SetCursorPos(on.x, on.y);
    ASSERT_TRUE(ShowsHoverFrame(dlg.ok.hwnd()));
    dlg.Destroy();  // as a click on OK ends it, the mouse still on the button
    SetCursorPos(on.x + 300, on.y + 300);

    show();
    EXPECT_FALSE(ShowsHoverFrame(dlg.ok.hwnd()));
    SetCursorPos(on.x, on.y);
    EXPECT_TRUE(ShowsHoverFrame(dlg.ok.hwnd()));
    SetCursorPos(on.x + 300, on.y + 300);
    EXPECT_FALSE(ShowsHoverFrame(dlg.ok.hwnd()));
}

}  // namespace
