#include "client/core/main_frame.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "client/core/about_dlg.h"
#include "client/windows/chat_dlg.h"
#include "client/windows/display_apply.h"
#include "client/windows/my_msg_dlg.h"
#include "client/windows/phrase_lists_dlg.h"
#include "client/windows/resend_list_dlg.h"
#include "client/windows/text_background_dlg.h"
#include "client/windows/toolbar_items_dlg.h"
#include "client/windows/tools_dlg.h"
#include "client/core/logic/area_tree.h"
#include "fw/message_box.h"
#include "client/core/logic/publish_path.h"
#include "client/core/logic/record_cell.h"
#include "client/core/chat_history_purge.h"
#include "text/gbk.h"
#include "client/core/logic/page_addresses.h"
#include "client/windows/html_help.h"
#include "client/core/machine_identifier.h"
#include "fw/profile.h"
#include "fw/program_path.h"
#include "client/res/resource.h"
#include "client/core/logic/row_paging.h"
#include "client/core/logic/session_settings.h"
#include "client/core/logic/toolbar_plan.h"
#include "client/core/logic/tools_menu.h"
#include "client/controls/win_profile_reader.h"
#include "client/core/logic/window_title.h"

const char kMainFrameClass[] = "TovanClientFrame";

namespace {

#ifdef TOVAN_TEST_HOOKS
// Test builds only: WM_COPYDATA with this tag sends its bytes through the
// session as any sender would (queued when the send fails).
constexpr ULONG_PTR kTestSendTag = 0x54564531;  // "TVE1"

// Test builds only: WM_COPYDATA with this tag reads the current list for the
// test driver. The data is two int32, what and row; the result is the answer,
// -1 for a row without data, -2 for a malformed query.
constexpr ULONG_PTR kTestQueryTag = 0x54565131;  // "TVQ1"
enum TestQuery : std::int32_t {
    kQuerySize, kQueryLoaded, kQueryGridRows, kQueryFirstVisible, kQueryRowId, kQueryRowStatus,
    kQueryPaintedTopId  // ID the latest paint drew in the first visible row, -1 none
};

LRESULT AnswerTestQuery(const tovan::RecordStore& list, const CViewGrid& grid,
                        const COPYDATASTRUCT& data) {
    std::int32_t q[2] = {};
    if (data.cbData != sizeof q || !data.lpData) return -2;
    std::memcpy(q, data.lpData, sizeof q);
    switch (q[0]) {
    case kQuerySize: return list.Size();
    case kQueryLoaded: return list.LoadedCount();
    case kQueryGridRows: return grid.rowCount;
    case kQueryFirstVisible: return grid.firstVisibleRow;
    case kQueryRowId:
    case kQueryRowStatus: {
        if (!list.IsLoaded(q[1])) return -1;
        const tovan::MsgInfo& rec = list.At(q[1]);
        return q[0] == kQueryRowId ? static_cast<LRESULT>(std::strtoll(rec.ID, nullptr, 10))
                                   : static_cast<LRESULT>(rec.Status);
    }
    case kQueryPaintedTopId: {
        const tovan::CCell* cell = grid.PaintedCell(grid.firstVisibleRow, tovan::kIdColumn);
        if (!cell || cell->runs.empty() || cell->runs[0].text.empty()) return -1;
        return static_cast<LRESULT>(std::strtoll(cell->runs[0].text.c_str(), nullptr, 10));
    }
    default: return -2;
    }
}

// Test builds only: every connection-log line is appended to the file named
// by TOVAN_TEST_SESSION_LOG, so that tests can time the session's attempts.
void MirrorLogLine(const std::string& line) {
    char path[MAX_PATH] = {};
    if (GetEnvironmentVariableA("TOVAN_TEST_SESSION_LOG", path, MAX_PATH) == 0) return;
    if (std::FILE* f = std::fopen(path, "ab")) {
        std::fprintf(f, "%s\r\n", line.c_str());
        std::fclose(f);
    }
}
#endif

constexpr UINT kToolbarId = 59392;
// Toolbar buttons are pictures of this size with the caption drawn on them.
constexpr int kButtonWidth = 51;
constexpr int kButtonHeight = 30;
constexpr int kStatusBarMinHeight = 25;
// The docked panes' control ids and sizes.
constexpr UINT kSearchPaneId = 1000;
constexpr UINT kAreaTreePaneId = 1001;
constexpr UINT kWebPaneId = 1002;
constexpr int kTopWebPaneHeight = 70;
constexpr int kAreaTreeWidth = 130;
constexpr int kSearchPaneHeight = 230;
constexpr COLORREF kAreaTreeBackColor = 0xFEF4E7;
constexpr UINT kTrayIconId = 1;
constexpr UINT kTrayBlinkPeriodMs = 300;
// The tray tip shows at most this many bytes of its text.
constexpr std::size_t kTrayTipBytes = 60;
// Positions of "功能设置" and "实用工具" in the menu bar.
constexpr int kSettingsMenu = 1;
constexpr int kToolsMenu = 4;

bool PlatformIsNtFamily() {
    OSVERSIONINFOA v = {};
    v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL ok = GetVersionExA(&v);
#pragma GCC diagnostic pop
    return ok && v.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace

CMainFrame::CMainFrame()
    : session_(tovan::SessionPorts{sessionSocket_, timers_, clock_, loginDialog_, logLines_,
                                   noticeWindow_},
               client_.model().account, MakeSessionHooks()) {
    socket_.Attach(&session_, &messages_);
    socket_.SetReceiveBatch(this);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    PurgeOldChatHistories(fw::ProgramFolder(), now);
}

tovan::SessionHooks CMainFrame::MakeSessionHooks() {
    tovan::SessionHooks h;
    h.clearRecordLists = [this] { client_.ClearLists(); };
    h.selectOwnAreaInTree = [this] { SelectOwnAreaInTree(); };
    h.setLimitedRights = [this](bool limited) {
        view_.grid().limitedRights = limited ? 1 : 0;
        searchPane_.grid.limitedRights = limited ? 1 : 0;
        // The area tree is for accounts with full rights only.
        if (areaTreePane_.hwnd()) ShowPane(areaTreePane_, !limited);
    };
    h.updateTitleAndPages = [this] { UpdateTitleAndPages(); };
    h.updateCurrentInfoButton = [this] { UpdateCurrentInfoButton(); };
    h.refillShownList = [this] { client_.RefillAfterLogon(); };
    h.pagingTick = [this] { client_.PagingTick(); };
    return h;
}

bool CMainFrame::CreateFrame() {
    HMENU menu = LoadMenuA(fw::Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    HICON icon = LoadIconA(fw::Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    return Create(kMainFrameClass, "TovanClient", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu,
                  CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr,
                  icon ? icon : LoadIcon(nullptr, IDI_APPLICATION));
}

bool CMainFrame::CreateBars() {
    if (!toolbar_.CreateBar(hwnd(), kToolbarId, kButtonWidth, kButtonHeight)) return false;
    if (!statusBar_.CreateBar(hwnd(), IDW_STATUS_BAR, kStatusBarMinHeight)) return false;
    statusBar_.Navigate(tovan::PageAddress(siteBase_, tovan::kBannerPage));
    return true;
}

bool CMainFrame::CreatePanes() {
    RECT client;
    GetClientRect(hwnd(), &client);
    const int h = client.bottom;
    topWebPane_.margins = {2, 0, 2, 0};
    topWebPane_.horzSize.cy = topWebPane_.vertSize.cy = kTopWebPaneHeight;
    if (!topWebPane_.CreatePane(hwnd(), kWebPaneId, CIEBar::kTopPane, CSizingControlBar::Dock::Top)) {
        return false;
    }
    areaTreePane_.horzSize = areaTreePane_.vertSize = {kAreaTreeWidth, 2 * (h / 3)};
    areaTreePane_.horzMin.cy = areaTreePane_.vertMin.cy = h / 2;
    if (!areaTreePane_.CreatePane(hwnd(), kAreaTreePaneId)) return false;
    areaTreePane_.SetBackColor(kAreaTreeBackColor);
    areaTreePane_.onClose = [this] { ShowPane(areaTreePane_, false); };
    areaTreePane_.onSelection = [this](const tovan::AreaTreeSelection& item) {
        treeSelectionRan_ = true;
        client_.SelectArea(item);
    };

    rightWebPane_.margins = {0, 0, 4, 0};
    // As wide as the tree above it even before the tree first shows: alone in
    // its column at the bars' default width the page would be unreadable.
    rightWebPane_.vertSize.cx = kAreaTreeWidth;
    if (!rightWebPane_.CreatePane(hwnd(), kWebPaneId, CIEBar::kRightPane,
                                  CSizingControlBar::Dock::Right)) {
        return false;
    }

    searchPane_.horzSize = searchPane_.vertSize = {20, kSearchPaneHeight};
    if (!searchPane_.CreatePane(hwnd(), kSearchPaneId, model())) return false;
    searchPane_.onClose = [this] { ShowPane(searchPane_, false); };
    searchPane_.onResized = [this] { RecalcLayout(); };
    searchPane_.onTalk = [this](const std::string& author) { OpenChat(author, "", 0, "", 0, 1); };
    searchPane_.BindRecords(model().lists.searchList);
    model().lists.searchGrid = {&searchPane_.grid, &searchPane_.grid.pending};
    return true;
}

void CMainFrame::LoadAreaTree(const std::string& iniPath) {
    WinProfileReader profiles;
    areaTreePane_.Fill(tovan::BuildAreaTree(tovan::AreaIni(profiles, iniPath)));
}

void CMainFrame::ShowPane(CSizingControlBar& pane, bool show) {
    if (!pane.hwnd() || pane.Shown() == show) return;
    ShowWindow(pane.hwnd(), show ? SW_SHOWNA : SW_HIDE);
    RecalcLayout();
}

void CMainFrame::ToggleAreaTree() {
    if (account().isFullMember == 0) {
        ShowLimitedRightsBox();
        return;
    }
    const bool show = !areaTreePane_.Shown();
    ShowPane(areaTreePane_, show);
    // The right web pane goes with the tree, unless the user closed it.
    if (!rightPaneClosed_) ShowPane(rightWebPane_, show);
}

void CMainFrame::SelectOwnAreaInTree() {
    const std::optional<tovan::AreaTreePlace> place =
        tovan::SelectOwnArea(areaTreePane_.root(), account().currentArea,
                             [this] { session_.DropQueuedListRequests(); });
    if (place) areaTreePane_.Select(*place);
}

void CMainFrame::SetSearchPaneCaption(const std::string& c) {
    searchPaneCaption_ = c;
    if (updatesHeld_) {
        heldCaption_ = c;
        return;
    }
    if (searchPane_.hwnd()) SetWindowTextA(searchPane_.hwnd(), c.c_str());
}

int CMainFrame::LayoutEdge(std::initializer_list<CSizingControlBar*> panes,
                           CSizingControlBar::Dock dock, const RECT& room) {
    using Dock = CSizingControlBar::Dock;
    const bool column = dock == Dock::Right;
    std::vector<tovan::DockPane> sizes;
    for (const CSizingControlBar* p : panes) {
        tovan::DockPane d;
        d.visible = p->Shown();
        const SIZE& size = column ? p->vertSize : p->horzSize;
        const SIZE& min = column ? p->vertMin : p->horzMin;
        d.length = column ? size.cy : size.cx;
        d.thickness = column ? size.cx : size.cy;
        d.minLength = column ? min.cy : min.cx;
        sizes.push_back(d);
    }
    const int rowLength = column ? room.bottom - room.top : room.right - room.left;
    // A pane never reaches past the room left in the frame's middle.
    const int depthRoom = column ? room.right - room.left : room.bottom - room.top;
    const tovan::DockEdgeLayout layout = tovan::LayoutDockEdge(sizes, rowLength);
    std::size_t i = 0;
    for (CSizingControlBar* p : panes) {
        const tovan::DockSlot& slot = layout.slots[i];
        SIZE& size = column ? p->vertSize : p->horzSize;
        (column ? size.cy : size.cx) = sizes[i].length;
        (column ? size.cx : size.cy) = sizes[i].thickness;
        ++i;
        if (!slot.placed) continue;
        p->SetSizableEdges(slot.edges);
        const int thickness = std::max(0, std::min(slot.thickness, depthRoom - slot.inward));
        RECT r = {};
        switch (dock) {
        case Dock::Top:
            r = {room.left + slot.along, room.top + slot.inward, 0, 0};
            r.right = r.left + slot.length;
            r.bottom = r.top + thickness;
            break;
        case Dock::Bottom:
            r = {room.left + slot.along, 0, 0, room.bottom - slot.inward};
            r.right = r.left + slot.length;
            r.top = r.bottom - thickness;
            break;
        case Dock::Right:
            r = {0, room.top + slot.along, room.right - slot.inward, 0};
            r.bottom = r.top + slot.length;
            r.left = r.right - thickness;
            break;
        }
        MoveWindow(p->hwnd(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
    return std::min(layout.depth, depthRoom);
}

// Toolbar at the top, status bar at the bottom; the top and bottom panes
// across the whole width, the right panes in columns between them, the view
// in the rest.
void CMainFrame::RecalcLayout() {
    RECT client;
    GetClientRect(hwnd(), &client);
    RECT room = client;
    if (toolbar_.hwnd()) room.top = toolbar_.AutoSizedHeight();
    if (statusBar_.hwnd()) {
        SendMessageA(statusBar_, WM_SIZE, 0, 0);
        RECT r;
        GetWindowRect(statusBar_, &r);
        room.bottom -= r.bottom - r.top;
    }
    room.bottom = std::max(room.bottom, room.top);
    using Dock = CSizingControlBar::Dock;
    if (topWebPane_.hwnd()) room.top += LayoutEdge({&topWebPane_}, Dock::Top, room);
    room.top = std::min(room.top, room.bottom);
    if (searchPane_.hwnd()) {
        // A drag of its edge may take the view's whole height.
        searchPane_.maxThickness = room.bottom - room.top;
        room.bottom -= LayoutEdge({&searchPane_}, Dock::Bottom, room);
    }
    if (areaTreePane_.hwnd() && rightWebPane_.hwnd()) {
        room.right -= LayoutEdge({&areaTreePane_, &rightWebPane_}, Dock::Right, room);
    }
    room.right = std::max(room.right, room.left);
    if (view_.hwnd()) {
        MoveWindow(view_.hwnd(), room.left, room.top, room.right - room.left, room.bottom - room.top, TRUE);
    }
}

void CMainFrame::OnIdle(HWND frame) {
    auto* self = static_cast<CMainFrame*>(fw::Window::FromHandle(frame));
    if (!self) return;
    for (CSizingControlBar* p : {static_cast<CSizingControlBar*>(&self->areaTreePane_),
                                 static_cast<CSizingControlBar*>(&self->searchPane_)}) {
        if (p->hwnd()) p->UpdateCaptionState();
    }
}

int CMainFrame::OnCreate() {
    // Read while the windows are made; needed at the first logon.
    std::function<std::string()> machineId = MachineIdentifierLookup();
    // The service's site, the base of the banner and the web panes' pages.
    siteBase_ = tovan::SiteBase(
        fw::ReadProfileString(fw::ProgramFilePath("Config.ini"), "URL", "Merovan", "", 500));
    // Before the panes: the search grid sizes its class and talk columns for
    // the pictures it then draws.
    model().usePictures = PlatformIsNtFamily();
    if (!CreateBars()) return -1;
    BuildToolBar();
    // Both panes start hidden: the search pane until a search, the area tree
    // until a logon reply with full rights.
    if (!CreatePanes()) return -1;
    LoadAreaTree(fw::ProgramFilePath(tovan::kAreaIniName));
    // The web panes show the service's pages from the start.
    ShowPane(topWebPane_, true);
    ShowPane(rightWebPane_, true);
    rightWebPane_.Navigate(tovan::PageAddress(siteBase_, tovan::kRightPage));
    topWebPane_.Navigate(tovan::PageAddress(siteBase_, tovan::kTopPage));
    fw::AddIdleHandler(hwnd(), &CMainFrame::OnIdle);

    WinProfileReader profiles;
    const tovan::SessionSettings settings =
        tovan::ReadSessionSettings(profiles, fw::ProgramFilePath("Config.ini"));
    session_.Configure(settings, std::move(machineId));
    // The login dialog, built without a parent, is owned by the main window.
    fw::SetMainWindow(hwnd());
    publishDialogs_.SetFrame(hwnd());
    // Both exist before the first connection writes to the log; they stay
    // hidden until a notice or a failed connect shows them.
    noticeWindow_.CreateModeless();
    MarkPublishMode(fw::ReadProfileInt(tovan::kUserIni, "Publish", "Kind", 0) != 0 ? 1 : 0);
    MarkMinimiseMode(fw::ReadProfileInt(tovan::kUserIni, "Display", "Min", 0) != 0 ? 1 : 0);
    BuildToolsMenu();
    logWindow_.CreateModeless(hwnd());

    SetTimer(hwnd(), tovan::kResendTimer, tovan::kResendPeriodMs, nullptr);
    SetTimer(hwnd(), tovan::kChatSweepTimer, tovan::kChatSweepPeriodMs, nullptr);

    RECT client;
    GetClientRect(hwnd(), &client);
    view_.onTalk = [this](const std::string& author) { OpenChat(author, "", 0, "", 0, 1); };
    if (!view_.Create(hwnd(), model(), client)) return -1;
    AttachView(view_);
    StartSession();
    RecalcLayout();
    return 0;
}

// ---------------------------------------------------------------- toolbar

fw::gdi::Bitmap CMainFrame::CaptionBitmap(const std::string& text, COLORREF colour) {
    const fw::gdi::WindowDc screen(toolbar_.hwnd());
    fw::gdi::Bitmap bmp(static_cast<HBITMAP>(
        LoadImageA(fw::Instance(), MAKEINTRESOURCEA(IDB_TOOLBAR_CAPTION), IMAGE_BITMAP, 0, 0, 0)));
    BITMAP info = {};
    if (bmp) {
        GetObjectA(bmp, sizeof info, &info);
    } else {
        info.bmWidth = kButtonWidth;
        info.bmHeight = kButtonHeight;
        bmp.Reset(CreateCompatibleBitmap(screen, info.bmWidth, info.bmHeight));
    }
    const fw::gdi::MemoryDc dc(screen);
    const fw::gdi::Selection useBitmap(dc, bmp);
    RECT r = {0, 0, info.bmWidth, info.bmHeight};
    if (!FindResourceA(fw::Instance(), MAKEINTRESOURCEA(IDB_TOOLBAR_CAPTION), RT_BITMAP)) {
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    }
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
    lf.lfWeight = 500;
    // The default set, not ANSI: with an ANSI-set font GBK captions turn to boxes.
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, "宋体", LF_FACESIZE);
    const fw::gdi::Font font(CreateFontIndirectA(&lf));
    const fw::gdi::Selection useFont(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return bmp;  // deselected and its dc gone by the time the caller holds it
}

void CMainFrame::BuildToolBar() {
    while (toolbar_.ButtonCount() > 0) toolbar_.DeleteButton(0);
    toolbar_.RemoveAllImages();  // nothing of the old bar is shown any more
    WinProfileReader profiles;
    const tovan::AccountState& a = model().account;
    const std::vector<tovan::ToolbarSlot> bar = tovan::PlanToolbar(
        profiles, tovan::CurrentInfoCaption(a.homeProvince, a.homeCity, a.areaLevel));
    int position = 0;
    for (const tovan::ToolbarSlot& slot : bar) {
        if (slot.separator) {
            toolbar_.InsertSeparator(position++);
            continue;
        }
        // The image list keeps its own copy of the picture.
        const int image = toolbar_.AddImage(CaptionBitmap(slot.caption, slot.red ? RGB(255, 0, 0) : RGB(0, 0, 0)));
        toolbar_.InsertButton(position++, image, slot.commandId);
    }
    RecalcLayout();
}

void CMainFrame::UpdateCurrentInfoButton() {
    const int index = toolbar_.CommandToIndex(tovan::kCurrentInfoCommand);
    if (index < 0) return;
    const tovan::AccountState& a = model().account;
    const fw::gdi::Bitmap bmp =
        CaptionBitmap(tovan::CurrentInfoCaption(a.homeProvince, a.homeCity, a.areaLevel), RGB(0, 0, 0));
    // Every logon relabels the button: its picture is replaced in place, so
    // the image list does not grow with each reconnect.
    int image = toolbar_.ImageAt(index);
    if (!toolbar_.ReplaceImage(image, bmp)) image = toolbar_.AddImage(bmp);
    toolbar_.DeleteButton(index);
    toolbar_.InsertButton(index, image, tovan::kCurrentInfoCommand);
}

// ---------------------------------------------------------------- tray and notifications

bool CMainFrame::SetTrayIcon(DWORD action, HICON icon, const std::string& tip) {
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = hwnd();
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAY_NOTIFY;
    data.hIcon = icon;
    const std::string shown(tovan::GbkCut(tip, kTrayTipBytes));
    lstrcpynA(data.szTip, shown.c_str(), sizeof data.szTip);
    return Shell_NotifyIconA(action, &data) != FALSE;
}

void CMainFrame::Notify(const std::string& text) {
    if (updatesHeld_) {
        heldNotice_ = text;  // one sound for a burst; the latest text is the tip
        return;
    }
    PlaySoundA(MAKEINTRESOURCEA(IDR_WAVE_MESSAGE), fw::Instance(),
               SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
    if (!IsWindowVisible(hwnd())) {
        blinkTip_ = text;
        SetTimer(hwnd(), kTrayBlinkTimer, kTrayBlinkPeriodMs, nullptr);
    }
}

void CMainFrame::BlinkTray() {
    HICON icon = blinkPhase_ ? LoadIconA(fw::Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME))
                             : LoadIconA(fw::Instance(), "IDI_RED");
    blinkPhase_ = !blinkPhase_;
    SetTrayIcon(NIM_MODIFY, icon, blinkTip_);
}

void CMainFrame::RestoreFromTray() {
    KillTimer(hwnd(), kTrayBlinkTimer);
    ShowWindow(hwnd(), SW_SHOWMAXIMIZED);
    SetForegroundWindow(hwnd());
    SetTrayIcon(NIM_DELETE, nullptr, "");
    trayIconShown_ = false;
}

bool CMainFrame::OnSysCommand(WPARAM id) {
    if (id != SC_MINIMIZE || fw::ReadProfileInt(tovan::kUserIni, "Display", "Min", 0) == 0) {
        return false;
    }
    ShowWindow(hwnd(), SW_HIDE);
    trayIconShown_ =
        SetTrayIcon(NIM_ADD, LoadIconA(fw::Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME)), model().titlePrefix);
    return true;
}

void CMainFrame::OnTrayNotify(LPARAM event) {
    if (event == WM_LBUTTONDBLCLK) {
        RestoreFromTray();
    } else if (event == WM_RBUTTONDOWN) {
        HMENU menu = LoadMenuA(fw::Instance(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
        if (!menu) return;
        HMENU popup = GetSubMenu(menu, 0);
        SetMenuDefaultItem(popup, ID_TRAY_SHOW, FALSE);
        SetForegroundWindow(hwnd());
        POINT at;
        GetCursorPos(&at);
        TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(), nullptr);
        PostMessageA(hwnd(), WM_NULL, 0, 0);  // lets the menu close when the user clicks away
        DestroyMenu(menu);
    }
}

// ---------------------------------------------------------------- menus and small commands

void CMainFrame::MarkPublishMode(int kind) {
    HMENU settings = GetSubMenu(GetMenu(hwnd()), kSettingsMenu);
    CheckMenuRadioItem(settings, ID_PUBLISH_EXPERT, ID_PUBLISH_FREE,
                       kind ? ID_PUBLISH_EXPERT : ID_PUBLISH_FREE, MF_BYCOMMAND);
}

void CMainFrame::MarkMinimiseMode(int mode) {
    HMENU settings = GetSubMenu(GetMenu(hwnd()), kSettingsMenu);
    CheckMenuRadioItem(settings, ID_MINIMISE_TASKBAR, ID_MINIMISE_TRAY,
                       mode ? ID_MINIMISE_TRAY : ID_MINIMISE_TASKBAR, MF_BYCOMMAND);
}

void CMainFrame::SetPublishMode(int kind) {
    MarkPublishMode(kind);
    fw::WriteProfileString(tovan::kUserIni, "Publish", "Kind", kind ? "1" : "0");
}

void CMainFrame::SetMinimiseMode(int mode) {
    MarkMinimiseMode(mode);
    fw::WriteProfileString(tovan::kUserIni, "Display", "Min", mode ? "1" : "0");
}

void CMainFrame::BuildToolsMenu() {
    HMENU tools = GetSubMenu(GetMenu(hwnd()), kToolsMenu);
    if (!tools) return;
    // Every item of the last build goes, also those past the last tool id.
    const int lastId = std::max(tovan::kLastToolCommand, tovan::kFirstToolCommand + toolItemCount_ - 1);
    for (int id = tovan::kFirstToolCommand; id <= lastId; ++id) {
        while (DeleteMenu(tools, static_cast<UINT>(id), MF_BYCOMMAND)) {
        }
    }
    const std::string toolString = fw::ReadProfileString(fw::ProgramFilePath("Config.ini"), "Tools",
                                                         "ToolString", "", 2000);
    const std::vector<std::string> names = tovan::SplitToolNames(toolString);
    int id = tovan::kFirstToolCommand;
    for (const std::string& name : names) {
        InsertMenuA(tools, 0, MF_BYPOSITION | MF_STRING, static_cast<UINT_PTR>(id++), name.c_str());
    }
    toolItemCount_ = static_cast<int>(names.size());
    DrawMenuBar(hwnd());
}

void CMainFrame::RunTool(int id) {
    char name[500] = {};
    GetMenuStringA(GetMenu(hwnd()), static_cast<UINT>(id), name, sizeof name, MF_BYCOMMAND);
    const std::string path =
        fw::ReadProfileString(fw::ProgramFilePath("Config.ini"), "Tools", name, "", 500);
    ShellExecuteA(hwnd(), nullptr, path.c_str(), "", "", SW_SHOW);
}

void CMainFrame::OpenSupportPage() {
    const std::string url =
        fw::ReadProfileString(fw::ProgramFilePath("Config.ini"), "URL", "Support", "", 1000);
    // Without an address the browser would open its own home page instead.
    if (url.empty()) {
        fw::AppMessageBox(hwnd(), "没有设置技术支持网页。", nullptr, MB_OK | MB_ICONINFORMATION);
        return;
    }
    ShellExecuteA(hwnd(), "open", "iexplore.exe", url.c_str(), nullptr, SW_SHOWNORMAL);
}

void CMainFrame::OnInitMenuPopup(HMENU popup) {
    if (GetMenuState(popup, ID_TOGGLE_MASK, MF_BYCOMMAND) == static_cast<UINT>(-1)) return;
    ModifyMenuA(popup, ID_TOGGLE_MASK, MF_BYCOMMAND | MF_STRING, ID_TOGGLE_MASK,
                view_.grid().maskDigits ? "解密(&A)" : "加密(&A)");
}

bool CMainFrame::OnCommand(int id) {
    switch (id) {
    case ID_USER_LOGIN: session_.LoginCommand(); return true;
    case ID_APP_ABOUT: ShowAboutBox(hwnd()); return true;
    case ID_APP_EXIT: PostMessageA(hwnd(), WM_CLOSE, 0, 0); return true;
    case ID_TOGGLE_MASK: ToggleMask(); return true;
    case ID_PUBLISH_EXPERT: SetPublishMode(1); return true;
    case ID_PUBLISH_FREE: SetPublishMode(0); return true;
    case ID_MINIMISE_TASKBAR: SetMinimiseMode(0); return true;
    case ID_MINIMISE_TRAY: SetMinimiseMode(1); return true;
    case ID_SUPPORT_PAGE:
    case ID_SUPPORT_TOOLBAR: OpenSupportPage(); return true;
    case ID_TRAY_SHOW: RestoreFromTray(); return true;
    case ID_PUBLISH_VEHICLE: Publish(tovan::kVehicleClass); return true;
    case ID_PUBLISH_CARGO: Publish(tovan::kCargoClass); return true;
    case ID_ADVANCED_SEARCH: {
        client_.Search(SearchDialogRunOf(searchDialog_));
        return true;
    }
    case ID_SEARCH: {
        client_.Search(SearchDialogRunOf(quickSearchDialog_));
        return true;
    }
    case ID_WATCH: {
        WinProfileReader profiles;
        const tovan::AreaIni areas(profiles, fw::ProgramFilePath("area.ini"));
        client_.Watch(profiles, areas);
        return true;
    }
    case ID_WATCH_SETTINGS: watchSettingsDialog_.DoModal(); return true;
    case ID_CURRENT_INFO: {
        client_.BackToCurrentInfo();
        return true;
    }
    case ID_AREA_LIST:
    case ID_AREA_LIST_TOOLBAR: ToggleAreaTree(); return true;
    case ID_MY_OFFERS: ShowMyOffers(); return true;
    case ID_RESEND_MANAGER: {
        CCongfaDlg dlg(resendSchedule_, account(), hwnd());
        dlg.DoModal();
        return true;
    }
    case ID_PHRASE_LISTS: {
        CDysz dlg(hwnd());
        dlg.DoModal();
        return true;
    }
    case ID_TOOLBAR_OPTIONS: {
        CGjlsz dlg(hwnd());
        if (dlg.DoModal() == IDOK) BuildToolBar();
        return true;
    }
    case ID_TOOLS_MANAGE: {
        CTools dlg(hwnd());
        if (dlg.DoModal() == IDOK) BuildToolsMenu();
        return true;
    }
    case ID_TEXT_AND_BACKGROUND: {
        CWenzi dlg(hwnd());
        if (dlg.DoModal() == IDOK) {
            ApplyDisplayChoice(view_.grid(), dlg.choice, model().usePictures);
            if (CViewGrid* search = SearchGrid()) ApplyDisplayChoice(*search, dlg.choice, model().usePictures);
        }
        return true;
    }
    case ID_HELP:
        help::ShowContents(hwnd());
        return true;
    case CIEBar::kRightPane:
        ShowPane(rightWebPane_, false);
        rightPaneClosed_ = true;
        return true;
    case CIEBar::kTopPane: ShowPane(topWebPane_, false); return true;
    default:
        break;
    }
    if (id >= tovan::kFirstToolCommand && id <= tovan::kLastToolCommand) {
        RunTool(id);
        return true;
    }
    return false;
}

void CMainFrame::ToggleMask() {
    view_.ToggleMask();
    if (CViewGrid* search = SearchGrid()) {
        search->maskDigits = !search->maskDigits;
        // Binding again repaints the search grid from its first row.
        searchPane_.BindRecords(model().lists.searchList);
    }
}

void CMainFrame::AttachView(CTovanClientView& view) {
    CViewGrid& grid = view.grid();
    grid.model = &model();
    grid.records = &model().lists.currentList;
    model().lists.currentGrid = {&grid, &grid.pending};
}

void CMainFrame::UpdateTitleAndPages() {
    WinProfileReader profiles;
    const tovan::AccountState& a = model().account;
    const std::string service =
        tovan::ServiceTitle(profiles, fw::ProgramFilePath("Config.ini"), a.homeCity);
    model().titlePrefix = tovan::ComposeTitlePrefix(service, a);
    SetFrameTitle(tovan::ProcessingTitle(model().titlePrefix, a.currentArea));
    statusBar_.Navigate(tovan::CityPageAddress(siteBase_, tovan::kBannerPage, a.homeCity));
    rightWebPane_.Navigate(tovan::CityPageAddress(siteBase_, tovan::kRightPage, a.homeCity));
}

// Under Wine a scroll-bar redraw costs milliseconds and a title change about
// one: paid per pushed offer, a burst of a few thousand froze the window for
// many seconds.
constexpr DWORD kMaxHeldMs = 100;

void CMainFrame::BeginReceived() {
    if (updatesHeld_) return;
    updatesHeld_ = true;
    heldSince_ = GetTickCount();
    view_.grid().HoldWindowUpdates();
    searchPane_.grid.HoldWindowUpdates();
    // Also when a handler runs a modal loop (the login dialog after a bad
    // logon reply) or the rest of a burst never comes.
    SetTimer(hwnd(), kHeldUpdatesTimer, kMaxHeldMs, nullptr);
}

void CMainFrame::EndReceived(bool moreWaiting) {
    if (!updatesHeld_) return;
    if (moreWaiting && GetTickCount() - heldSince_ < kMaxHeldMs) return;
    ReleaseHeldUpdates();
}

void CMainFrame::ReleaseHeldUpdates() {
    if (!updatesHeld_) return;
    updatesHeld_ = false;
    KillTimer(hwnd(), kHeldUpdatesTimer);
    view_.grid().ReleaseWindowUpdates();
    searchPane_.grid.ReleaseWindowUpdates();
    if (heldTitle_) SetWindowTextA(hwnd(), heldTitle_->c_str());
    if (heldCaption_ && searchPane_.hwnd()) SetWindowTextA(searchPane_.hwnd(), heldCaption_->c_str());
    const std::optional<std::string> notice = std::move(heldNotice_);
    heldTitle_.reset();
    heldCaption_.reset();
    heldNotice_.reset();
    if (notice) Notify(*notice);
}

std::string CMainFrame::FrameTitle() const {
    if (heldTitle_) return *heldTitle_;
    const int n = GetWindowTextLengthA(hwnd());
    std::vector<char> buf(static_cast<std::size_t>(n) + 1);
    GetWindowTextA(hwnd(), buf.data(), n + 1);
    return buf.data();
}

void CMainFrame::SetFrameTitle(const std::string& title) {
    if (updatesHeld_) {
        heldTitle_ = title;
        return;
    }
    SetWindowTextA(hwnd(), title.c_str());
}

void CMainFrame::LogWindowLines::AddLine(const std::string& line) {
#ifdef TOVAN_TEST_HOOKS
    MirrorLogLine(line);
#endif
    window.AddLine(line);
}

bool CMainFrame::PreTranslateMessage(MSG& m) {
    // F1 anywhere in the frame's windows is the help command.
    if (m.message == WM_KEYDOWN && m.wParam == VK_F1) {
        OnCommand(ID_HELP);
        return true;
    }
    return false;
}

LRESULT CMainFrame::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        return OnCreate();
    case WM_SIZE:
        RecalcLayout();
        return 0;
    case WM_TIMER:
        if (wp == kTrayBlinkTimer) {
            BlinkTray();
            return 0;
        }
        if (wp == tovan::kChatSweepTimer) {
            chatWindows_.SweepClosedChats();
            return 0;
        }
        if (wp == kHeldUpdatesTimer) {
            ReleaseHeldUpdates();
            return 0;
        }
        if (session_.OnTimer(static_cast<unsigned>(wp))) return 0;
        if (wp == tovan::kResendTimer) {
            resendSchedule_.Tick();
            return 0;
        }
        break;
    case tovan::kQueueResendMessage: {
        // From the my-offers dialog: wParam the offer body, lParam its class.
        const char* body = reinterpret_cast<const char*>(wp);
        const char* cls = reinterpret_cast<const char*>(lp);
        resendSchedule_.QueueResend(body ? body : "", cls ? cls : "");
        return 0;
    }
    case WM_COMMAND:
        if (OnCommand(LOWORD(wp))) return 0;
        break;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wp));
        return 0;
    case WM_SYSCOMMAND:
        if (OnSysCommand(wp)) return 0;
        break;
    case WM_TRAY_NOTIFY:
        OnTrayNotify(lp);
        return 0;
#ifdef TOVAN_TEST_HOOKS
    case WM_COPYDATA: {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        if (data && data->dwData == kTestSendTag) {
            session_.Send(std::string(static_cast<const char*>(data->lpData), data->cbData));
            return TRUE;
        }
        if (data && data->dwData == kTestQueryTag) {
            return AnswerTestQuery(model().lists.currentList, view_.grid(), *data);
        }
        break;
    }
#endif
    case WM_SETTINGCHANGE:
        // Child windows hear of a changed setting only from their frame.
        for (HWND pane : {topWebPane_.hwnd(), areaTreePane_.hwnd(), rightWebPane_.hwnd(), searchPane_.hwnd()}) {
            if (pane) SendMessageA(pane, WM_SETTINGCHANGE, wp, lp);
        }
        break;
    case WM_DESTROY:
        fw::RemoveIdleHandlers(hwnd());
        help::CloseAll();
        SetTrayIcon(NIM_DELETE, nullptr, "");
        trayIconShown_ = false;
        socket_.Close();
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefaultProc(msg, wp, lp);
}

void CMainFrame::ShowLimitedRightsBox() {
    // The service's site, when Config.ini names one, tells how to get full rights.
    std::string text = "您的帐号不是正式会员，不能使用此功能。";
    const std::string site =
        fw::ReadProfileString(fw::ProgramFilePath("Config.ini"), "URL", "Merovan", "", 500);
    if (!site.empty()) text += "详情请访问 " + site;
    fw::AppMessageBox(hwnd(), text, nullptr, MB_OK | MB_ICONINFORMATION);
}

void CMainFrame::Publish(const char* offerClass) {
    WinProfileReader profiles;
    tovan::PublishPorts ports{profiles, publishDialogs_, clock_, session_};
    if (tovan::PublishOffer(offerClass, account(), ports, resendSchedule_) ==
        tovan::PublishOutcome::NotFullMember) {
        ShowLimitedRightsBox();
    }
}

void CMainFrame::ShowCriteriaTooLongBox() {
    fw::AppMessageBox(hwnd(), "查询条件太长，请减少所选的地区、目的地或关键字后再试。", nullptr,
                      MB_OK | MB_ICONINFORMATION);
}

void CMainFrame::ScrollViewToTop() {
    CViewGrid& grid = view_.grid();
    grid.firstVisibleRow = 0;
    InvalidateRect(grid.hwnd(), nullptr, FALSE);
    SetScrollPos(grid.hwnd(), SB_VERT, 0, TRUE);
}

void CMainFrame::SelectCurrentAreaInTree() {
    treeSelectionRan_ = false;
    SelectOwnAreaInTree();
    // A province has no item to select, and an item already selected raises
    // no change: switch the list here, or it would go on showing the old area.
    if (!treeSelectionRan_) {
        client_.SwitchToArea(account().currentArea);
    }
}

// ---------------------------------------------------------------- chat

void CMainFrame::RefreshChatValues() {
    chatValues_.contactName = account().contactName;
    chatValues_.ownUserId = account().ownUserId;
    chatValues_.serverHost = session_.serverHost();
}

void CMainFrame::OpenChat(const std::string& id, const std::string& publicAddress, int publicPort,
                          const std::string& localAddress, int localPort, int initiated) {
    RefreshChatValues();
    chatWindows_.OpenChat(id, publicAddress, publicPort, localAddress, localPort, initiated);
}

std::unique_ptr<tovan::ChatWindowLink> CMainFrame::ChatPorts::CreateChatWindow(const tovan::ChatPeer& peer) {
    frame.RefreshChatValues();
    ChatOwner owner;
    owner.frame = frame.hwnd();
    owner.outbox = &frame.session_;
    owner.values = &frame.chatValues_;
    owner.voiceBusy = &frame.voiceBusy;
    auto window = std::make_unique<CChat>(peer, owner);
    if (!window->Open()) {
        // No half-built window: the user learns why the chat did not open.
        const bool noControl = window->HostFailureClass() == CDVokar::kClassId;
        fw::AppMessageBox(frame.hwnd(),
                          noControl ? "交谈控件未安装或未注册,无法打开交谈窗口。请重新安装本程序。"
                                    : "无法打开交谈窗口。",
                          nullptr, MB_OK | MB_ICONERROR);
        return nullptr;
    }
    ShowWindow(window->hwnd(), SW_SHOW);
    SetFocus(frame.hwnd());
    return window;
}

void CMainFrame::ShowMyOffers() {
    MyOffersContext c;
    c.lists = &model().lists;
    c.outbox = &session_;
    c.dropResend = [this](const std::string& body) { resendSchedule_.RemoveByBody(body); };
    const tovan::AccountState& a = model().account;
    c.userId = a.ownUserId;
    c.contacts = {a.contactName, a.contactPhone, a.contactMobile};
    c.frame = hwnd();
    CMyMsg dlg(hwnd(), std::move(c));
    // The closed deals the user marked go out after the dialog closes.
    if (dlg.DoModal() == IDOK && dlg.Result().size() > 10) session_.Send(dlg.Result());
}
