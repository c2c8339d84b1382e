#include "client/core/main_frame.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "client/controls/profile_files_snapshot.h"
#include "client/controls/win_profile_reader.h"
#include "client/core/chat_history_purge.h"
#include "client/model/area_tree.h"
#include "client/model/page_addresses.h"
#include "client/model/profile_reader.h"
#include "client/model/profile_snapshot.h"
#include "client/model/record_cell.h"
#include "client/model/session_settings.h"
#include "client/model/toolbar_plan.h"
#include "client/model/window_title.h"
#include "client/core/machine_identifier.h"
#include "client/core/startup_trace.h"
#include "client/core/toolbar_captions.h"
#include "client/res/resource.h"
#include "client/windows/html_help.h"
#include "fw/maximized_rect.h"
#include "fw/message_box.h"
#include "fw/profile.h"
#include "fw/program_path.h"

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

bool PlatformIsNtFamily() {
    OSVERSIONINFOA v = {};
    v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL ok = GetVersionExA(&v);
#pragma GCC diagnostic pop
    return ok && v.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// None: the frame is a top-level window. Test builds only: with
// TOVAN_TEST_FRAME_FAILS set, a handle that is no window, so that the
// platform refuses to make the frame, as it does on a broken display.
HWND FrameParent() {
#ifdef TOVAN_TEST_HOOKS
    if (GetEnvironmentVariableA("TOVAN_TEST_FRAME_FAILS", nullptr, 0) != 0) {
        return reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFFFFF0));
    }
#endif
    return nullptr;
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
    h.selectOwnAreaInTree = [this] {
        treeSelectionRan_ = false;
        SelectOwnAreaInTree();
        return treeSelectionRan_;  // the tree's handler asked for the area's list
    };
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
    h.tellUser = [this](const std::string& text) {
        fw::AppMessageBox(hwnd(), text, nullptr, MB_OK | MB_ICONINFORMATION);
    };
    return h;
}

bool CMainFrame::CreateFrame() {
    HMENU menu = LoadMenuA(fw::Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    HICON icon = LoadIconA(fw::Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    // Made at its maximised size, so that the panes are laid out once, at
    // the size the user sees, and the area tree's height comes from it.
    constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_MAXIMIZE;
    const RECT r = fw::MaximizedWindowRect(kStyle, 0);
    if (!Create(kMainFrameClass, "TovanClient", kStyle, 0, r.left, r.top, r.right - r.left, r.bottom - r.top,
                FrameParent(), menu, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr,
                icon ? icon : LoadIcon(nullptr, IDI_APPLICATION))) {
        return false;
    }
    // Restoring it gives three quarters of the work area, as a window of
    // the system's default size.
    WINDOWPLACEMENT place = {};
    place.length = sizeof place;
    if (GetWindowPlacement(hwnd(), &place)) {
        const RECT work = fw::MaximizedWindowRect(0, 0);
        const int w = work.right - work.left, h = work.bottom - work.top;
        place.rcNormalPosition = {work.left + w / 8, work.top + h / 8, work.left + w / 8 + 3 * w / 4,
                                  work.top + h / 8 + 3 * h / 4};
        place.showCmd = SW_HIDE;
        SetWindowPlacement(hwnd(), &place);
    }
    return true;
}

void CMainFrame::CreateWindowsAfterFirstRows() {
    if (afterFirstRowsDone_) return;
    afterFirstRowsDone_ = true;
    KillTimer(hwnd(), kAfterFirstRowsTimer);
    view_.grid().onFirstRowsPainted = nullptr;
    TraceStartupStep("after the first rows");
    statusBar_.CreateBanner();
    topWebPane_.CreateBrowser();
    rightWebPane_.CreateBrowser();
    TraceStartupStep("browser controls");
    // Every pane's first page before any pane's second, as when the pages
    // were asked for at creation and the city's pages after the logon.
    for (bool more = true; more;) {
        more = statusBar_.explorer().NavigateNextWaiting();
        more = topWebPane_.explorer().NavigateNextWaiting() || more;
        more = rightWebPane_.explorer().NavigateNextWaiting() || more;
    }
    TraceStartupStep("pages asked for");
    if (afterFirstRows) afterFirstRows();
    TraceStartupStep("after the first rows done");
}

bool CMainFrame::CreateBars() {
    if (!toolbar_.CreateBar(hwnd(), kToolbarId, kButtonWidth, kButtonHeight)) return false;
    if (!statusBar_.CreateBar(hwnd(), IDW_STATUS_BAR, kStatusBarMinHeight)) return false;
    statusBar_.Navigate(tovan::PageAddress(siteBase_, tovan::kBannerPage));  // waits for the banner
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
    // Read once: the tree asks for two lists of every province.
    ProfileFilesSnapshot areaIni({iniPath});
    areaTreePane_.Fill(tovan::BuildAreaTree(tovan::AreaIni(areaIni, iniPath)));
}

void CMainFrame::SelectOwnAreaInTree() {
    const std::optional<tovan::AreaTreePlace> place =
        tovan::SelectOwnArea(areaTreePane_.root(), account().currentArea,
                             [this] { session_.DropQueuedListRequests(); });
    if (place) areaTreePane_.Select(*place);
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
    TraceStartupStep("WM_CREATE, machine id lookup started");
    // The settings files are read once for all the reads of the creation.
    const std::string configIni = fw::ProgramFilePath("Config.ini");
    ProfileFilesSnapshot settings({configIni, tovan::kUserIni});
    // The service's site, the base of the banner and the web panes' pages.
    siteBase_ = tovan::SiteBase(settings.ReadString(configIni, "URL", "Merovan", "", 500));
    // Before the panes: the search grid sizes its class and talk columns for
    // the pictures it then draws.
    model().usePictures = PlatformIsNtFamily();
    TraceStartupStep("settings read");
    if (!CreateBars()) return -1;
    TraceStartupStep("toolbar and status bar");
    BuildToolBar(settings);
    TraceStartupStep("toolbar buttons");
    // Both panes start hidden: the search pane until a search, the area tree
    // until a logon reply with full rights.
    if (!CreatePanes()) return -1;
    TraceStartupStep("panes");
    LoadAreaTree(fw::ProgramFilePath(tovan::kAreaIniName));
    TraceStartupStep("area tree");
    // The web panes show the service's pages from the start.
    ShowPane(topWebPane_, true);
    ShowPane(rightWebPane_, true);
    rightWebPane_.Navigate(tovan::PageAddress(siteBase_, tovan::kRightPage));
    topWebPane_.Navigate(tovan::PageAddress(siteBase_, tovan::kTopPage));
    TraceStartupStep("web panes shown, navigated");
    fw::AddIdleHandler(hwnd(), &CMainFrame::OnIdle);

    session_.Configure(tovan::ReadSessionSettings(settings, configIni), std::move(machineId));
    // The login dialog, built without a parent, is owned by the main window.
    fw::SetMainWindow(hwnd());
    publishDialogs_.SetFrame(hwnd());
    TraceStartupStep("session configured");
    // The notice and log windows are made when a notice or a failed
    // connection first shows them.
    logWindow_.SetOwner(hwnd());
    MarkPublishMode(fw::ReadProfileInt(tovan::kUserIni, "Publish", "Kind", 0) != 0 ? 1 : 0);
    MarkMinimiseMode(fw::ReadProfileInt(tovan::kUserIni, "Display", "Min", 0) != 0 ? 1 : 0);
    BuildToolsMenu();
    TraceStartupStep("menus");

    SetTimer(hwnd(), tovan::kResendTimer, tovan::kResendPeriodMs, nullptr);
    SetTimer(hwnd(), tovan::kChatSweepTimer, tovan::kChatSweepPeriodMs, nullptr);

    RECT client;
    GetClientRect(hwnd(), &client);
    view_.onTalk = [this](const std::string& author) { OpenChat(author, "", 0, "", 0, 1); };
    if (!view_.Create(hwnd(), model(), client, settings)) return -1;
    AttachView(view_);
    // What the first rows do not need is made once they are on the screen,
    // or after kAfterFirstRowsLatestMs when no rows come (no server, an
    // empty list).
    view_.grid().onFirstRowsPainted = [this] { PostMessageA(hwnd(), kAfterFirstRowsMessage, 0, 0); };
    SetTimer(hwnd(), kAfterFirstRowsTimer, kAfterFirstRowsLatestMs, nullptr);
    TraceStartupStep("view");
    StartSession();
    TraceStartupStep("connect started");
    RecalcLayout();
    TraceStartupStep("layout");
    return 0;
}

// ---------------------------------------------------------------- toolbar

void CMainFrame::BuildToolBar() {
    WinProfileReader profiles;
    BuildToolBar(profiles);
}

void CMainFrame::BuildToolBar(tovan::ProfileReader& profiles) {
    while (toolbar_.ButtonCount() > 0) toolbar_.DeleteButton(0);
    toolbar_.RemoveAllImages();  // nothing of the old bar is shown any more
    const tovan::AccountState& a = model().account;
    const std::vector<tovan::ToolbarSlot> bar = tovan::PlanToolbar(
        profiles, tovan::CurrentInfoCaption(a.homeProvince, a.homeCity, a.areaLevel));
    ToolbarCaptions captions(toolbar_.hwnd(), kButtonWidth, kButtonHeight);
    int position = 0;
    for (const tovan::ToolbarSlot& slot : bar) {
        if (slot.separator) {
            toolbar_.InsertSeparator(position++);
            continue;
        }
        // The image list keeps its own copy of the picture.
        const int image = toolbar_.AddImage(captions.Picture(slot.caption, slot.red ? RGB(255, 0, 0) : RGB(0, 0, 0)));
        toolbar_.InsertButton(position++, image, slot.commandId);
    }
    RecalcLayout();
}

void CMainFrame::UpdateCurrentInfoButton() {
    const int index = toolbar_.CommandToIndex(tovan::kCurrentInfoCommand);
    if (index < 0) return;
    const tovan::AccountState& a = model().account;
    const fw::gdi::Bitmap bmp =
        ToolbarCaptions(toolbar_.hwnd(), kButtonWidth, kButtonHeight)
            .Picture(tovan::CurrentInfoCaption(a.homeProvince, a.homeCity, a.areaLevel), RGB(0, 0, 0));
    // Every logon relabels the button: its picture is replaced in place, so
    // the image list does not grow with each reconnect.
    int image = toolbar_.ImageAt(index);
    if (!toolbar_.ReplaceImage(image, bmp)) image = toolbar_.AddImage(bmp);
    toolbar_.DeleteButton(index);
    toolbar_.InsertButton(index, image, tovan::kCurrentInfoCommand);
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
        TraceStartupStep("WM_SIZE");
        RecalcLayout();
        TraceStartupStep("WM_SIZE laid out");
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
        if (wp == kAfterFirstRowsTimer) {
            CreateWindowsAfterFirstRows();
            return 0;
        }
        if (session_.OnTimer(static_cast<unsigned>(wp))) return 0;
        if (wp == tovan::kResendTimer) {
            resendSchedule_.Tick();
            return 0;
        }
        break;
    case kAfterFirstRowsMessage:
        CreateWindowsAfterFirstRows();
        return 0;
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
        WriteStartupTrace();
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

