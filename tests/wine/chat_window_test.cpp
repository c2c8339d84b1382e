// The chat window on its own: refused without a registered chat control, no
// window left behind; with the control, a peer id from the network that
// names other folders still writes its transcript inside the program folder,
// and a second window of the same peer and day goes on with the same file; a
// transcript that cannot be written is said once in the conversation. And the
// frame's chat windows, which speak with the account of the latest logon.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <richedit.h>

#include <cstdio>
#include <string>
#include <vector>

#include "client/core/main_frame.h"
#include "client/windows/chat_dlg.h"
#include "client/windows/logic/chat_transcript.h"
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
