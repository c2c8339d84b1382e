// The main frame's docked panes with the client's resources: the area tree
// filled from area.ini and what selecting in it asks of the server, the
// current-information command selecting the own area, showing and hiding the
// tree, the search pane after a search count reply, its caption, its sizing
// edge and the masking switch.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tests/wine/frame_fixture.h"
#include "tests/wine/gui_test_util.h"
#include "client/core/main_frame.h"
#include "client/model/record_cell.h"
#include "fw/window.h"
#include "client/res/resource.h"
#include "client/model/server_message.h"

// Rectangles compared and printed whole.
static bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
static void PrintTo(const RECT& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

std::string TempFile(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

// Two provinces; 江苏省 has two cities and one county of its own.
std::string WriteAreaIni() {
    const std::string path = TempFile("dock_area.ini");
    DeleteFileA(path.c_str());
    WritePrivateProfileStringA("全国省城", "SF", "江苏省\\浙江省\\", path.c_str());
    WritePrivateProfileStringA("江苏省", "CS", "南京市\\苏州市\\", path.c_str());
    WritePrivateProfileStringA("江苏省", "XIAN", "昆山市\\", path.c_str());
    WritePrivateProfileStringA("浙江省", "CS", "杭州市\\", path.c_str());
    return path;
}

// The texts of an item's children, in order.
std::vector<std::string> Children(HWND tree, HTREEITEM parent) {
    std::vector<std::string> texts;
    for (HTREEITEM i = TreeView_GetChild(tree, parent); i; i = TreeView_GetNextSibling(tree, i))
        texts.push_back(ItemText(tree, i));
    return texts;
}

HTREEITEM FindItem(HWND tree, HTREEITEM from, const std::string& text) {
    for (HTREEITEM i = from; i; i = TreeView_GetNextSibling(tree, i)) {
        if (ItemText(tree, i) == text) return i;
        if (HTREEITEM c = FindItem(tree, TreeView_GetChild(tree, i), text)) return c;
    }
    return nullptr;
}

std::string WindowText(HWND h) {
    char buf[512] = {};
    GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

RECT RectIn(HWND parent, HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class DockTest : public testutil::FrameFixture {
protected:
    CMainFrame& MakeFrame() {
        CMainFrame& frame = MakeShownFrame();
        MoveWindow(frame.hwnd(), 0, 0, 800, 600, TRUE);
        testutil::Pump(30);
        frame.LoadAreaTree(WriteAreaIni());
        return frame;
    }

    // Messages the frame sent: with no server they wait in the unsent queue.
    std::vector<std::string> Sent() const { return frame_->session().unsentQueue(); }

    void Command(UINT id) { SendMessageA(frame_->hwnd(), WM_COMMAND, id, 0); }
};

TEST_F(DockTest, TreeHoldsRootProvincesThenCitiesAndCounties) {
    CMainFrame& frame = MakeFrame();
    const HWND tree = frame.areaTreePane().tree();
    ASSERT_TRUE(tree);
    EXPECT_EQ(GetDlgCtrlID(tree), 1898);
    EXPECT_EQ(GetDlgCtrlID(frame.areaTreePane().hwnd()), 1001);
    EXPECT_EQ(WindowText(frame.areaTreePane().hwnd()), "地区列表");
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(tree, TVM_GETBKCOLOR, 0, 0)), 0xFEF4E7u);

    const HTREEITEM root = TreeView_GetRoot(tree);
    EXPECT_EQ(ItemText(tree, root), "全部");
    EXPECT_EQ(TreeView_GetNextSibling(tree, root), nullptr);
    EXPECT_EQ(Children(tree, root), (std::vector<std::string>{"江苏省", "浙江省"}));
    const HTREEITEM jiangsu = TreeView_GetChild(tree, root);
    EXPECT_EQ(Children(tree, jiangsu), (std::vector<std::string>{"南京市", "苏州市", "昆山市"}));

    // Loading again replaces the items instead of adding to them.
    frame.LoadAreaTree(WriteAreaIni());
    EXPECT_EQ(Children(tree, TreeView_GetRoot(tree)).size(), 2u);
}

TEST_F(DockTest, SelectingACityAsksForItsListAndOthersAskNothing) {
    CMainFrame& frame = MakeFrame();
    const HWND tree = frame.areaTreePane().tree();
    frame.model().titlePrefix = "前缀";
    frame.session().ClearUnsentQueue();

    for (const char* nothing : {"全部", "江苏省"}) {
        TreeView_SelectItem(tree, FindItem(tree, TreeView_GetRoot(tree), nothing));
        EXPECT_TRUE(Sent().empty()) << nothing;
    }
    TreeView_SelectItem(tree, FindItem(tree, TreeView_GetRoot(tree), "苏州市"));
    EXPECT_EQ(Sent(), (std::vector<std::string>{"!TODAYRECORD!|苏州市^"}));
    EXPECT_EQ(frame.account().currentArea, "苏州市");
    EXPECT_EQ(WindowText(frame.hwnd()), "前缀    苏州市信息处理中");

    // A city-level account stays with its home city.
    frame.session().ClearUnsentQueue();
    frame.account().areaLevel = 2;
    frame.account().homeCity = "苏州市";
    TreeView_SelectItem(tree, FindItem(tree, TreeView_GetRoot(tree), "杭州市"));
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(frame.account().currentArea, "苏州市");
}

TEST_F(DockTest, CurrentInformationSelectsTheOwnAreaOrSwitchesToAProvince) {
    struct Case {
        int level;
        const char* expectedArea;
    } cases[] = {{2, "南京市"}, {1, "浙江省"}};
    for (const Case& c : cases) {
        CMainFrame& frame = MakeFrame();
        frame.account().homeCity = "南京市";
        frame.account().homeProvince = "浙江省";
        frame.account().areaLevel = c.level;
        frame.account().currentArea = "苏州市";
        frame.session().ClearUnsentQueue();
        Command(ID_CURRENT_INFO);
        EXPECT_EQ(frame.account().currentArea, c.expectedArea);
        EXPECT_EQ(Sent(), (std::vector<std::string>{std::string("!TODAYRECORD!|") + c.expectedArea + "^"}))
            << c.level;
        const HWND tree = frame.areaTreePane().tree();
        const HTREEITEM selected = TreeView_GetSelection(tree);
        if (c.level == 2) {
            EXPECT_EQ(ItemText(tree, selected), "南京市");
        } else {
            EXPECT_EQ(selected, nullptr);  // a province has no item to select
        }
        TearDown();
    }
}

TEST_F(DockTest, LogonReplySelectsTheOwnCityAndShowsTheTreeOnlyWithFullRights) {
    struct Case {
        const char* rights;
        bool shown;
    } cases[] = {{"1", true}, {"0", false}};
    for (const Case& c : cases) {
        CMainFrame& frame = MakeFrame();
        const std::string reply =
            std::string("!OK!|苏州市|江苏省|u1|2|王|1|2|30|1|苏州市|") + c.rights + "|";
        ASSERT_TRUE(tovan::DispatchServerMessage(reply.c_str(), frame.messageHandler()));
        EXPECT_EQ(frame.areaTreePane().Shown(), c.shown) << c.rights;
        EXPECT_EQ(frame.searchPane().grid.limitedRights, c.shown ? 0 : 1);
        const HWND tree = frame.areaTreePane().tree();
        EXPECT_EQ(ItemText(tree, TreeView_GetSelection(tree)), "苏州市");
        // The tree's handler asked for the list; the reply's own request is not queued.
        EXPECT_EQ(Sent(), (std::vector<std::string>{"!TODAYRECORD!|苏州市^"}));
        TearDown();
    }
}

// A long province: the own city, last of forty, must be scrolled into view.
TEST_F(DockTest, LogonReplyScrollsTheOwnCityIntoView) {
    CMainFrame& frame = MakeFrame();
    const std::string path = TempFile("dock_long_area.ini");
    DeleteFileA(path.c_str());
    std::string cities;
    for (int i = 1; i < 40; ++i) cities += "城" + std::to_string(i) + "市\\";
    WritePrivateProfileStringA("全国省城", "SF", "浙江省\\江苏省\\", path.c_str());
    WritePrivateProfileStringA("浙江省", "CS", "杭州市\\", path.c_str());
    WritePrivateProfileStringA("江苏省", "CS", (cities + "苏州市\\").c_str(), path.c_str());
    frame.LoadAreaTree(path);
    // Without full rights the pane is hidden while the city is selected; a
    // later logon with them shows it.
    for (const char* rights : {"0", "1"}) {
        const std::string reply = std::string("!OK!|苏州市|江苏省|u1|2|王|1|2|30|1|苏州市|") + rights + "|";
        ASSERT_TRUE(tovan::DispatchServerMessage(reply.c_str(), frame.messageHandler()));
        testutil::Pump(100);
    }
    const HWND tree = frame.areaTreePane().tree();
    const HTREEITEM selected = TreeView_GetSelection(tree);
    ASSERT_EQ(ItemText(tree, selected), "苏州市");
    RECT item = {}, client = {};
    std::memcpy(&item, &selected, sizeof selected);  // the message takes the item in the rectangle
    ASSERT_TRUE(SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&item)));
    GetClientRect(tree, &client);
    ASSERT_GT(client.bottom, 0);
    EXPECT_GE(item.top, client.top);
    EXPECT_LE(item.bottom, client.bottom);
}

// The view's columns and the lines between them end inside the grid: the
// talk picture is not cut by the scroll bar, after a resize too.
// The frame is made hidden at its maximised size: showing it lays nothing
// out again, and the tree's docked height comes from that client height.
// The banner's and the web panes' browsers come once the first rows are on
// the screen, below the panes' glyphs; a paint without rows brings nothing.
TEST_F(DockTest, FrameIsMadeMaximisedAndTheBrowsersComeWithTheFirstRows) {
    frame_ = std::make_unique<CMainFrame>();
    CMainFrame& frame = *frame_;
    ASSERT_TRUE(frame.CreateFrame());
    EXPECT_TRUE(IsZoomed(frame.hwnd()));
    EXPECT_FALSE(IsWindowVisible(frame.hwnd()));
    RECT made;
    GetClientRect(frame.hwnd(), &made);
    EXPECT_EQ(frame.areaTreePane().vertSize.cy, 2 * (made.bottom / 3));
    EXPECT_EQ(frame.areaTreePane().vertMin.cy, made.bottom / 2);
    EXPECT_EQ(frame.topWebPane().browser(), nullptr);
    EXPECT_EQ(frame.rightWebPane().browser(), nullptr);
    EXPECT_EQ(frame.banner(), nullptr);

    ShowWindow(frame.hwnd(), SW_SHOWMAXIMIZED);
    UpdateWindow(frame.hwnd());
    RECT shown;
    GetClientRect(frame.hwnd(), &shown);
    EXPECT_EQ(shown, made);
    CViewGrid& grid = frame.view().grid();
    EXPECT_TRUE(grid.onFirstRowsPainted) << "an empty grid's paint is not the first rows";
    EXPECT_EQ(frame.topWebPane().browser(), nullptr);

    tovan::MsgInfo record = {};
    std::strcpy(record.ID, "7");
    record.loaded = 1;
    frame.lists().currentList.Reset(1);
    frame.lists().currentList.Store(0, record);
    grid.SetRowCount(1);
    UpdateWindow(grid.hwnd());
    EXPECT_FALSE(grid.onFirstRowsPainted);
    testutil::Pump(30);
    for (CIEBar* pane : {&frame.topWebPane(), &frame.rightWebPane()}) {
        ASSERT_NE(pane->browser(), nullptr);
        RECT inner;
        GetClientRect(pane->hwnd(), &inner);
        EXPECT_EQ(RectIn(pane->hwnd(), pane->browser()), inner);
        EXPECT_EQ(GetWindow(pane->hwnd(), GW_CHILD), pane->closeGlyph()) << "the glyph stays on top";
    }
    ASSERT_NE(frame.banner(), nullptr);
    RECT pane0 = {};
    SendMessageA(frame.statusBar(), SB_GETRECT, 0, reinterpret_cast<LPARAM>(&pane0));
    EXPECT_EQ(RectIn(frame.statusBar(), frame.banner()), pane0);
}

// Without rows (no server, an empty list) the browsers come a second after
// the frame was made.
TEST_F(DockTest, WithoutRowsTheBrowsersComeASecondAfterTheFrame) {
    CMainFrame& frame = MakeShownFrame();
    const DWORD start = GetTickCount();
    while (!frame.topWebPane().browser() && GetTickCount() - start < 3000) testutil::Pump(50);
    EXPECT_NE(frame.topWebPane().browser(), nullptr);
    EXPECT_NE(frame.rightWebPane().browser(), nullptr);
    EXPECT_NE(frame.banner(), nullptr);
}

TEST_F(DockTest, ViewColumnsFitBesideTheScrollBar) {
    CMainFrame& frame = MakeFrame();
    CViewGrid& grid = frame.view().grid();
    for (int width : {800, 700}) {
        MoveWindow(frame.hwnd(), 0, 0, width, 600, TRUE);
        testutil::Pump(30);
        int right = grid.columnCount - 1;
        for (int c = 0; c < grid.columnCount; ++c) right += grid.ColumnWidth(c);
        // Where the scroll bar stands once the list outgrows the view.
        RECT client;
        GetClientRect(frame.view().hwnd(), &client);
        EXPECT_LE(right, client.right - GetSystemMetrics(SM_CXVSCROLL)) << width;
    }
}

TEST_F(DockTest, ALogonEmptiesTheSearchResultsAndTheirCount) {
    CMainFrame& frame = MakeFrame();
    CGridDialog& pane = frame.searchPane();
    frame.ShowPane(pane, true);
    tovan::DispatchServerMessage("!SOUSUOCOUNT!|9", frame.messageHandler());
    ASSERT_EQ(WindowText(pane.hwnd()), "搜索结果        共9条");
    ASSERT_TRUE(tovan::DispatchServerMessage("!OK!|苏州市|江苏省|u2|2|王|1|2|30|1|苏州市|1|",
                                             frame.messageHandler()));
    EXPECT_EQ(pane.grid.rowCount, 0);
    EXPECT_EQ(WindowText(pane.hwnd()), "搜索结果");
}

TEST_F(DockTest, WebPanesFrameTheViewAndTheTreeToggleTakesTheRightPaneAlong) {
    CMainFrame& frame = MakeFrame();
    CDockDialog& tree = frame.areaTreePane();
    CIEBar& top = frame.topWebPane();
    CIEBar& right = frame.rightWebPane();
    RECT client;
    GetClientRect(frame.hwnd(), &client);
    const RECT bar = RectIn(frame.hwnd(), frame.toolbar().hwnd());
    const RECT status = RectIn(frame.hwnd(), frame.statusBar());

    // At start: both web panes, neither the tree nor the search pane.
    EXPECT_FALSE(tree.Shown());
    EXPECT_FALSE(frame.searchPane().Shown());
    ASSERT_TRUE(top.Shown() && right.Shown());
    EXPECT_EQ(top.kind(), 1004u);
    EXPECT_EQ(right.kind(), 1003u);
    RECT topRect = RectIn(frame.hwnd(), top.hwnd());
    RECT rightRect = RectIn(frame.hwnd(), right.hwnd());
    EXPECT_EQ(topRect, (RECT{0, bar.bottom, client.right, bar.bottom + 70}));
    EXPECT_EQ(rightRect, (RECT{client.right - 130, topRect.bottom, client.right, status.top}));
    EXPECT_EQ(RectIn(frame.hwnd(), frame.view().hwnd()),
              (RECT{0, topRect.bottom, rightRect.left, status.top}));

    // The tree shows above the right pane in one column; both share its height.
    frame.account().isFullMember = 1;
    Command(ID_AREA_LIST);
    ASSERT_TRUE(tree.Shown() && right.Shown());
    const RECT treeRect = RectIn(frame.hwnd(), tree.hwnd());
    rightRect = RectIn(frame.hwnd(), right.hwnd());
    EXPECT_EQ(treeRect.top, topRect.bottom);
    EXPECT_EQ(treeRect.right, client.right);
    EXPECT_EQ(treeRect.right - treeRect.left, 130);
    EXPECT_EQ(rightRect, (RECT{treeRect.left, treeRect.bottom, client.right, status.top}));
    EXPECT_GE(treeRect.bottom - treeRect.top, 600 / 4);  // not below its minimum of half the client
    EXPECT_GE(rightRect.bottom - rightRect.top, 20);
    EXPECT_EQ(RectIn(frame.hwnd(), frame.view().hwnd()).right, treeRect.left);
    // The tree fills the pane below the caption strip.
    RECT inner;
    GetClientRect(tree.hwnd(), &inner);
    EXPECT_EQ(RectIn(tree.hwnd(), tree.tree()).bottom, inner.bottom);
    EXPECT_EQ(inner.bottom, (treeRect.bottom - treeRect.top) - 6 - CSizingControlBar::kGripperWidth);
    // Its edge between the two is sizable on both sides, and the inner edge.
    POINT upper = {RectIn(nullptr, tree.hwnd()).left + 60, RectIn(nullptr, tree.hwnd()).bottom - 2};
    POINT lower = {upper.x, RectIn(nullptr, right.hwnd()).top + 2};
    POINT inside = {RectIn(nullptr, right.hwnd()).left + 1, lower.y + 30};
    EXPECT_EQ(SendMessageA(tree.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(upper.x, upper.y)), HTBOTTOM);
    EXPECT_EQ(SendMessageA(right.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(lower.x, lower.y)), HTTOP);
    EXPECT_EQ(SendMessageA(right.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTLEFT);

    // The toggle hides both, and shows both again.
    Command(ID_AREA_LIST_TOOLBAR);
    EXPECT_FALSE(tree.Shown());
    EXPECT_FALSE(right.Shown());
    EXPECT_EQ(RectIn(frame.hwnd(), frame.view().hwnd()).right, client.right);
    Command(ID_AREA_LIST);
    EXPECT_TRUE(tree.Shown() && right.Shown());

    // The tree's close button hides it; its edge does not resize it. The
    // right pane then has the column to itself.
    const RECT treeNow = RectIn(frame.hwnd(), tree.hwnd());
    SendMessageA(tree.hwnd(), WM_NCLBUTTONDOWN, HTLEFT, MAKELPARAM(treeNow.left + 1, treeNow.top + 50));
    EXPECT_FALSE(tree.Tracking());
    SendMessageA(tree.hwnd(), WM_NCLBUTTONDOWN, HTCLOSE, 0);
    SendMessageA(tree.hwnd(), WM_NCLBUTTONUP, HTCLOSE, 0);
    EXPECT_FALSE(tree.Shown());
    EXPECT_EQ(RectIn(frame.hwnd(), right.hwnd()), (RECT{client.right - 130, topRect.bottom, client.right, status.top}));
}

TEST_F(DockTest, WebPaneClosesByItsGlyphOrItsCommandAndStaysClosedForTheToggle) {
    CMainFrame& frame = MakeFrame();
    CIEBar& top = frame.topWebPane();
    CIEBar& right = frame.rightWebPane();
    const RECT bar = RectIn(frame.hwnd(), frame.toolbar().hwnd());

    // No caption strip: the page fills the pane inside its margins, and the
    // glyph sits 2 pixels from the client's top-right corner, also after a resize.
    for (CIEBar* pane : {&top, &right}) {
        EXPECT_FALSE(pane->HasGripper());
        RECT inner, outer = RectIn(frame.hwnd(), pane->hwnd());
        GetClientRect(pane->hwnd(), &inner);
        EXPECT_EQ(inner.right, (outer.right - outer.left) - 4);  // 2 + 2 at the top, 0 + 4 at the right
        EXPECT_EQ(inner.bottom, outer.bottom - outer.top);
        EXPECT_EQ(RectIn(pane->hwnd(), pane->closeGlyph()), (RECT{inner.right - 22, 2, inner.right - 2, 21}));
        EXPECT_EQ(GetDlgCtrlID(pane->closeGlyph()), static_cast<int>(pane->kind()));
        EXPECT_EQ(GetDlgCtrlID(pane->hwnd()), 1002);
    }
    MoveWindow(frame.hwnd(), 0, 0, 700, 500, TRUE);
    RECT inner;
    GetClientRect(top.hwnd(), &inner);
    EXPECT_EQ(RectIn(top.hwnd(), top.closeGlyph()).right, inner.right - 2);

    // A click on the top pane's glyph hides it; the view moves up to the toolbar.
    SendMessageA(top.closeGlyph(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(top.closeGlyph(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(top.Shown());
    EXPECT_EQ(RectIn(frame.hwnd(), frame.view().hwnd()).top, bar.bottom);
    EXPECT_EQ(RectIn(frame.hwnd(), right.hwnd()).top, bar.bottom);

    // Command 1003 hides the right pane, and the tree toggle no longer brings it.
    Command(CIEBar::kRightPane);
    EXPECT_FALSE(right.Shown());
    RECT client;
    GetClientRect(frame.hwnd(), &client);
    EXPECT_EQ(RectIn(frame.hwnd(), frame.view().hwnd()).right, client.right);
    frame.account().isFullMember = 1;
    Command(ID_AREA_LIST);
    EXPECT_TRUE(frame.areaTreePane().Shown());
    EXPECT_FALSE(right.Shown());
    EXPECT_EQ(RectIn(frame.hwnd(), frame.areaTreePane().hwnd()).bottom,
              RectIn(frame.hwnd(), frame.statusBar()).top);
}

// The mouse as the system moves it: a button pressed or released at a point
// of the screen.
void MouseAt(POINT screen, DWORD button) {
    SetCursorPos(screen.x, screen.y);
    testutil::Pump(40);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = button;
    SendInput(1, &in, sizeof in);
    testutil::Pump(120);
}

POINT CentreOnScreen(HWND h, RECT r) {
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(h, &p);
    return p;
}

TEST_F(DockTest, ACloseBoxClosesItsPaneOnlyWhenPressedAndReleasedOnIt) {
    CMainFrame& frame = MakeFrame();
    frame.account().isFullMember = 1;
    CSizingControlBar& tree = frame.areaTreePane();

    // Messages alone: a release on the box after a press elsewhere, or after
    // the pointer left the box, leaves the pane; press and release on it close it.
    struct Case { const char* what; std::vector<std::pair<UINT, WPARAM>> messages; bool closes; };
    const Case cases[] = {
        {"release only", {{WM_NCLBUTTONUP, HTCLOSE}}, false},
        {"pressed on the caption", {{WM_NCLBUTTONDOWN, HTCAPTION}, {WM_NCLBUTTONUP, HTCLOSE}}, false},
        {"pressed, left, released", {{WM_NCLBUTTONDOWN, HTCLOSE}, {WM_NCMOUSELEAVE, 0}, {WM_NCLBUTTONUP, HTCLOSE}}, false},
        {"pressed and released on it", {{WM_NCLBUTTONDOWN, HTCLOSE}, {WM_NCLBUTTONUP, HTCLOSE}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!tree.Shown()) Command(ID_AREA_LIST);  // shown again after a close
        ASSERT_TRUE(tree.Shown());
        for (const auto& [msg, hit] : c.messages) SendMessageA(tree.hwnd(), msg, hit, 0);
        EXPECT_EQ(tree.Shown(), !c.closes);
    }

    // With the mouse: the top pane's cross hides its pane on the press; the
    // tree's close box is under the pointer at the release. Only the top
    // pane goes; the tree and the right pane stay.
    Command(ID_AREA_LIST);
    ASSERT_TRUE(tree.Shown());
    CIEBar& top = frame.topWebPane();
    ASSERT_TRUE(top.Shown());
    SetForegroundWindow(frame.hwnd());
    testutil::Pump(50);
    RECT glyph;
    GetClientRect(top.closeGlyph(), &glyph);
    MouseAt(CentreOnScreen(top.closeGlyph(), glyph), MOUSEEVENTF_LEFTDOWN);
    ASSERT_FALSE(top.Shown()) << "the cross acts on the press";
    RECT bar;
    GetWindowRect(tree.hwnd(), &bar);
    const RECT box = tree.CloseButton(bar.right - bar.left, bar.bottom - bar.top);
    const POINT onBox = {bar.left + (box.left + box.right) / 2, bar.top + (box.top + box.bottom) / 2};
    ASSERT_EQ(SendMessageA(tree.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(onBox.x, onBox.y)), HTCLOSE);
    MouseAt(onBox, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(tree.Shown());
    EXPECT_TRUE(frame.rightWebPane().Shown());

    // A click of its own on the box still closes the tree.
    MouseAt(onBox, MOUSEEVENTF_LEFTDOWN);
    MouseAt(onBox, MOUSEEVENTF_LEFTUP);
    EXPECT_FALSE(tree.Shown());
}

TEST_F(DockTest, CaptionIsActiveExactlyWhileTheFocusIsInThePane) {
    CMainFrame& frame = MakeFrame();
    frame.account().isFullMember = 1;
    Command(ID_AREA_LIST);
    frame.ShowPane(frame.searchPane(), true);
    SetForegroundWindow(frame.hwnd());
    testutil::Pump(50);  // the activation settles before the focus moves
    struct Case {
        HWND focus;
        bool tree, search;
    } cases[] = {
        {frame.areaTreePane().tree(), true, false},
        {frame.searchPane().grid.hwnd(), false, true},
        {frame.view().grid().hwnd(), false, false},
    };
    for (const Case& c : cases) {
        SetFocus(c.focus);
        ASSERT_EQ(GetFocus(), c.focus);
        fw::RunIdleHandlers();
        EXPECT_EQ(frame.areaTreePane().CaptionActive(), c.tree);
        EXPECT_EQ(frame.searchPane().CaptionActive(), c.search);
    }
    // The web panes have no caption to colour.
    SetFocus(frame.rightWebPane().closeGlyph());
    frame.rightWebPane().UpdateCaptionState();
    EXPECT_FALSE(frame.rightWebPane().CaptionActive());
}

TEST_F(DockTest, SearchPaneShowsTheCountInItsCaptionAndResizesByItsEdge) {
    CMainFrame& frame = MakeFrame();
    CGridDialog& pane = frame.searchPane();
    ASSERT_EQ(frame.SearchGrid(), &pane.grid);
    EXPECT_EQ(pane.grid.isSearchGrid, 1);
    EXPECT_EQ(pane.grid.records, &frame.lists().searchList);
    EXPECT_EQ(frame.lists().searchGrid.view, &pane.grid);
    EXPECT_EQ(GetDlgCtrlID(pane.grid.hwnd()), 8110);

    // A search shows the pane, the count reply sizes the list and the caption.
    frame.ShowPane(pane, true);
    tovan::DispatchServerMessage("!SOUSUOCOUNT!|12", frame.messageHandler());
    EXPECT_TRUE(pane.Shown());
    EXPECT_EQ(WindowText(pane.hwnd()), "搜索结果        共12条");
    EXPECT_EQ(pane.grid.rowCount, 12);
    EXPECT_EQ(frame.lists().searchList.Size(), 12);

    RECT client;
    GetClientRect(frame.hwnd(), &client);
    RECT search = RectIn(frame.hwnd(), pane.hwnd());
    const RECT status = RectIn(frame.hwnd(), frame.statusBar());
    RECT view = RectIn(frame.hwnd(), frame.view().hwnd());
    EXPECT_EQ(search.bottom, status.top);
    EXPECT_EQ(search.bottom - search.top, 230);
    EXPECT_EQ(search.right, client.right);
    EXPECT_EQ(view.bottom, search.top);
    const int viewHeight = view.bottom - view.top;

    // Dragging the top edge 50 pixels up grows the pane and shrinks the view.
    POINT at = {RectIn(nullptr, pane.hwnd()).left + 100, RectIn(nullptr, pane.hwnd()).top + 2};
    EXPECT_EQ(SendMessageA(pane.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)), HTTOP);
    SendMessageA(pane.hwnd(), WM_NCLBUTTONDOWN, HTTOP, MAKELPARAM(at.x, at.y));
    ASSERT_TRUE(pane.Tracking());
    POINT move = {at.x, at.y - 50};
    ScreenToClient(pane.hwnd(), &move);
    SendMessageA(pane.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(move.x, move.y));
    SendMessageA(pane.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(move.x, move.y));
    EXPECT_FALSE(pane.Tracking());
    search = RectIn(frame.hwnd(), pane.hwnd());
    view = RectIn(frame.hwnd(), frame.view().hwnd());
    EXPECT_EQ(search.bottom - search.top, 280);
    EXPECT_EQ(view.bottom - view.top, viewHeight - 50);
    EXPECT_EQ(view.bottom, search.top);

    // Far past the view's top it stops where the view has no height left,
    // and far down at the least height.
    for (int dy : {-2000, 2000}) {
        SendMessageA(pane.hwnd(), WM_NCLBUTTONDOWN, HTTOP, MAKELPARAM(at.x, at.y));
        POINT to = {at.x, at.y + dy};
        ScreenToClient(pane.hwnd(), &to);
        SendMessageA(pane.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, static_cast<SHORT>(to.y)));
        SendMessageA(pane.hwnd(), WM_LBUTTONUP, 0, 0);
        view = RectIn(frame.hwnd(), frame.view().hwnd());
        search = RectIn(frame.hwnd(), pane.hwnd());
        if (dy < 0) {
            EXPECT_EQ(view.bottom, view.top);
        } else {
            EXPECT_EQ(search.bottom - search.top, 20);
        }
        at.y = RectIn(nullptr, pane.hwnd()).top + 2;
    }

    // The masking switch covers the search grid too; the close glyph hides it.
    const int mask = pane.grid.maskDigits;
    Command(ID_TOGGLE_MASK);
    EXPECT_NE(pane.grid.maskDigits, mask);
    SendMessageA(pane.hwnd(), WM_NCLBUTTONDOWN, HTCLOSE, 0);
    SendMessageA(pane.hwnd(), WM_NCLBUTTONUP, HTCLOSE, 0);
    EXPECT_FALSE(pane.Shown());
}

// What the timer found while the details ran modally; it closes them.
struct OpenedDetails {
    std::string caption, text;
} g_details;

BOOL CALLBACK FindDetails(HWND h, LPARAM found) {
    if (IsWindowVisible(h) && WindowText(h).rfind("信息详情", 0) == 0) {
        *reinterpret_cast<HWND*>(found) = h;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK ReadAndCloseDetails(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDetails, reinterpret_cast<LPARAM>(&box));
    if (!box) return;
    g_details = {WindowText(box), WindowText(GetDlgItem(box, IDC_XIANGQING_TEXT))};
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

// The pictures of the class and talk columns fit their columns, as in the view.
TEST_F(DockTest, SearchGridSizesItsPictureColumnsLikeTheView) {
    CMainFrame& frame = MakeFrame();
    ASSERT_TRUE(frame.UsePictures());
    for (int column : {tovan::kClassColumn, tovan::kChatColumn}) {
        EXPECT_EQ(frame.searchPane().grid.ColumnWidth(column), frame.view().grid().ColumnWidth(column))
            << column;
        EXPECT_EQ(frame.searchPane().grid.ColumnWidth(column), 23 + 4) << column;
    }
}

// A double-click on a cell of a record grid's parent: the details that
// opened (closed again by the timer), "" when none did.
OpenedDetails DoubleClickCell(HWND frame, HWND gridParent, int row, int column) {
    g_details = {};
    SetTimer(frame, 77, 200, ReadAndCloseDetails);
    SendMessageA(gridParent, WM_GRID_CELLDBLCLK, static_cast<WPARAM>(row), column);
    KillTimer(frame, 77);
    return g_details;
}

// The talk column asks for a chat with the author; every other column opens
// the details and no chat.
TEST_F(DockTest, SearchResultsOpenTheirDetailsOrAChatOnADoubleClick) {
    CMainFrame& frame = MakeFrame();
    CGridDialog& pane = frame.searchPane();
    frame.ShowPane(pane, true);
    std::vector<std::string> talks;
    pane.onTalk = [&](const std::string& author) { talks.push_back(author); };
    tovan::DispatchServerMessage("!SOUSUOCOUNT!|1", frame.messageHandler());
    tovan::DispatchServerMessage("!SOUSUORECORD!|7|货|u9|12-10 08:00|南京市|南京到上海有货|江苏省|0|k|0",
                                 frame.messageHandler());
    for (int column : {tovan::kClassColumn, tovan::kBodyColumn, tovan::kPlaceColumn}) {
        const OpenedDetails d = DoubleClickCell(frame.hwnd(), pane.hwnd(), 0, column);
        EXPECT_EQ(d.caption, "信息详情-- 来自 u9") << column;
        EXPECT_EQ(d.text, "南京到上海有货 12-10 08:00") << column;
    }
    EXPECT_TRUE(talks.empty());
    const OpenedDetails d = DoubleClickCell(frame.hwnd(), pane.hwnd(), 0, tovan::kChatColumn);
    EXPECT_EQ(d.caption, "");
    EXPECT_EQ(talks, std::vector<std::string>{"u9"});
    // A row past the records does nothing.
    EXPECT_EQ(DoubleClickCell(frame.hwnd(), pane.hwnd(), 1, tovan::kChatColumn).caption, "");
    EXPECT_EQ(talks.size(), 1u);
}

// The record view: the details show the user's own masking only (never the
// limited-rights masking), with masked digits and every "*" left out; the
// talk column asks for a chat instead.
TEST_F(DockTest, RecordViewOpensMaskedDetailsOrAChatOnADoubleClick) {
    CMainFrame& frame = MakeFrame();
    CTovanClientView& view = frame.view();
    std::vector<std::string> talks;
    view.onTalk = [&](const std::string& author) { talks.push_back(author); };
    tovan::DispatchServerMessage("!OK!|苏州市|江苏省|u1|2|王|1|2|30|1|苏州市|1|", frame.messageHandler());
    tovan::DispatchServerMessage(
        "!NEWRECORD!|3|车|u5|12-10 09:30|苏州市|*急* 电话:13912345678 区号0512|江苏省|0|苏州市",
        frame.messageHandler());
    ASSERT_EQ(view.grid().records->Size(), 1);

    struct Case {
        const char* what;
        int mask, limited;
        const char* text;
    } cases[] = {
        {"plain", 0, 0, "急 电话:13912345678 区号0512 12-10 09:30"},
        {"limited rights do not mask the details", 0, 1, "急 电话:13912345678 区号0512 12-10 09:30"},
        {"the user's masking", 1, 0, "急 电话: 区号0512 12-10 09:30"},
    };
    for (const Case& c : cases) {
        view.grid().maskDigits = c.mask;
        view.grid().limitedRights = c.limited;
        const OpenedDetails d = DoubleClickCell(frame.hwnd(), view.hwnd(), 0, tovan::kBodyColumn);
        EXPECT_EQ(d.caption, "信息详情-- 来自 u5") << c.what;
        EXPECT_EQ(d.text, c.text) << c.what;
    }
    EXPECT_TRUE(talks.empty());
    EXPECT_EQ(DoubleClickCell(frame.hwnd(), view.hwnd(), 0, tovan::kChatColumn).caption, "");
    EXPECT_EQ(talks, std::vector<std::string>{"u5"});
}

TEST_F(DockTest, WithoutFullWindowDragTheEdgeMovesALineAndThePaneFollowsAtTheRelease) {
    CMainFrame& frame = MakeFrame();
    CGridDialog& pane = frame.searchPane();
    frame.ShowPane(pane, true);
    // The setting changes while the client runs; the frame passes the news on.
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, 0);
    SendMessageA(frame.hwnd(), WM_SETTINGCHANGE, SPI_SETDRAGFULLWINDOWS, 0);
    EXPECT_FALSE(pane.LiveResize());

    const RECT before = RectIn(frame.hwnd(), pane.hwnd());
    POINT at = {RectIn(nullptr, pane.hwnd()).left + 100, RectIn(nullptr, pane.hwnd()).top + 2};
    SendMessageA(pane.hwnd(), WM_NCLBUTTONDOWN, HTTOP, MAKELPARAM(at.x, at.y));
    ASSERT_TRUE(pane.Tracking());
    for (int dy : {-20, -50}) {
        POINT move = {at.x, at.y + dy};
        ScreenToClient(pane.hwnd(), &move);
        SendMessageA(pane.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(move.x, move.y));
        EXPECT_EQ(RectIn(frame.hwnd(), pane.hwnd()), before) << dy;
    }
    SendMessageA(pane.hwnd(), WM_LBUTTONUP, 0, 0);
    EXPECT_FALSE(pane.Tracking());
    const RECT after = RectIn(frame.hwnd(), pane.hwnd());
    EXPECT_EQ(after.top, before.top - 50);
    EXPECT_EQ(RectIn(frame.hwnd(), frame.view().hwnd()).bottom, after.top);

    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
    SendMessageA(frame.hwnd(), WM_SETTINGCHANGE, SPI_SETDRAGFULLWINDOWS, 0);
    EXPECT_TRUE(pane.LiveResize());
}

}  // namespace
