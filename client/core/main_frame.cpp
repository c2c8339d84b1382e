#include "main_frame.h"

#include <algorithm>
#include <cstdio>

#include "machine_identifier.h"
#include "program_path.h"
#include "session_settings.h"
#include "win_profile_reader.h"

const char kMainFrameClass[] = "TovanClientFrame";

#ifdef TOVAN_TEST_HOOKS
// Test builds only: WM_COPYDATA with this tag sends its bytes through the
// session as any sender would (queued when the send fails).
constexpr ULONG_PTR kTestSendTag = 0x54564531;  // "TVE1"

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

CMainFrame::CMainFrame()
    : session_(tovan::SessionPorts{sessionSocket_, timers_, clock_, login_, log_, notice_}) {
    socket_.Attach(&session_, &messages_);
}

bool CMainFrame::CreateFrame() {
    return Create(kMainFrameClass, "TovanClient", WS_OVERLAPPEDWINDOW, 0, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, CS_DBLCLKS,
                  reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr,
                  LoadIcon(nullptr, IDI_APPLICATION));
}

int CMainFrame::OnCreate() {
    const std::string machineId = MachineIdentifier();
    WinProfileReader profiles;
    const tovan::SessionSettings settings =
        tovan::ReadSessionSettings(profiles, fw::ProgramFilePath("Config.ini"));
    session_.Configure(settings, machineId);
    font_ = CreateFontA(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, "宋体");
    return 0;
}

void CMainFrame::FrameLog::AddLine(const std::string& line) {
#ifdef TOVAN_TEST_HOOKS
    MirrorLogLine(line);
#else
    (void)line;
#endif
    if (frame.hwnd()) InvalidateRect(frame.hwnd(), nullptr, TRUE);
}

void CMainFrame::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    HGDIOBJ old = font_ ? SelectObject(dc, font_) : nullptr;
    RECT client;
    GetClientRect(hwnd(), &client);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    const int lineHeight = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);
    const auto& lines = session_.logLines();
    const std::size_t fit = static_cast<std::size_t>(std::max<LONG>(1, (client.bottom - 8) / lineHeight));
    const std::size_t first = lines.size() > fit ? lines.size() - fit : 0;
    int y = 4;
    SetBkMode(dc, TRANSPARENT);
    for (std::size_t i = first; i < lines.size(); ++i, y += lineHeight) {
        TextOutA(dc, 8, y, lines[i].data(), static_cast<int>(lines[i].size()));
    }
    if (old) SelectObject(dc, old);
    EndPaint(hwnd(), &ps);
}

LRESULT CMainFrame::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        return OnCreate();
    case WM_TIMER:
        if (session_.OnTimer(static_cast<unsigned>(wp))) return 0;
        break;
    case WM_PAINT:
        OnPaint();
        return 0;
#ifdef TOVAN_TEST_HOOKS
    case WM_COPYDATA: {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        if (data && data->dwData == kTestSendTag) {
            session_.Send(std::string(static_cast<const char*>(data->lpData), data->cbData));
            return TRUE;
        }
        break;
    }
#endif
    case WM_DESTROY:
        socket_.Close();
        if (font_) DeleteObject(font_);
        font_ = nullptr;
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefaultProc(msg, wp, lp);
}
