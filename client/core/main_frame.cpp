#include "main_frame.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "about_dlg.h"
#include "machine_identifier.h"
#include "program_path.h"
#include "resource.h"
#include "row_paging.h"
#include "session_settings.h"
#include "win_profile_reader.h"
#include "window_title.h"

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
    kQuerySize, kQueryLoaded, kQueryGridRows, kQueryFirstVisible, kQueryRowId, kQueryRowStatus
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
               MakeSessionHooks()),
      recordState_{session_.account().currentArea, watchMode,
                   session_.account().homeCity,    session_.account().homeProvince,
                   session_.account().areaLevel,   titlePrefix,
                   watchAreas,  watchClasses,  watchDestinations,  watchKeywords,
                   searchAreas, searchClasses, searchDestinations, searchText} {
    socket_.Attach(&session_, &messages_);
}

tovan::SessionHooks CMainFrame::MakeSessionHooks() {
    tovan::SessionHooks h;
    h.clearRecordLists = [this] { ClearRecordLists(); };
    h.setLimitedRights = [this](bool limited) { view_.grid().limitedRights = limited ? 1 : 0; };
    h.updateTitleAndPages = [this] { UpdateTitleAndPages(); };
    h.pagingTick = [this] { PagingTick(); };
    return h;
}

bool CMainFrame::CreateFrame() {
    HMENU menu = LoadMenuA(fw::Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    return Create(kMainFrameClass, "TovanClient", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu,
                  CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr,
                  LoadIcon(nullptr, IDI_APPLICATION));
}

int CMainFrame::OnCreate() {
    const std::string machineId = MachineIdentifier();
    WinProfileReader profiles;
    const tovan::SessionSettings settings =
        tovan::ReadSessionSettings(profiles, fw::ProgramFilePath("Config.ini"));
    session_.Configure(settings, machineId);
    // The login dialog, built without a parent, is owned by the main window.
    fw::SetMainWindow(hwnd());
    // Both exist before the first connection writes to the log; they stay
    // hidden until a notice or a failed connect shows them.
    noticeWindow_.CreateModeless();
    ntFlag = PlatformIsNtFamily() ? 1 : 0;
    logWindow_.CreateModeless(hwnd());

    SetTimer(hwnd(), tovan::kResendTimer, tovan::kResendPeriodMs, nullptr);

    RECT client;
    GetClientRect(hwnd(), &client);
    return view_.Create(*this, client) ? 0 : -1;
}

void CMainFrame::AttachView(CTovanClientView& view) {
    CViewGrid& grid = view.grid();
    grid.mainFrame = this;
    grid.records = &lists_.currentList;
    lists_.currentGrid = {&grid, &grid.pending};
}

void CMainFrame::ClearRecordLists() {
    lists_.currentList.Reset(0);
    lists_.searchList.Reset(0);
    if (lists_.currentGrid.view) lists_.currentGrid.view->ResetRows(0);
    if (lists_.searchGrid.view) lists_.searchGrid.view->ResetRows(0);
}

void CMainFrame::UpdateTitleAndPages() {
    WinProfileReader profiles;
    const tovan::AccountState& a = session_.account();
    const std::string service =
        tovan::ServiceTitle(profiles, fw::ProgramFilePath("Config.ini"), a.homeCity);
    titlePrefix = tovan::ComposeTitlePrefix(service, a);
    SetFrameTitle(tovan::ProcessingTitle(titlePrefix, a.currentArea));
}

void CMainFrame::PagingTick() {
    tovan::PagingIo io;
    io.send = [this](const std::string& m) {
        session_.Send(m);  // a failed send waits in the unsent queue
        return true;
    };
    io.queueUnsent = [](const std::string&) {};
    io.sleepMs = [](int ms) { Sleep(static_cast<DWORD>(ms)); };
    tovan::RunPagingTick(lists_.currentList, lists_.currentGrid, lists_.searchList,
                         lists_.searchGrid, watchMode != 0, session_.account().currentArea,
                         watchRecordQuery, searchRecordQuery, io);
}

std::string CMainFrame::FrameTitle() const {
    const int n = GetWindowTextLengthA(hwnd());
    std::vector<char> buf(static_cast<std::size_t>(n) + 1);
    GetWindowTextA(hwnd(), buf.data(), n + 1);
    return buf.data();
}

void CMainFrame::SetFrameTitle(const std::string& title) { SetWindowTextA(hwnd(), title.c_str()); }

void CMainFrame::LogWindowLines::AddLine(const std::string& line) {
#ifdef TOVAN_TEST_HOOKS
    MirrorLogLine(line);
#endif
    window.AddLine(line);
}

LRESULT CMainFrame::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        return OnCreate();
    case WM_SIZE:
        if (view_.hwnd()) MoveWindow(view_.hwnd(), 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
        return 0;
    case WM_TIMER:
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
        if (LOWORD(wp) == ID_USER_LOGIN) {
            session_.LoginCommand();
            return 0;
        }
        if (LOWORD(wp) == ID_APP_ABOUT) {
            ShowAboutBox(hwnd());
            return 0;
        }
        break;
#ifdef TOVAN_TEST_HOOKS
    case WM_COPYDATA: {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        if (data && data->dwData == kTestSendTag) {
            session_.Send(std::string(static_cast<const char*>(data->lpData), data->cbData));
            return TRUE;
        }
        if (data && data->dwData == kTestQueryTag) {
            return AnswerTestQuery(lists_.currentList, view_.grid(), *data);
        }
        break;
    }
#endif
    case WM_DESTROY:
        socket_.Close();
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefaultProc(msg, wp, lp);
}
