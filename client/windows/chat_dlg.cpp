#include <winsock2.h>  // before windows.h: the local clock comes with the session ports

#include "client/windows/chat_dlg.h"

#include <richedit.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "client/windows/logic/chat_transcript.h"
#include "client/windows/html_help.h"
#include "fw/profile.h"
#include "fw/program_path.h"
#include "fw/sounds.h"
#include "client/res/resource.h"
#include "client/windows/rich_text.h"
#include "client/controls/session_ports_win.h"

namespace {

#ifdef TOVAN_TEST_HOOKS
// Test builds only: WM_COPYDATA with these tags and a text answers the
// colour of the last place that text starts in the conversation view or in
// the history viewer, -1 when it is not there, so that tests can tell the
// peer's lines from the user's (a rich edit's text does not reach another
// process whole); with "TVP1", where that place lies in the view (client
// coordinates, x low and y high word), so that a test can click a link.
constexpr ULONG_PTR kTestViewTag = 0x54564331;     // "TVC1"
constexpr ULONG_PTR kTestHistoryTag = 0x54564831;  // "TVH1"
constexpr ULONG_PTR kTestPointTag = 0x54565031;    // "TVP1"
#endif

constexpr DISPID kBrowserNavigate = 104;  // the web browser control's Navigate

std::tm LocalTm(std::int64_t t) {
    const __time64_t value = t;
    std::tm out = {};
    _localtime64_s(&out, &value);
    return out;
}

}  // namespace

CChat::CChat(const tovan::ChatPeer& peer, const ChatOwner& owner)
    : CDialogEx(IDD_CHAT, owner.frame),
      owner_(owner),
      conversation_(calls_, *this, *owner.outbox, *owner.values, *owner.voiceBusy) {
    conversation_.peer = peer;
}

CChat::~CChat() {
    // However the window went, a ring of its own ends with it.
    StopSound();
    // The window and its control go while the handlers they call still exist.
    Destroy();
}

bool CChat::Open() { return CreateModeless(owner_.frame); }

void CChat::ShowInFront(bool byUser) {
    // Opened by another user's request, it must not take the keys the user is
    // typing elsewhere: in front without them, flashing as a messenger's does.
    if (fw::ShowInFront(hwnd(), byUser) || byUser) return;
    FLASHWINFO flash = {sizeof flash, hwnd(), FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

void CChat::BindControls() {
    Bind(input_, IDC_CHAT_INPUT);
    Bind(sendButton_, IDC_CHAT_SEND);
    Bind(voiceButton_, IDC_CHAT_VOICE);
    Bind(closeButton_, IDCANCEL);
    Bind(historyButton_, IDC_CHAT_HISTORY);
    Bind(uploadLink_, IDC_CHAT_UPLOAD);
}

BOOL CChat::OnInitDialog() {
    CDialogEx::OnInitDialog();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    const int r = std::rand() % 200;
    SetWindowPos(hwnd(), nullptr, r, r, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    rich::SetChatDefaultFormat(Item(IDC_CHAT_VIEW));
    rich::SetChatDefaultFormat(Item(IDC_CHAT_TRANSCRIPT));

    vokar_.Attach(HostedControl(IDC_CHAT_CONTROL));
    SinkEvents();
    conversation_.Start();
    NavigatePhotos();
    OpenTranscript();
    SendItem(IDC_CHAT_VIEW, EM_SETEVENTMASK, 0, ENM_LINK);
    return TRUE;
}

void CChat::SinkEvents() {
    fw::ControlHost* host = vokar_.Host();
    if (!host) return;
    using Args = fw::com::EventArgs;
    tovan::ChatConversation& c = conversation_;
    host->OnEvent(CDVokar::kNotifyAddress, [&c](const Args& a) { c.OnNotifyAddress(a.Text(0), a.Long(1)); });
    host->OnEvent(CDVokar::kPeerAdd, [&c](const Args& a) { c.OnPeerAdd(a.Text(0), a.Long(1)); });
    host->OnEvent(CDVokar::kPeerAccept, [&c](const Args& a) { c.OnPeerAccept(a.Text(0), a.Long(1)); });
    host->OnEvent(CDVokar::kPeerClose, [&c](const Args&) { c.OnPeerClose(); });
    host->OnEvent(CDVokar::kNewMessage,
                  [&c](const Args& a) { c.OnNewMessage(a.Text(0), a.Long(1), a.Text(2)); });
    host->OnEvent(CDVokar::kBindError, [&c](const Args&) { c.OnBindError(); });
    host->OnEvent(CDVokar::kVoiceError, [&c](const Args&) { c.OnVoiceError(); });
    host->OnEvent(CDVokar::kVoiceStart, [&c](const Args&) { c.OnVoiceStart(); });
    host->OnEvent(CDVokar::kVoiceStop, [&c](const Args&) { c.OnVoiceStop(); });
}

void CChat::NavigatePhotos() {
    const std::string base =
        fw::ReadProfileString(fw::ProgramFilePath("Config.ini"), "URL", "Merovan", "", 500);
    const struct { int id; std::string user; } panes[] = {
        {IDC_CHAT_PEER_PHOTO, conversation_.peer.peerName},
        {IDC_CHAT_OWN_PHOTO, owner_.values->OwnUserId()},
    };
    for (const auto& pane : panes) {
        if (fw::ControlHost* page = HostedControl(pane.id)) {
            const auto none = fw::com::DispatchArg::Missing();
            page->Call(kBrowserNavigate, {tovan::PhotoAddress(base, pane.user), none, none, none, none});
        }
    }
}

void CChat::OpenTranscript() {
    const std::tm day = LocalClock().LocalNow();
    recordFileName_ = tovan::TranscriptFileName(fw::ProgramFolder(), conversation_.peer.peerUserId, day);
    // A file that cannot be opened leaves an empty transcript; each line tries again.
    rich::LoadRtf(Item(IDC_CHAT_TRANSCRIPT), recordFileName_, false, true);
    history_.CreateModeless(hwnd());
}

bool CChat::OnCommand(int id, int code, HWND) {
    switch (id) {
    case IDC_CHAT_SEND:
        if (code == BN_CLICKED) SendTyped();
        return true;
    case IDC_CHAT_VOICE:
        if (code == BN_CLICKED) conversation_.OnVoiceButton();
        return true;
    case IDC_CHAT_HISTORY:
        if (code == BN_CLICKED) ShowHistory();
        return true;
    case IDC_CHAT_UPLOAD:
        if (code == STN_CLICKED) OpenUploadPage();
        return true;
    case ID_HELP:
        help::ShowContext(hwnd(), help::kChatContext);
        return true;
    default:
        return false;
    }
}

bool CChat::PreTranslateMessage(MSG& msg) {
    // F1 anywhere in the window is its help command.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1) {
        OnCommand(ID_HELP, 0, nullptr);
        return true;
    }
    // Enter in the input sends; the key then goes on to the dialog, whose OK does nothing.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && msg.hwnd == input_.hwnd()) SendTyped();
    return false;
}

void CChat::SendTyped() {
    if (!conversation_.SendText(ItemText(IDC_CHAT_INPUT))) return;
    SetItemText(IDC_CHAT_INPUT, "");
    SetFocus(input_.hwnd());
}

void CChat::AnswerVoiceLink(const ENLINK& link) {
    if (!conversation_.voiceRequestPending || link.msg != WM_LBUTTONUP) return;
    HWND view = Item(IDC_CHAT_VIEW);
    const bool accept = rich::MarkAnswered(view, link.chrg.cpMin, link.chrg.cpMax) == "接受";
    // The other answer is taken out of play too.
    const char* other = accept ? "拒绝" : "接受";
    const LONG at = rich::Find(view, other, accept ? link.chrg.cpMax : link.chrg.cpMin, accept);
    if (at >= 0) rich::MarkAnswered(view, at, at + 2);
    conversation_.AnswerVoiceRequest(accept);
    SetFocus(input_.hwnd());
}

void CChat::ShowHistory() {
    history_.ShowFiles(tovan::HistoryFileNames(fw::ProgramFolder(), conversation_.peer.peerUserId,
                                               static_cast<std::int64_t>(_time64(nullptr)), LocalTm));
}

void CChat::OpenUploadPage() {
    const std::string address =
        fw::ReadProfileString(fw::ProgramFilePath("Config.ini"), "URL", "Merovan", "", 1000) +
        "/uploadphoto.asp";
    ShellExecuteA(hwnd(), "open", "iexplore.exe", address.c_str(), nullptr, SW_SHOWNORMAL);
}

// ---------------------------------------------------------------- surface

void CChat::AddLine(const std::string& text, std::uint32_t colour) {
    rich::Append(Item(IDC_CHAT_VIEW), text, colour);
}

void CChat::AddVoiceQuestion(const std::string& peerName) {
    HWND view = Item(IDC_CHAT_VIEW);
    rich::Append(view, "[" + peerName + "]对方请求与您语音交谈,您是", tovan::kSystemLineColour);
    rich::AppendLink(view, "接受");
    rich::Append(view, "还是", tovan::kSystemLineColour);
    rich::AppendLink(view, "拒绝\r\n");
}

void CChat::SetTitle(const std::string& title) { fw::SetText(hwnd(), title); }

void CChat::EnableInput() {
    EnableItem(IDC_CHAT_INPUT, true);
    EnableItem(IDC_CHAT_SEND, true);
    EnableItem(IDC_CHAT_VOICE, true);
}

void CChat::SetVoiceButtonText(const std::string& text) { SetItemText(IDC_CHAT_VOICE, text); }

void CChat::Play(int id, bool loop) { fw::PlayResourceSound(this, id, loop); }

// Only a sound of this window: another window's ring plays on.
void CChat::StopSound() { fw::StopSoundOf(this); }

bool CChat::HasSoundDevices() { return fw::HasSoundDevices(); }

void CChat::SetTimer(unsigned id, unsigned ms) { ::SetTimer(hwnd(), id, ms, nullptr); }

void CChat::KillTimer(unsigned id) { ::KillTimer(hwnd(), id); }

bool CChat::AppendTranscript(const std::string& line, std::uint32_t colour) {
    HWND buffer = Item(IDC_CHAT_TRANSCRIPT);
    rich::Append(buffer, line, colour);
    // The whole day is rewritten; a file that cannot be written keeps the buffer for the next line.
    return rich::SaveRtf(buffer, recordFileName_);
}

void CChat::ShowError(const std::string& text) { ShowMessage(text, "错误", MB_OK); }

std::string CChat::Now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%02d-%02d %02d:%02d:%02d", t.wYear % 100, t.wMonth, t.wDay,
                  t.wHour, t.wMinute, t.wSecond);
    return text;
}

#ifdef TOVAN_TEST_HOOKS
LRESULT CChat::AnswerTestQuery(const COPYDATASTRUCT& data) {
    HWND view = data.dwData == kTestHistoryTag ? history_.TextBox() : Item(IDC_CHAT_VIEW);
    const std::string text(static_cast<const char*>(data.lpData), data.cbData);
    const LONG end = static_cast<LONG>(SendMessageA(view, WM_GETTEXTLENGTH, 0, 0));
    const LONG at = rich::Find(view, text, end, false);
    if (at < 0) return -1;
    if (data.dwData == kTestPointTag) {
        POINTL point = {};
        SendMessageA(view, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), at);
        return MAKELONG(point.x, point.y);
    }
    CHARRANGE saved = {}, first = {at, at + 1};
    SendMessageA(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&saved));
    SendMessageA(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&first));
    CHARFORMAT2A cf = {};
    cf.cbSize = sizeof cf;
    SendMessageA(view, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    SendMessageA(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&saved));
    return static_cast<LRESULT>(cf.crTextColor);
}
#endif

LRESULT CChat::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        conversation_.OnTimer(static_cast<unsigned>(wp));
        break;  // on to the default processing
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) == SC_CLOSE) {
            conversation_.Close();
            return 0;
        }
        break;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        if (header && header->idFrom == IDC_CHAT_VIEW && header->code == EN_LINK) {
            AnswerVoiceLink(*reinterpret_cast<const ENLINK*>(lp));
            return 0;
        }
        break;
    }
#ifdef TOVAN_TEST_HOOKS
    case WM_COPYDATA: {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        if (data && (data->dwData == kTestViewTag || data->dwData == kTestHistoryTag || data->dwData == kTestPointTag) &&
            data->lpData)
            return AnswerTestQuery(*data);
        break;
    }
#endif
    default:
        break;
    }
    return CDialogEx::HandleMessage(msg, wp, lp);
}
