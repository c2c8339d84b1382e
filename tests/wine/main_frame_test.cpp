// The main frame on the display with the client's resources: its menu and
// the radio marks from dmr.ini, the mask item's text, the toolbar from
// [ToolBar], the layout of toolbar, view and status bar, minimising to the
// tray and the notifications; and the start-up update check against a small
// HTTP server on loopback.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "client/core/chat_history_purge.h"
#include "tests/wine/frame_fixture.h"
#include "tests/wine/gui_test_util.h"
#include "client/core/login_dlg.h"
#include "client/core/main_frame.h"
#include "fw/program_path.h"
#include "client/res/resource.h"
#include "client/core/update_check_win.h"

namespace {

class FrameTest : public testutil::FrameFixture {
protected:
    void SetUp() override {
        for (const char* section : {"Publish", "Display", "ToolBar"})
            WritePrivateProfileStringA(section, nullptr, nullptr, kUserIniFile);
        WritePrivateProfileStringA("User", "Name", "test", kUserIniFile);
    }

    CMainFrame& MakeFrame() { return MakeShownFrame(); }
};

std::string MenuText(HMENU menu, UINT id) {
    char buf[256] = {};
    GetMenuStringA(menu, id, buf, sizeof buf, MF_BYCOMMAND);
    return buf;
}

std::string MenuTextAt(HMENU menu, int pos) {
    char buf[256] = {};
    GetMenuStringA(menu, static_cast<UINT>(pos), buf, sizeof buf, MF_BYPOSITION);
    return buf;
}

bool IsChecked(HMENU menu, UINT id) {
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool IsRadio(HMENU menu, UINT id) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(menu, id, FALSE, &info);
    return (info.fType & MFT_RADIOCHECK) != 0;
}

std::string UserIni(const char* section, const char* key) {
    char buf[64] = {};
    GetPrivateProfileStringA(section, key, "<none>", buf, sizeof buf, kUserIniFile);
    return buf;
}

// ---------------------------------------------------------------- menu

TEST_F(FrameTest, MenuCarriesEveryCommandWithItsText) {
    CMainFrame& frame = MakeFrame();
    HMENU menu = GetMenu(frame.hwnd());
    ASSERT_TRUE(menu);
    EXPECT_EQ(MenuTextAt(menu, 1), "功能设置");
    EXPECT_EQ(MenuTextAt(menu, 4), "实用工具");
    const struct { UINT id; const char* text; } items[] = {
        {32777, "用户登录...(&L)"}, {32778, "发布车源(&C)"}, {32781, "发布货源(&G)"},
        {32779, "高级搜索(&A)"},   {32820, "普通搜索(&P)"}, {32776, "关注信息(&B)"},
        {11005, "当前信息(&Q)"},   {32782, "我的信息(&M)"}, {32783, "文字和背景...(&C)"},
        {32784, "地区列表(&A)"},   {32771, "加密(&P)"},     {32787, "专家模式(&P)"},
        {32798, "自由模式(&F)"},   {32812, "到任务栏(&M)"}, {32813, "托盘图标(&T)"},
        {32794, "重发信息管理(&R)"}, {32799, "工具栏选项...(&X)"}, {32801, "常用短语...(&S)"},
        {32810, "管理...(&M)"},    {32792, "技术支持(&S)"}, {57665, "退出(&X)"},
        {57664, "关于 TovanClient(&A)..."}, {57670, "帮助文档(F1)"},
    };
    for (const auto& item : items) EXPECT_EQ(MenuText(menu, item.id), item.text) << item.id;
    // The fixed item of the tools menu stands last.
    HMENU tools = GetSubMenu(menu, 4);
    EXPECT_EQ(GetMenuItemID(tools, GetMenuItemCount(tools) - 1), 32810u);

    HMENU tray = LoadMenuA(fw::Instance(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    ASSERT_TRUE(tray);
    HMENU popup = GetSubMenu(tray, 0);
    EXPECT_EQ(MenuText(popup, 32809), "显示窗口(&S)");
    EXPECT_EQ(MenuText(popup, 57665), "退出(&E)");
    DestroyMenu(tray);
}

TEST_F(FrameTest, RadioMarksFollowDmrIniAndTheCommandsWriteIt) {
    const struct { const char* kind; const char* min; UINT publish; UINT minimise; } cases[] = {
        {nullptr, nullptr, 32798, 32812},  // fresh profile: free mode, taskbar
        {"1", "1", 32787, 32813},
        {"0", "0", 32798, 32812},
        {"2", "7", 32787, 32813},  // any non-zero value
    };
    for (const auto& c : cases) {
        SetUp();
        if (c.kind) WritePrivateProfileStringA("Publish", "Kind", c.kind, kUserIniFile);
        if (c.min) WritePrivateProfileStringA("Display", "Min", c.min, kUserIniFile);
        CMainFrame& frame = MakeFrame();
        HMENU menu = GetMenu(frame.hwnd());
        const char* what = c.kind ? c.kind : "fresh";
        for (UINT id : {32787u, 32798u}) EXPECT_EQ(IsChecked(menu, id), id == c.publish) << what;
        for (UINT id : {32812u, 32813u}) EXPECT_EQ(IsChecked(menu, id), id == c.minimise) << what;
        EXPECT_TRUE(IsRadio(menu, c.publish)) << what;
        EXPECT_TRUE(IsRadio(menu, c.minimise)) << what;
        EXPECT_EQ(UserIni("Publish", "Kind"), c.kind ? c.kind : "<none>") << "only read";
        TearDown();
    }

    CMainFrame& frame = MakeFrame();
    HMENU menu = GetMenu(frame.hwnd());
    SendMessageA(frame.hwnd(), WM_COMMAND, 32787, 0);
    SendMessageA(frame.hwnd(), WM_COMMAND, 32813, 0);
    EXPECT_TRUE(IsChecked(menu, 32787));
    EXPECT_FALSE(IsChecked(menu, 32798));
    EXPECT_TRUE(IsChecked(menu, 32813));
    EXPECT_FALSE(IsChecked(menu, 32812));
    EXPECT_EQ(UserIni("Publish", "Kind"), "1");
    EXPECT_EQ(UserIni("Display", "Min"), "1");
    SendMessageA(frame.hwnd(), WM_COMMAND, 32798, 0);
    SendMessageA(frame.hwnd(), WM_COMMAND, 32812, 0);
    EXPECT_TRUE(IsChecked(menu, 32798));
    EXPECT_TRUE(IsChecked(menu, 32812));
    EXPECT_EQ(UserIni("Publish", "Kind"), "0");
    EXPECT_EQ(UserIni("Display", "Min"), "0");
}

TEST_F(FrameTest, MaskItemNamesWhatTheNextClickDoes) {
    CMainFrame& frame = MakeFrame();
    HMENU menu = GetMenu(frame.hwnd());
    HMENU view = GetSubMenu(menu, 3);
    ASSERT_NE(GetMenuState(view, 32771, MF_BYCOMMAND), static_cast<UINT>(-1));

    SendMessageA(frame.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 3);
    EXPECT_EQ(MenuText(menu, 32771), "加密(&A)");
    EXPECT_EQ(frame.view().grid().maskDigits, 0);

    SendMessageA(frame.hwnd(), WM_COMMAND, 32771, 0);
    EXPECT_EQ(frame.view().grid().maskDigits, 1);
    SendMessageA(frame.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 3);
    EXPECT_EQ(MenuText(menu, 32771), "解密(&A)");

    SendMessageA(frame.hwnd(), WM_COMMAND, 32771, 0);
    EXPECT_EQ(frame.view().grid().maskDigits, 0);
    SendMessageA(frame.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 3);
    EXPECT_EQ(MenuText(menu, 32771), "加密(&A)");
}

// Config.ini [Tools] beside the test program for one test; the section goes
// again afterwards (and the file, when the test made it).
class ToolsSection {
public:
    explicit ToolsSection(const char* toolString)
        : path_(fw::ProgramFilePath("Config.ini")),
          made_(GetFileAttributesA(path_.c_str()) == INVALID_FILE_ATTRIBUTES) {
        WritePrivateProfileStringA("Tools", "ToolString", toolString, path_.c_str());
    }
    ~ToolsSection() {
        WritePrivateProfileStringA("Tools", nullptr, nullptr, path_.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
        if (made_) DeleteFileA(path_.c_str());
    }

private:
    std::string path_;
    bool made_;
};

std::vector<std::string> ItemTexts(HMENU menu) {
    std::vector<std::string> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) texts.push_back(MenuTextAt(menu, i));
    return texts;
}

TEST_F(FrameTest, ToolsMenuListsTheToolsLastFirstAboveManage) {
    std::unique_ptr<ToolsSection> tools = std::make_unique<ToolsSection>("first\\second\\third\\");
    CMainFrame& frame = MakeFrame();
    HMENU menu = GetSubMenu(GetMenu(frame.hwnd()), 4);
    EXPECT_EQ(ItemTexts(menu), (std::vector<std::string>{"third", "second", "first", "管理...(&M)"}));
    EXPECT_EQ(MenuText(menu, 1124), "first");
    EXPECT_EQ(MenuText(menu, 1126), "third");

    // After the tools dialog's OK the menu is built afresh.
    tools.reset();
    tools = std::make_unique<ToolsSection>("only\\");
    frame.BuildToolsMenu();
    EXPECT_EQ(ItemTexts(menu), (std::vector<std::string>{"only", "管理...(&M)"}));

    // More tools than ids: the ones past 1224 are listed too, and go with
    // the next build like the others.
    std::string many;
    for (int i = 0; i < 103; ++i) many += "t" + std::to_string(i) + "\\";
    tools.reset();
    tools = std::make_unique<ToolsSection>(many.c_str());
    frame.BuildToolsMenu();
    EXPECT_EQ(GetMenuItemCount(menu), 104);
    EXPECT_EQ(MenuText(menu, 1226), "t102");
    tools.reset();
    tools = std::make_unique<ToolsSection>("only\\");
    frame.BuildToolsMenu();
    EXPECT_EQ(ItemTexts(menu), (std::vector<std::string>{"only", "管理...(&M)"}));
}

// ---------------------------------------------------------------- toolbar

std::vector<int> BarCommands(CToolBarEx& bar) {
    std::vector<int> ids;
    for (int i = 0; i < bar.ButtonCount(); ++i) ids.push_back(bar.CommandAt(i));
    return ids;
}

// Pixels of the button's picture in pure-ish red and in dark (black text).
struct CaptionInk { int red = 0, dark = 0; };
CaptionInk InkOf(CToolBarEx& bar, int commandId) {
    const int index = bar.CommandToIndex(commandId);
    TBBUTTON b = {};
    SendMessageA(bar.hwnd(), TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b));
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(bar.hwnd(), TB_GETIMAGELIST, 0, 0));
    testutil::Canvas canvas(51, 30);
    canvas.Fill(RGB(255, 255, 255));
    ImageList_Draw(images, b.iBitmap, canvas.dc(), 0, 0, ILD_NORMAL);
    CaptionInk ink;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 51; ++x) {
            const COLORREF c = canvas.At(x, y);
            if (GetRValue(c) > 180 && GetGValue(c) < 90 && GetBValue(c) < 90) ++ink.red;
            if (GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80) ++ink.dark;
        }
    return ink;
}

TEST_F(FrameTest, ToolbarShowsTheItemsOfToolBarSection) {
    {
        CMainFrame& frame = MakeFrame();
        const std::vector<int> fresh = {32784, 32771, 32783, 0,     32781, 32778, 0,
                                        11005, 32776, 32820, 32779, 0,     32782, 32794};
        EXPECT_EQ(BarCommands(frame.toolbar()), fresh);
        EXPECT_TRUE(frame.toolbar().IsSeparatorAt(3));

        // Captions are drawn in their colour on each button's own picture.
        const CaptionInk area = InkOf(frame.toolbar(), 32784);
        const CaptionInk mask = InkOf(frame.toolbar(), 32771);
        EXPECT_GT(area.red, 10);
        EXPECT_EQ(mask.red, 0);
        EXPECT_GT(mask.dark, 10);
        TearDown();
    }

    // The settings dialog's OK rebuilds the bar from the new keys.
    CMainFrame& frame = MakeFrame();
    for (const char* key : {"地区列表", "加密解密", "字体", "发布货源", "发布车源", "当前信息",
                            "关注信息", "普通搜索", "高级搜索", "我的信息", "重发管理"})
        WritePrivateProfileStringA("ToolBar", key, "0", kUserIniFile);
    WritePrivateProfileStringA("ToolBar", "退出", "1", kUserIniFile);
    frame.BuildToolBar();
    EXPECT_EQ(BarCommands(frame.toolbar()), (std::vector<int>{0, 57665}));
    WritePrivateProfileStringA("ToolBar", "退出", "0", kUserIniFile);
    frame.BuildToolBar();
    EXPECT_EQ(frame.toolbar().ButtonCount(), 0);
}

TEST_F(FrameTest, CurrentInfoButtonTakesTheHomeAreaName) {
    CMainFrame& frame = MakeFrame();
    const int index = frame.toolbar().CommandToIndex(11005);
    ASSERT_GE(index, 0);
    frame.account().homeProvince = "江苏省";
    frame.account().homeCity = "南京市";
    frame.account().areaLevel = 2;
    const int count = frame.toolbar().ButtonCount();
    frame.UpdateCurrentInfoButton();
    EXPECT_EQ(frame.toolbar().ButtonCount(), count);
    EXPECT_EQ(frame.toolbar().CommandToIndex(11005), index);
    EXPECT_GT(InkOf(frame.toolbar(), 11005).dark, 10);

    // Every logon reply relabels it: the picture is replaced, the image list
    // does not grow with reconnects.
    const int images = frame.toolbar().ImageCount();
    for (int i = 0; i < 5; ++i)
        tovan::DispatchServerMessage("!OK!|石家庄市|河北省|test|2|张|-|-|30|0", frame.messageHandler());
    EXPECT_EQ(frame.toolbar().ImageCount(), images);
    EXPECT_EQ(frame.toolbar().CommandToIndex(11005), index);
    EXPECT_GT(InkOf(frame.toolbar(), 11005).dark, 10);

    // A rebuild keeps one picture per button.
    frame.BuildToolBar();
    frame.BuildToolBar();
    EXPECT_EQ(frame.toolbar().ImageCount(), images);
}

TEST_F(FrameTest, ToolbarOnTopStatusBarBelowWebPanesAndViewBetween) {
    CMainFrame& frame = MakeFrame();
    MoveWindow(frame.hwnd(), 0, 0, 800, 600, TRUE);
    ShowWindow(frame.hwnd(), SW_RESTORE);
    MoveWindow(frame.hwnd(), 0, 0, 800, 600, TRUE);
    testutil::Pump(30);
    auto rectIn = [&](HWND h) {
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, frame.hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    RECT client;
    GetClientRect(frame.hwnd(), &client);
    const RECT bar = rectIn(frame.toolbar().hwnd());
    const RECT status = rectIn(frame.statusBar());
    const RECT view = rectIn(frame.view().hwnd());
    EXPECT_EQ(GetDlgCtrlID(frame.statusBar()), 59393);
    EXPECT_EQ(bar.top, 0);
    EXPECT_GE(bar.bottom - bar.top, 30);
    EXPECT_GE(status.bottom - status.top, 25);
    EXPECT_EQ(status.bottom, client.bottom);
    // The web panes at the top and at the right frame the view.
    const RECT topPane = rectIn(frame.topWebPane().hwnd());
    const RECT rightPane = rectIn(frame.rightWebPane().hwnd());
    EXPECT_EQ(topPane.top, bar.bottom);
    EXPECT_EQ(view.top, topPane.bottom);
    EXPECT_EQ(view.bottom, status.top);
    EXPECT_EQ(view.left, 0);
    EXPECT_EQ(view.right, rightPane.left);
    EXPECT_EQ(rightPane.right, client.right);
    EXPECT_EQ(SendMessageA(frame.statusBar(), SB_GETPARTS, 0, 0), 1);
}

// What the timer read from the message box the frame showed modally; it
// closes the box.
std::string g_boxText;

BOOL CALLBACK FindDialogBox(HWND h, LPARAM found) {
    char cls[16] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (!IsWindowVisible(h) || std::string(cls) != "#32770") return TRUE;
    *reinterpret_cast<HWND*>(found) = h;
    return FALSE;
}

void CALLBACK ReadAndCloseBox(HWND frame, UINT, UINT_PTR id, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialogBox, reinterpret_cast<LPARAM>(&box));
    if (!box) return;
    KillTimer(frame, id);
    char text[256] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the box's message
    g_boxText = text;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST_F(FrameTest, SupportWithoutAnAddressSaysSoAndOpensNothing) {
    CMainFrame& frame = MakeFrame();
    ASSERT_EQ(GetPrivateProfileIntA("URL", "Support", 0, fw::ProgramFilePath("Config.ini").c_str()), 0);
    for (UINT id : {ID_SUPPORT_PAGE, ID_SUPPORT_TOOLBAR}) {
        g_boxText.clear();
        SetTimer(frame.hwnd(), 78, 200, ReadAndCloseBox);
        SendMessageA(frame.hwnd(), WM_COMMAND, id, 0);
        KillTimer(frame.hwnd(), 78);
        EXPECT_EQ(g_boxText, "没有设置技术支持网页。") << id;
    }
}

// The toolbar wraps to the frame's width at every size, and what is below it
// starts right under its last row.
TEST_F(FrameTest, ToolbarWrapsToTheWidthOnEveryResize) {
    CMainFrame& frame = MakeFrame();
    ShowWindow(frame.hwnd(), SW_RESTORE);
    HWND bar = frame.toolbar().hwnd();
    struct Shape { int rows, height, viewTop; bool allInside; };
    auto shapeAt = [&](int width, int height) {
        MoveWindow(frame.hwnd(), 0, 0, width, height, TRUE);
        testutil::Pump(30);
        RECT client, barRect, view;
        GetClientRect(frame.hwnd(), &client);
        GetWindowRect(bar, &barRect);
        GetWindowRect(frame.view().hwnd(), &view);
        MapWindowPoints(nullptr, frame.hwnd(), reinterpret_cast<POINT*>(&view), 2);
        bool inside = true;
        for (int i = 0; i < frame.toolbar().ButtonCount(); ++i) {
            RECT item;
            SendMessageA(bar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item));
            if (!frame.toolbar().IsSeparatorAt(i) && item.right > client.right) inside = false;
        }
        return Shape{static_cast<int>(SendMessageA(bar, TB_GETROWS, 0, 0)),
                     static_cast<int>(barRect.bottom - barRect.top), static_cast<int>(view.top),
                     inside};
    };
    const Shape wide = shapeAt(1000, 700);
    const Shape narrow = shapeAt(640, 480);
    const Shape wideAgain = shapeAt(1000, 700);
    EXPECT_EQ(wide.rows, 1);
    EXPECT_TRUE(wide.allInside);
    EXPECT_GE(narrow.rows, 2);
    EXPECT_TRUE(narrow.allInside);
    EXPECT_GT(narrow.height, wide.height);
    // What lies between the toolbar and the view (the top web pane) stays the same.
    EXPECT_EQ(narrow.viewTop - narrow.height, wide.viewTop - wide.height);
    EXPECT_EQ(wideAgain.rows, 1);
    EXPECT_EQ(wideAgain.height, wide.height);
    EXPECT_EQ(wideAgain.viewTop, wide.viewTop);
}

// ---------------------------------------------------------------- tray

// Whether the notification area holds the frame's icon: modifying it
// succeeds only then.
bool TrayHasIcon(HWND owner) {
    NOTIFYICONDATAA d = {};
    d.cbSize = sizeof d;
    d.hWnd = owner;
    d.uID = 1;
    d.uFlags = NIF_TIP;
    return Shell_NotifyIconA(NIM_MODIFY, &d) != FALSE;
}

TEST_F(FrameTest, MinimisingInTrayModeHidesIntoTheTrayAndRestores) {
    WritePrivateProfileStringA("Display", "Min", "1", kUserIniFile);
    CMainFrame& frame = MakeFrame();
    HWND h = frame.hwnd();
    EXPECT_FALSE(TrayHasIcon(h));

    // Visible: the sound only, no blinking.
    frame.Notify("新关注信息");
    EXPECT_FALSE(KillTimer(h, kTrayBlinkTimer));

    SendMessageA(h, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(h));
    EXPECT_TRUE(frame.TrayIconShown());
    EXPECT_TRUE(TrayHasIcon(h));

    const HICON normal = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    const HICON red = LoadIconA(GetModuleHandleA(nullptr), "IDI_RED");
    ASSERT_NE(normal, red);
    EXPECT_EQ(frame.TrayIcon(), normal);

    // Hidden: the icon blinks (timer 7), red and normal in turn, with the
    // notice as its tip, until the window is restored.
    frame.Notify("搜索结果中有新信息");
    std::vector<HICON> shown;  // each change of the tray's icon
    for (DWORD start = GetTickCount(); GetTickCount() - start < 2000;) {
        testutil::Pump(20);
        if (shown.empty() || shown.back() != frame.TrayIcon()) shown.push_back(frame.TrayIcon());
    }
    ASSERT_GE(shown.size(), 3u) << "the icon does not blink";
    for (std::size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(shown[i], i % 2 == 0 ? normal : red) << i;
    EXPECT_EQ(frame.TrayTip(), "搜索结果中有新信息");
    EXPECT_TRUE(TrayHasIcon(h));
    SendMessageA(h, WM_TRAY_NOTIFY, 1, WM_MOUSEMOVE);  // ignored
    EXPECT_FALSE(IsWindowVisible(h));
    SendMessageA(h, WM_TRAY_NOTIFY, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_TRUE(IsZoomed(h));
    EXPECT_FALSE(frame.TrayIconShown());
    EXPECT_FALSE(TrayHasIcon(h));
    EXPECT_FALSE(KillTimer(h, kTrayBlinkTimer)) << "restoring stops the blinking";
    EXPECT_EQ(frame.TrayIcon(), nullptr);
}

TEST_F(FrameTest, MinimisingInTaskbarModeIsOrdinary) {
    WritePrivateProfileStringA("Display", "Min", "0", kUserIniFile);
    CMainFrame& frame = MakeFrame();
    SendMessageA(frame.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    testutil::Pump(30);
    EXPECT_TRUE(IsIconic(frame.hwnd()));
    EXPECT_FALSE(frame.TrayIconShown());
    EXPECT_FALSE(TrayHasIcon(frame.hwnd()));
}

// ---------------------------------------------------------------- chat histories

FILETIME SecondsAfter(const FILETIME& t, long long seconds) {
    ULARGE_INTEGER v;
    v.LowPart = t.dwLowDateTime;
    v.HighPart = t.dwHighDateTime;
    v.QuadPart += static_cast<unsigned long long>(seconds) * 10000000ULL;
    return {v.LowPart, v.HighPart};
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Wine keeps no creation time of its own on Linux file systems, so the files
// are made now and the purge is run at later "now"s.
TEST(ChatHistoryPurgeTest, RemovesTranscriptsOlderThanSixtyDays) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const std::string folder = std::string(tmp) + "tovan-purge\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string rtf = folder + "abc26-10-01.rtf", txt = folder + "notes.txt";
    for (const std::string& path : {rtf, txt}) {
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
        CloseHandle(f);
    }
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(rtf.c_str(), &found);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FindClose(h);
    const FILETIME created = found.ftCreationTime;

    PurgeOldChatHistories(folder, SecondsAfter(created, kChatHistoryKeepSeconds));
    EXPECT_TRUE(Exists(rtf)) << "exactly 60 days old stays";
    PurgeOldChatHistories(folder, SecondsAfter(created, kChatHistoryKeepSeconds + 1));
    EXPECT_FALSE(Exists(rtf)) << "one second older goes";
    PurgeOldChatHistories(folder, SecondsAfter(created, kChatHistoryKeepSeconds * 2));
    EXPECT_TRUE(Exists(txt)) << "only transcripts go";
    DeleteFileA(rtf.c_str());
    DeleteFileA(txt.c_str());
    RemoveDirectoryA(folder.c_str());
}

// ---------------------------------------------------------------- update check

// Answers every request on loopback with one fixed reply until stopped.
class OneReplyServer {
public:
    explicit OneReplyServer(std::string reply) : reply_(std::move(reply)) {
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a = {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(listener_, 4);
        int len = sizeof a;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~OneReplyServer() {
        stop_ = true;
        thread_.join();
        closesocket(listener_);
    }
    int port() const { return port_; }
    std::string lastRequest() const { return request_; }

private:
    void Serve() {
        while (!stop_) {
            fd_set set;
            FD_ZERO(&set);
            FD_SET(listener_, &set);
            timeval tv = {0, 50000};
            if (select(0, &set, nullptr, nullptr, &tv) <= 0) continue;
            SOCKET s = accept(listener_, nullptr, nullptr);
            if (s == INVALID_SOCKET) continue;
            std::string req;
            char buf[1024];
            while (req.find("\r\n\r\n") == std::string::npos) {
                const int n = recv(s, buf, sizeof buf, 0);
                if (n <= 0) break;
                req.append(buf, n);
            }
            request_ = req;
            send(s, reply_.data(), static_cast<int>(reply_.size()), 0);
            shutdown(s, SD_SEND);
            closesocket(s);
        }
    }

    std::string reply_;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::string request_;
};

std::string HttpReply(const char* status, const std::string& body) {
    return std::string("HTTP/1.0 ") + status + "\r\nContent-Type: text/plain\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

// A program folder of its own: Config.ini and update.ini.
std::string MakeProgramFolder(const std::string& merovan, const char* clientVersion) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string folder = std::string(tmp) + "tovan-update-check\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA((folder + "Config.ini").c_str());
    DeleteFileA((folder + "update.ini").c_str());
    WritePrivateProfileStringA("URL", "Merovan", merovan.c_str(), (folder + "Config.ini").c_str());
    if (clientVersion) {
        WritePrivateProfileStringA("TovanClient.exe", "Version", clientVersion,
                                   (folder + "update.ini").c_str());
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, (folder + "update.ini").c_str());
    return folder;
}

TEST(UpdateCheckWinTest, VersionListFromTheServiceAgainstUpdateIni) {
    WSADATA wsa;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa), 0);
    const struct {
        const char* what;
        const char* status;
        const char* body;
        const char* clientVersion;
        UpdateCheckResult result;
    } cases[] = {
        {"library missing from update.ini", "200 OK", "TovanClient.exe|3,\r\nVokar.ocx|2\r\n", "3",
         UpdateCheckResult::kUpdateDue},
        {"everything current", "200 OK", "TovanClient.exe|3,Vokar.ocx|1", "3",
         UpdateCheckResult::kCurrent},
        {"-1 is newer than anything", "200 OK", "TovanClient.exe|-1", "99",
         UpdateCheckResult::kUpdateDue},
        {"a status above 299 ends the check", "404 Not Found", "TovanClient.exe|9", "1",
         UpdateCheckResult::kFailed},
    };
    for (const auto& c : cases) {
        OneReplyServer server(HttpReply(c.status, c.body));
        // The address's own path is not used: the list is always /cab/update.asp.
        const std::string folder = MakeProgramFolder(
            "http://127.0.0.1:" + std::to_string(server.port()) + "/web", c.clientVersion);
        EXPECT_EQ(CheckForUpdate(folder), c.result) << c.what;
        EXPECT_EQ(server.lastRequest().rfind("GET /cab/update.asp ", 0), 0u)
            << c.what << ": " << server.lastRequest();
    }

    EXPECT_EQ(CheckForUpdate(MakeProgramFolder("", "1")), UpdateCheckResult::kFailed)
        << "no address";
    EXPECT_EQ(CheckForUpdate(MakeProgramFolder("http://127.0.0.1:1", "1")),
              UpdateCheckResult::kFailed)
        << "nothing listening";
    WSACleanup();
}

}  // namespace
