// The chat window on its own: refused without a registered chat control, no
// window left behind; with the control, a peer id from the network that
// names other folders still writes its transcript inside the program folder,
// and a second window of the same peer and day goes on with the same file; a
// transcript that cannot be written is said once in the conversation. And the
// frame's chat windows, which speak with the account of the latest logon; two
// windows talking through their own controls, whose views show what the peer
// receives; the ring a window's close ends, and voice without sound devices.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <mmsystem.h>
#include <richedit.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "client/core/main_frame.h"
#include "client/windows/chat_dlg.h"
#include "client/windows/logic/chat_transcript.h"
#include "control/logic/peer_datagram.h"
#include "tests/wine/gui_test_util.h"
#include "client/windows/html_help.h"
#include "fw/program_path.h"
#include "client/model/server_message.h"

namespace {

struct RecordingRelay : tovan::Outbox {
    void Send(const std::string& line) override { lines.push_back(line); }
    void DropQueuedListRequests() override {}
    std::vector<std::string> lines;
};

class ChatWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        OleInitialize(nullptr);
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        LoadLibraryA("riched20.dll");
    }

    ChatOwner Owner() {
        values.contactName = "张建国";
        values.ownUserId = "test";
        values.serverHost = "127.0.0.1";
        ChatOwner o;
        o.outbox = &relay;
        o.values = &values;
        o.voiceBusy = &voiceBusy;
        return o;
    }

    static tovan::ChatPeer Peer(const std::string& id) {
        tovan::ChatPeer p;
        p.peerUserId = p.peerName = id;
        p.initiatedLocally = 1;
        return p;
    }

    static std::string ReadFile(const std::string& path) {
        std::string bytes;
        if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
            char buf[4096];
            std::size_t n;
            while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
            std::fclose(f);
        }
        return bytes;
    }

    // Registers or unregisters the chat control beside the program, as
    // each test needs it, whatever ran before.
    static void RegisterChatControl(bool on) {
        HMODULE ocx = LoadLibraryA(fw::ProgramFilePath("Vokar.ocx").c_str());
        ASSERT_NE(ocx, nullptr);
        using Entry = HRESULT(STDAPICALLTYPE*)();
        auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(
            GetProcAddress(ocx, on ? "DllRegisterServer" : "DllUnregisterServer")));
        ASSERT_NE(entry, nullptr);
        ASSERT_EQ(entry(), S_OK);
    }

    // The conversation view's text.
    static std::string ViewText(const CChat& chat) {
        HWND view = GetDlgItem(chat.hwnd(), 1097);
        // The length may count characters: room for two bytes each.
        std::vector<char> text(2 * static_cast<std::size_t>(GetWindowTextLengthA(view)) + 1);
        GetWindowTextA(view, text.data(), static_cast<int>(text.size()));
        return text.data();
    }

    RecordingRelay relay;
    tovan::FixedChatValues values;
    int voiceBusy = 0;
};

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST_F(ChatWindowTest, WithoutTheChatControlNoWindowIsMade) {
    RegisterChatControl(true);
    RegisterChatControl(false);
    CChat chat(Peer("peer"), Owner());
    EXPECT_FALSE(chat.Open());
    EXPECT_EQ(chat.hwnd(), nullptr);
    EXPECT_EQ(chat.HostFailure(), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(chat.HostFailureClass(), CDVokar::kClassId);
    EXPECT_TRUE(relay.lines.empty());
}

TEST_F(ChatWindowTest, HostileIdKeepsItsTranscriptInTheProgramFolder) {
    RegisterChatControl(true);

    const std::string hostile = "..\\..\\evil:x";
    std::string fileName;
    {
        CChat chat(Peer(hostile), Owner());
        ASSERT_TRUE(chat.Open());
        fileName = chat.recordFileName();
        EXPECT_EQ(fileName.rfind(fw::ProgramFolder() + "..%5C..%5Cevil%3Ax", 0), 0u) << fileName;
        EXPECT_TRUE(chat.conversation().SendText("hello"));
        testutil::Pump(100);
    }
    EXPECT_NE(ReadFile(fileName).find("hello"), std::string::npos);
    // Not connected: the text waits and the request goes out again.
    ASSERT_FALSE(relay.lines.empty());
    EXPECT_EQ(relay.lines.back(), "!ADDCHATER!|" + hostile + "||0||0^");

    // A second window of the same day loads the earlier lines and keeps them.
    {
        CChat again(Peer(hostile), Owner());
        ASSERT_TRUE(again.Open());
        EXPECT_EQ(again.recordFileName(), fileName);
        EXPECT_TRUE(again.conversation().SendText("world"));
        testutil::Pump(100);
    }
    const std::string rtf = ReadFile(fileName);
    EXPECT_NE(rtf.find("hello"), std::string::npos);
    EXPECT_NE(rtf.find("world"), std::string::npos);
    DeleteFileA(fileName.c_str());

    // Nothing was written where the id pointed.
    WIN32_FIND_DATAA found;
    const std::string outside = fw::ProgramFolder() + "..\\..\\evil*";
    HANDLE h = FindFirstFileA(outside.c_str(), &found);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
}

// The character effects and colour at position `at` of a rich edit.
CHARFORMAT2A FormatAt(HWND edit, LONG at) {
    CHARRANGE one = {at, at + 1};
    SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&one));
    CHARFORMAT2A cf = {};
    cf.cbSize = sizeof cf;
    SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return cf;
}

LONG FindText(HWND edit, const char* text) {
    FINDTEXTEXA find = {};
    find.chrg = {0, -1};
    find.lpstrText = text;
    return static_cast<LONG>(SendMessageA(edit, EM_FINDTEXTEX, FR_DOWN, reinterpret_cast<LPARAM>(&find)));
}

// Today's transcript file cannot be written (a folder holds its name): the
// conversation goes on and says so once.
TEST_F(ChatWindowTest, ATranscriptThatCannotBeWrittenIsSaidOnce) {
    RegisterChatControl(true);
    CChat chat(Peer("unwritable"), Owner());
    ASSERT_TRUE(chat.Open());
    const std::string file = chat.recordFileName();
    DeleteFileA(file.c_str());
    ASSERT_TRUE(CreateDirectoryA(file.c_str(), nullptr)) << file;
    EXPECT_TRUE(chat.conversation().SendText("first"));
    EXPECT_TRUE(chat.conversation().SendText("second"));
    chat.conversation().OnNewMessage("127.0.0.1", 4000, "third");
    testutil::Pump(50);
    const std::string text = ViewText(chat);
    EXPECT_NE(text.find("third"), std::string::npos) << text;
    EXPECT_EQ(Count(text, "聊天记录"), 1u) << text;
    RemoveDirectoryA(file.c_str());
}

// The frame's chat windows take the user's name from the latest logon
// reply, not from the one before they opened.
TEST_F(ChatWindowTest, FrameChatWindowsSpeakWithTheLatestLogonsName) {
    RegisterChatControl(true);
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    {
        CMainFrame frame;
        ASSERT_TRUE(frame.CreateFrame());
        tovan::DispatchServerMessage("!OK!|苏州市|江苏省|u1|2|王|1|2|30|1|苏州市|1|", frame.messageHandler());
        frame.OpenChat("peer", "", 0, "", 0, 1);
        ASSERT_EQ(frame.chatWindows().size(), 1u);
        auto* chat = dynamic_cast<CChat*>(&frame.chatWindows().at(0));
        ASSERT_NE(chat, nullptr);
        tovan::DispatchServerMessage("!OK!|苏州市|江苏省|u1|2|李|1|2|30|1|苏州市|1|", frame.messageHandler());
        EXPECT_TRUE(chat->conversation().SendText("hi"));
        const std::string text = ViewText(*chat);
        EXPECT_NE(text.find("[李]hi"), std::string::npos) << text;
        DeleteFileA(chat->recordFileName().c_str());
        frame.Destroy();
        testutil::Pump(30);
    }
    WSACleanup();
}

TEST_F(ChatWindowTest, AnsweringAVoiceRequestThroughItsLinks) {
    RegisterChatControl(true);
    CChat chat(Peer("peer"), Owner());
    ASSERT_TRUE(chat.Open());
    chat.conversation().OnNewMessage("127.0.0.1", 4000, "!VOICE!");
    EXPECT_EQ(chat.conversation().voiceRequestPending, 1);
    HWND view = GetDlgItem(chat.hwnd(), 1097);
    const LONG accept = FindText(view, "接受"), between = FindText(view, "还是"), reject = FindText(view, "拒绝");
    ASSERT_GE(accept, 0);
    ASSERT_GT(between, accept);
    ASSERT_GT(reject, between);
    EXPECT_TRUE(FormatAt(view, accept).dwEffects & CFE_LINK);
    EXPECT_TRUE(FormatAt(view, reject).dwEffects & CFE_LINK);
    EXPECT_FALSE(FormatAt(view, between).dwEffects & CFE_LINK);  // only the two answers are links
    EXPECT_EQ(FormatAt(view, between).crTextColor, RGB(255, 0, 0));

    // A click anywhere but on a released left button does nothing.
    ENLINK link = {};
    link.nmhdr.hwndFrom = view;
    link.nmhdr.idFrom = 1097;
    link.nmhdr.code = EN_LINK;
    link.chrg = {reject, reject + 2};
    link.msg = WM_LBUTTONDOWN;
    SendMessageA(chat.hwnd(), WM_NOTIFY, 1097, reinterpret_cast<LPARAM>(&link));
    EXPECT_EQ(chat.conversation().voiceRequestPending, 1);

    link.msg = WM_LBUTTONUP;
    SendMessageA(chat.hwnd(), WM_NOTIFY, 1097, reinterpret_cast<LPARAM>(&link));
    EXPECT_EQ(chat.conversation().voiceRequestPending, 0);
    // Both answers are plain red text now; the voice button was never started.
    for (LONG at : {accept, reject}) {
        EXPECT_FALSE(FormatAt(view, at).dwEffects & CFE_LINK) << at;
        EXPECT_EQ(FormatAt(view, at).crTextColor, RGB(255, 0, 0)) << at;
    }
    EXPECT_EQ(chat.conversation().voiceButtonText(), "语音交谈");
    // A second click finds no request waiting.
    SendMessageA(chat.hwnd(), WM_NOTIFY, 1097, reinterpret_cast<LPARAM>(&link));
    EXPECT_EQ(chat.conversation().voiceRequestPending, 0);
    std::vector<char> text(256);
    GetDlgItemTextA(chat.hwnd(), 1026, text.data(), static_cast<int>(text.size()));
    EXPECT_STREQ(text.data(), "语音交谈");
}

// Runs the messages until done() or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    while (!done()) {
        if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
        testutil::Pump(20);
    }
    return true;
}

// The message box of a chat window, read and closed from within its loop.
HWND g_boxOwner = nullptr;
std::string g_boxText;
void CALLBACK AnswerChatBox(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = testutil::OwnedDialog(g_boxOwner);
    if (!box) return;
    KillTimer(nullptr, id);
    g_boxText = fw::GetText(GetDlgItem(box, 0xFFFF));
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

// Two chat windows, each with its own chat control, talking over loopback:
// what a sender's view shows is what the peer's view shows, both ways round.
TEST_F(ChatWindowTest, TwoWindowsShowWhatThePeerReceives) {
    RegisterChatControl(true);
    tovan::FixedChatValues peerValues;
    peerValues.contactName = "李明";
    peerValues.ownUserId = "peer";
    peerValues.serverHost = "127.0.0.1";
    RecordingRelay peerRelay;
    ChatOwner peerOwner = Owner();
    peerOwner.outbox = &peerRelay;
    peerOwner.values = &peerValues;

    // The relay line as the exchange would carry it, with the address
    // server's answer given by hand: the answering side asks for the other's
    // text socket, whose window accepts (the answer line is not needed then).
    CChat a(Peer("peer"), Owner());
    ASSERT_TRUE(a.Open());
    a.conversation().OnNotifyAddress("127.0.0.1", 0);
    tovan::ChatPeer toA;
    toA.peerUserId = toA.peerName = "test";
    toA.peerLocalAddress = toA.peerPublicAddress = "127.0.0.1";
    toA.peerLocalPort = toA.peerPublicPort = a.conversation().peer.ownLocalPort;
    CChat b(toA, peerOwner);
    ASSERT_TRUE(b.Open());
    b.conversation().OnNotifyAddress("127.0.0.1", 0);
    ASSERT_TRUE(PumpUntil([&] {
        return ViewText(a).find("[李明]与您热烈交谈中") != std::string::npos &&
               ViewText(b).find("[张建国]与您热烈交谈中") != std::string::npos;
    }, 15000)) << ViewText(a) << "\n" << ViewText(b);

    // The longest text one message carries, Chinese with an ASCII end.
    std::string longest;
    while (longest.size() + 2 + 3 <= tovan::kMaxShortMessage) longest += "长";
    longest += std::string(tovan::kMaxShortMessage - longest.size(), 'E');
    struct Side { CChat& from; CChat& to; const char* name; };
    for (const Side& s : {Side{a, b, "[张建国]"}, Side{b, a, "[李明]"}}) {
        EXPECT_TRUE(s.from.conversation().SendText("a|b"));
        const std::string shown = std::string(s.name) + "a\"b (";
        EXPECT_TRUE(PumpUntil([&] { return ViewText(s.to).find(shown) != std::string::npos; }, 10000))
            << s.name << " the peer shows: " << ViewText(s.to).substr(0, 300);
        EXPECT_NE(ViewText(s.from).find(shown), std::string::npos) << s.name;

        EXPECT_TRUE(s.from.conversation().SendText(longest));
        const std::string whole = s.name + longest + " (";
        EXPECT_TRUE(PumpUntil([&] { return ViewText(s.to).find(whole) != std::string::npos; }, 10000))
            << s.name << " the longest text arrives whole";

        // One byte more is refused with the limit, and nothing is shown or sent.
        g_boxOwner = s.from.hwnd();
        g_boxText.clear();
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, AnswerChatBox);
        EXPECT_FALSE(s.from.conversation().SendText(longest + "E"));
        KillTimer(nullptr, timer);
        EXPECT_EQ(g_boxText, tovan::TooLongChatTextMessage());
        EXPECT_TRUE(s.from.conversation().SendText("next"));
        EXPECT_TRUE(PumpUntil([&] { return ViewText(s.to).find(std::string(s.name) + "next") != std::string::npos; },
                              10000));
        EXPECT_EQ(Count(ViewText(s.to), s.name + longest), 1u) << s.name;
        EXPECT_EQ(Count(ViewText(s.from), s.name + longest), 1u) << s.name;
    }
    DeleteFileA(a.recordFileName().c_str());
    DeleteFileA(b.recordFileName().c_str());
}

// A sound of this process plays now: a sound that may not stop another is
// refused while one plays (else it starts, and is stopped again here).
bool ASoundPlays() {
    if (!PlaySoundA(MAKEINTRESOURCEA(tovan::kSoundText), fw::Instance(),
                    SND_RESOURCE | SND_ASYNC | SND_NODEFAULT | SND_NOSTOP))
        return true;
    PlaySoundA(nullptr, nullptr, 0);
    return false;
}

// However a chat window is closed, its ring ends; another window's rings on.
TEST_F(ChatWindowTest, ClosingAWindowStopsItsRingOnly) {
    ASSERT_GT(waveOutGetNumDevs(), 0u) << "the ring needs a playback device (scripts/setup.sh gives a silent one)";
    RegisterChatControl(true);
    CChat ringing(Peer("ringing"), Owner()), quiet(Peer("quiet"), Owner());
    ASSERT_TRUE(ringing.Open());
    ASSERT_TRUE(quiet.Open());
    ringing.conversation().OnNewMessage("127.0.0.1", 4000, "!VOICE!");
    ASSERT_TRUE(ASoundPlays());

    SendMessageA(quiet.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(quiet.conversation().peer.closeRequested, 1);
    EXPECT_TRUE(ASoundPlays()) << "another window's close ended the ring";

    // The title bar's close, which the frame's sweep follows only later.
    SendMessageA(ringing.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(ringing.conversation().peer.closeRequested, 1);
    EXPECT_FALSE(ASoundPlays()) << "the ring plays on after the window was closed";

    // A window destroyed without a close (the frame ends) takes its ring along.
    {
        CChat gone(Peer("gone"), Owner());
        ASSERT_TRUE(gone.Open());
        gone.conversation().OnVoiceButton();
        ASSERT_TRUE(ASoundPlays());
    }
    EXPECT_FALSE(ASoundPlays()) << "the ring plays on after the window was destroyed";
}

// Voice on a machine without a microphone or speaker says so once in the
// view. Run with and without devices (the test's HOME decides what Wine has).
TEST_F(ChatWindowTest, VoiceWithoutASoundDeviceIsSaidOnce) {
    const bool devices = waveInGetNumDevs() > 0 && waveOutGetNumDevs() > 0;
    RegisterChatControl(true);
    CChat chat(Peer("voice"), Owner());
    ASSERT_TRUE(chat.Open());
    for (int i = 0; i < 2; ++i) {
        chat.conversation().OnNewMessage("127.0.0.1", 4000, "!ACCEPTVOICE!");
        chat.conversation().OnVoiceButton();  // stops it again
    }
    const std::string text = ViewText(chat);
    EXPECT_EQ(Count(text, "与[voice]语音交谈中"), 2u) << text;
    EXPECT_EQ(Count(text, "本机没有可用的音频设备"), devices ? 0u : 1u) << (devices ? "devices" : "no device") << "\n"
                                                                      << text;
}

TEST_F(ChatWindowTest, F1OpensTheHelpOnTheChatTopic) {
    std::string built = "Z:" TOVAN_BUILT_HELP_FILE;
    for (char& c : built) {
        if (c == '/') c = '\\';
    }
    ASSERT_TRUE(CopyFileA(built.c_str(), help::HelpFilePath().c_str(), FALSE)) << built;
    RegisterChatControl(true);
    CChat chat(Peer("peer"), Owner());
    ASSERT_TRUE(chat.Open());
    // The viewer opens only for a context the help file maps to a topic.
    PostMessageA(GetDlgItem(chat.hwnd(), 1019), WM_KEYDOWN, VK_F1, 0x003B0001);
    EXPECT_TRUE(testutil::WaitForWindow("HH Parent", 10000));
    help::CloseAll();
    testutil::Pump(50);
    DeleteFileA(help::HelpFilePath().c_str());
}

}  // namespace
