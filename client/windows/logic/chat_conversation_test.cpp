#include "client/windows/logic/chat_conversation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tovan {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Every call of the control, the window and the relay, in one log.
struct Recorder : ChatControl, ChatSurface, Outbox {
    void Bind(long port) override { Put("Bind " + std::to_string(port)); }
    void AddChater(const std::string& ip, long port) override { Put("AddChater " + At(ip, port)); }
    void AcceptChater(const std::string& ip, long port) override { Put("AcceptChater " + At(ip, port)); }
    void QueryForeignAddress(const std::string& s) override { Put("Query " + s); }
    void SendShortMessage(const std::string& ip, long port, const std::string& m) override {
        Put("Short " + At(ip, port) + " " + m);
    }
    void StartVoice() override {
        Put("StartVoice");
        if (onStartVoice) onStartVoice();
    }
    void StopVoice() override { Put("StopVoice"); }
    std::string LocalAddress() override { return "10.0.0.5"; }
    long LocalPort() override { return 4100; }
    void RemoveAllChaters() override { Put("RemoveAll"); }

    void AddLine(const std::string& t, std::uint32_t c) override { Put(Colour(c) + " " + t); }
    void AddVoiceQuestion(const std::string& name) override { Put("question " + name); }
    void SetTitle(const std::string& t) override { Put("title " + t); }
    void EnableInput() override { Put("enable"); }
    void SetVoiceButtonText(const std::string& t) override { Put("button " + t); }
    void Play(int id, bool loop) override { Put("sound " + std::to_string(id) + (loop ? " loop" : "")); }
    void StopSound() override { Put("stop sound"); }
    bool HasSoundDevices() override { return soundDevices; }
    void SetTimer(unsigned id, unsigned ms) override { Put("timer " + std::to_string(id) + " " + std::to_string(ms)); }
    void KillTimer(unsigned id) override { Put("kill " + std::to_string(id)); }
    bool AppendTranscript(const std::string& l, std::uint32_t c) override {
        Put("file " + Colour(c) + " " + l);
        return transcriptWorks;
    }
    void ShowError(const std::string& t) override { Put("box " + t); }
    std::string Now() override { return "26-12-08 10:00:00"; }

    // The session's outbox: a line whose send fails is queued.
    void Send(const std::string& line) override {
        Put("send " + line);
        if (!sendWorks) Put("queue " + line);
    }
    void DropQueuedListRequests() override {}

    static std::string At(const std::string& ip, long port) { return ip + ":" + std::to_string(port); }
    static std::string Colour(std::uint32_t c) {
        return c == kSystemLineColour ? "red" : c == kPeerTextColour ? "blue" : c == kOwnTextColour ? "black" : "?";
    }
    void Put(const std::string& s) { log.push_back(s); }
    std::vector<std::string> Take() { return std::exchange(log, {}); }

    std::vector<std::string> log;
    bool sendWorks = true;
    bool transcriptWorks = true;
    bool soundDevices = true;
    std::function<void()> onStartVoice;
};

class ChatConversationTest : public ::testing::Test {
protected:
    ChatConversationTest() {
        frame.contactName = "张建国";
        frame.ownUserId = "test";
        frame.serverHost = "127.0.0.1";
        chat.peer.peerUserId = chat.peer.peerName = "peer";
    }
    // The name exchange done: connected and the peer's name known.
    void Connected() {
        chat.OnPeerAdd("1.2.3.4", 5000);
        chat.OnNewMessage("1.2.3.4", 5000, "!ANAME!~李明");
        r.Take();
    }
    Recorder r;
    FixedChatValues frame;
    int voiceBusy = 0;
    ChatConversation chat{r, r, r, frame, voiceBusy};
};

TEST_F(ChatConversationTest, InitiatorAsksForItsAddressThenSendsTheRequest) {
    chat.peer.initiatedLocally = 1;
    chat.Start();
    EXPECT_THAT(r.Take(), ElementsAre("Bind 0", "Query 127.0.0.1", "timer 1 10000"));
    chat.OnNotifyAddress("8.8.8.8", 7000);
    EXPECT_THAT(r.Take(), ElementsAre("send !ADDCHATER!|peer|8.8.8.8|7000|10.0.0.5|4100^"));
    // A later change of the public address repeats it; a failed send is queued.
    r.sendWorks = false;
    chat.OnNotifyAddress("8.8.8.9", 7002);
    EXPECT_THAT(r.Take(), ElementsAre("send !ADDCHATER!|peer|8.8.8.9|7002|10.0.0.5|4100^",
                                      "queue !ADDCHATER!|peer|8.8.8.9|7002|10.0.0.5|4100^"));
}

TEST_F(ChatConversationTest, AnsweringSideAddsBothPeerAddressesAndAnswers) {
    chat.peer.peerPublicAddress = "1.2.3.4";
    chat.peer.peerPublicPort = 5000;
    chat.peer.peerLocalAddress = "192.168.0.9";
    chat.peer.peerLocalPort = 5001;
    chat.Start();
    EXPECT_THAT(r.Take(), ElementsAre("Bind 0", "Query 127.0.0.1", "timer 1 10000", "sound 167"));
    chat.OnNotifyAddress("8.8.8.8", 7000);
    EXPECT_THAT(r.Take(), ElementsAre("AddChater 192.168.0.9:5001", "AddChater 1.2.3.4:5000",
                                      "send !BDDCHATER!|peer|8.8.8.8|7000|10.0.0.5|4100^"));
    // A relayed answer on an unconnected window: same address twice is asked once.
    chat.peer.peerLocalAddress = "1.2.3.4";
    chat.peer.peerLocalPort = 5000;
    chat.AddPeerAddresses();
    EXPECT_THAT(r.Take(), ElementsAre("AddChater 1.2.3.4:5000"));
    chat.peer.connected = 1;
    chat.AddPeerAddresses();
    EXPECT_THAT(r.Take(), IsEmpty());
}

TEST_F(ChatConversationTest, HandshakeEventsActOnlyWhileNotConnected) {
    chat.OnPeerAdd("1.2.3.4", 5000);
    EXPECT_THAT(r.Take(), ElementsAre("RemoveAll", "AcceptChater 1.2.3.4:5000", "kill 1"));
    EXPECT_EQ(chat.peer.connected, 1);
    chat.OnPeerAdd("1.2.3.4", 5000);
    chat.OnPeerAccept("1.2.3.4", 5000);
    EXPECT_THAT(r.Take(), IsEmpty());

    chat.peer.connected = 0;
    chat.OnPeerAccept("1.2.3.4", 5000);
    EXPECT_THAT(r.Take(), ElementsAre("kill 1", "Short 1.2.3.4:5000 !ANAME!~张建国"));
    EXPECT_EQ(chat.peer.connected, 1);
}

// The peer-text table: each message, the state it meets, what the window does.
TEST_F(ChatConversationTest, PeerTextTable) {
    struct Case {
        const char* msg;
        int voiceBusy;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"!ANAME!~李明", 0,
         {"Short 1.2.3.4:5000 !BNAME!~张建国", "title 与 李明 交谈中", "enable", "red [李明]与您热烈交谈中\r\n"}},
        {"!ANAME!~", 0,
         {"Short 1.2.3.4:5000 !BNAME!~张建国", "title 与 peer 交谈中", "enable", "red [peer]与您热烈交谈中\r\n"}},
        {"!BNAME!~李明", 0, {"title 与 李明 交谈中", "enable", "red [李明]与您热烈交谈中\r\n"}},
        {"!ANAME!x", 0,
         {"Short 1.2.3.4:5000 !BNAME!~张建国", "title 与 peer 交谈中", "enable", "red [peer]与您热烈交谈中\r\n"}},
        {"!anAME!~x", 0,
         {"sound 164", "blue [peer]!anAME!~x (26-12-08 10:00:00)\r\n",
          "file blue [peer]!anAME!~x (26-12-08 10:00:00)\r\n"}},
        {"!VOICE!", 0, {"sound 177 loop", "timer 6 40000", "question peer"}},
        {"!VOICE!", 1,
         {"Short :0 !BUSYVOICE!", "red [peer]试图与您语音交谈失败\r\n", "StopVoice", "button 语音交谈"}},
        {"!BUSYVOICE!", 0, {"stop sound", "kill 6", "red [peer]正忙，请稍后再试\r\n", "StopVoice", "button 语音交谈"}},
        {"!ACCEPTVOICE!", 0, {"stop sound", "kill 6", "red 与[peer]语音交谈中\r\n", "StartVoice"}},
        {"!REJECTVOICE!", 0, {"stop sound", "kill 6", "red [peer]拒绝与您语音交谈\r\n", "StopVoice", "button 语音交谈"}},
        {"!ERRVOICE!", 0,
         {"stop sound", "kill 6", "red [peer]目前无法与您语音交谈,请稍后再试\r\n", "StopVoice", "button 语音交谈"}},
        {"!STOPVOICE!", 0, {"stop sound", "kill 6", "red [peer]已中止语音交谈\r\n", "StopVoice", "button 语音交谈"}},
        // Voice words count only as the whole message.
        {"!VOICE! ", 0,
         {"sound 164", "blue [peer]!VOICE!  (26-12-08 10:00:00)\r\n",
          "file blue [peer]!VOICE!  (26-12-08 10:00:00)\r\n"}},
        {"你好", 0,
         {"sound 164", "blue [peer]你好 (26-12-08 10:00:00)\r\n", "file blue [peer]你好 (26-12-08 10:00:00)\r\n"}},
        {"", 0, {"sound 164", "blue [peer] (26-12-08 10:00:00)\r\n", "file blue [peer] (26-12-08 10:00:00)\r\n"}},
    };
    for (const Case& c : cases) {
        Recorder rec;
        int busy = c.voiceBusy;
        ChatConversation w{rec, rec, rec, frame, busy};
        w.peer.peerUserId = w.peer.peerName = "peer";
        w.OnNewMessage("1.2.3.4", 5000, c.msg);
        EXPECT_EQ(rec.log, c.expected) << c.msg << " busy " << c.voiceBusy;
    }
}

TEST_F(ChatConversationTest, NameExchangeSetsConnectedOnlyOnTheAnswerAndFlushesPendingText) {
    chat.OnNewMessage("1.2.3.4", 5000, "!ANAME!~李明");
    EXPECT_EQ(chat.peer.connected, 0);
    EXPECT_EQ(chat.peer.peerName, "李明");
    chat.pendingText = "还在吗";
    r.Take();
    chat.OnNewMessage("1.2.3.4", 5000, "!BNAME!~李明");
    EXPECT_EQ(chat.peer.connected, 1);
    EXPECT_EQ(r.Take().back(), "Short :0 还在吗");
    EXPECT_EQ(chat.pendingText, "");
    // A long name is taken whole; the control cut it to its datagram.
    const std::string longName(3000, 'n');
    chat.OnNewMessage("1.2.3.4", 5000, "!ANAME!~" + longName);
    EXPECT_EQ(chat.peer.peerName, longName);
}

TEST_F(ChatConversationTest, SendingTextTrimsRefusesEmptyAndRepeatsTheRequestWhenNotConnected) {
    EXPECT_FALSE(chat.SendText(" \r\n\t "));
    EXPECT_THAT(r.Take(), ElementsAre("box 不能发送空信息"));

    Connected();
    EXPECT_TRUE(chat.SendText("  运费多少 明天 \r\n"));
    EXPECT_THAT(r.Take(), ElementsAre("black [张建国]运费多少 明天 (26-12-08 10:00:00)\r\n",
                                      "Short :0 运费多少 明天",
                                      "file black [张建国]运费多少 明天 (26-12-08 10:00:00)\r\n"));

    chat.OnPeerClose();
    EXPECT_THAT(r.Take(), ElementsAre("kill 1", "stop sound", "kill 6", "sound 167",
                                      "red [李明]终止了与您的交谈。\r\n"));
    EXPECT_TRUE(chat.SendText("在吗"));
    EXPECT_THAT(r.Take(), ElementsAre("black [张建国]在吗 (26-12-08 10:00:00)\r\n", "Short :0 在吗",
                                      "file black [张建国]在吗 (26-12-08 10:00:00)\r\n",
                                      "send !ADDCHATER!|peer||0||0^"));
    EXPECT_EQ(chat.pendingText, "在吗");
    EXPECT_EQ(chat.peer.peerName, "peer");
}

// The peer's control takes a message up to its first "|" and one datagram
// at most: the text is settled before it is shown, so that the own view and
// transcript show what the peer gets, or nothing is sent and the user is told
// the limit.
TEST_F(ChatConversationTest, SentTextIsWhatThePeerReceives) {
    Connected();
    std::string longestChinese;
    while (longestChinese.size() + 2 <= 1997) longestChinese += "长";
    const std::string tooLong = "信息太长,每条信息最多1997个字节(998个汉字),请分几次发送";
    struct Case {
        std::string typed;
        std::string sent;  // empty: refused
    };
    const Case cases[] = {
        {"a|b", "a\"b"},
        {"|运费\x81|多少|", "\"运费\"多少\""},  // a character whose second byte is "|" too
        {std::string(1997, 'x'), std::string(1997, 'x')},
        {longestChinese + "a", longestChinese + "a"},
        {std::string(1998, 'x'), ""},
        {longestChinese + "长", ""},
        {" " + std::string(1997, 'x') + " ", std::string(1997, 'x')},  // counted after the trim
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chat.SendText(c.typed), !c.sent.empty()) << c.typed.size();
        const std::string line = "[张建国]" + c.sent + " (26-12-08 10:00:00)\r\n";
        if (c.sent.empty()) {
            EXPECT_THAT(r.Take(), ElementsAre("box " + tooLong)) << c.typed.size();
        } else {
            EXPECT_THAT(r.Take(), ElementsAre("black " + line, "Short :0 " + c.sent, "file black " + line))
                << c.typed;
        }
    }

    // Not connected: the cleaned text waits for the next name exchange.
    chat.peer.connected = 0;
    EXPECT_TRUE(chat.SendText("明天|后天"));
    EXPECT_EQ(chat.pendingText, "明天\"后天");

    // The own name in the name exchange, both ways.
    frame.contactName = "张|建国";
    chat.OnPeerAccept("1.2.3.4", 5000);
    chat.OnNewMessage("1.2.3.4", 5000, "!ANAME!~李明");
    std::vector<std::string> names;
    for (const std::string& entry : r.Take())
        if (entry.find("NAME!") != std::string::npos) names.push_back(entry);
    EXPECT_THAT(names, ElementsAre("Short 1.2.3.4:5000 !ANAME!~张\"建国", "Short 1.2.3.4:5000 !BNAME!~张\"建国"));
}

// A transcript that cannot be written is said once; the conversation goes on.
TEST_F(ChatConversationTest, TranscriptFailureIsSaidOnce) {
    Connected();
    r.transcriptWorks = false;
    EXPECT_TRUE(chat.SendText("一"));
    EXPECT_THAT(r.Take(), ElementsAre("black [张建国]一 (26-12-08 10:00:00)\r\n", "Short :0 一",
                                      "file black [张建国]一 (26-12-08 10:00:00)\r\n",
                                      std::string("red ") + kTranscriptFailedLine));
    chat.OnNewMessage("1.2.3.4", 5000, "二");
    EXPECT_THAT(r.Take(), ElementsAre("sound 164", "blue [李明]二 (26-12-08 10:00:00)\r\n",
                                      "file blue [李明]二 (26-12-08 10:00:00)\r\n"));
    r.transcriptWorks = true;
    EXPECT_TRUE(chat.SendText("三"));
    EXPECT_EQ(r.Take().size(), 3u);
}

TEST_F(ChatConversationTest, VoiceButtonRequestsStopsAndRefusesASecondConversation) {
    Connected();
    chat.OnVoiceButton();
    EXPECT_THAT(r.Take(), ElementsAre("Short :0 !VOICE!", "red 与[李明]语音交谈的请求已发送,请等待回应\r\n",
                                      "button 关闭语音", "sound 177 loop", "timer 6 40000"));
    chat.OnVoiceButton();
    EXPECT_THAT(r.Take(), ElementsAre("StopVoice", "Short :0 !STOPVOICE!", "red 已停止与[李明]的语音交谈\r\n",
                                      "button 语音交谈", "stop sound", "kill 6"));
    voiceBusy = 1;  // another window talks
    chat.OnVoiceButton();
    EXPECT_THAT(r.Take(), ElementsAre("red 您不能同时与多人语音交谈\r\n"));
}

TEST_F(ChatConversationTest, AcceptedVoiceThatCannotStartTellsThePeer) {
    Connected();
    EXPECT_FALSE(chat.AnswerVoiceRequest(true));  // no request waits
    chat.OnNewMessage("1.2.3.4", 5000, "!VOICE!");
    r.Take();
    // The control reports the failure from within StartVoice.
    r.onStartVoice = [&] { chat.OnVoiceError(); };
    EXPECT_TRUE(chat.AnswerVoiceRequest(true));
    EXPECT_THAT(r.Take(), ElementsAre("button 关闭语音", "Short :0 !ACCEPTVOICE!", "StartVoice", "button 语音交谈",
                                      "red 您目前无法进行语音交谈,可能您与其他用户正在语音交谈中或音频设备错误\r\n",
                                      "Short :0 !ERRVOICE!", "stop sound", "kill 6", "stop sound", "kill 6"));
    EXPECT_EQ(chat.voiceRequestPending, 0);
    EXPECT_EQ(chat.voiceButtonText(), "语音交谈");
    EXPECT_EQ(voiceBusy, 0);

    chat.OnNewMessage("1.2.3.4", 5000, "!VOICE!");
    r.Take();
    EXPECT_TRUE(chat.AnswerVoiceRequest(false));
    EXPECT_THAT(r.Take(), ElementsAre("Short :0 !REJECTVOICE!", "stop sound", "kill 6"));
}

TEST_F(ChatConversationTest, VoiceFlagsFollowStartStopAndAreClearedByCloseAndTimeout) {
    chat.OnVoiceStart();
    EXPECT_EQ(voiceBusy, 1);
    chat.OnTimer(kPeerWaitTimer);
    EXPECT_EQ(voiceBusy, 0);
    EXPECT_EQ(chat.voiceOn, 0);
    EXPECT_THAT(r.Take(), ElementsAre("kill 1", "red 对方无响应。\r\n"));
    chat.peer.initiatedLocally = 1;
    chat.OnTimer(kPeerWaitTimer);
    EXPECT_THAT(r.Take(), ElementsAre("kill 1", "red 对方不在线。\r\n"));
    chat.OnTimer(kRingTimer);
    EXPECT_THAT(r.Take(), ElementsAre("stop sound", "kill 6"));

    // Another window's conversation is not this window's to clear.
    voiceBusy = 1;
    chat.Close();
    EXPECT_EQ(voiceBusy, 1);
    EXPECT_EQ(chat.peer.closeRequested, 1);
    chat.OnVoiceStart();
    chat.Close();
    EXPECT_EQ(voiceBusy, 0);
}

// Every way of closing (button 2, Esc, the title bar's close) ends the ring
// at once: the window and its ring timer go only later, with the frame's sweep.
TEST_F(ChatConversationTest, ClosingStopsTheRing) {
    Connected();
    chat.OnNewMessage("1.2.3.4", 5000, "!VOICE!");
    EXPECT_THAT(r.Take(), ElementsAre("sound 177 loop", "timer 6 40000", "question 李明"));
    chat.Close();
    EXPECT_THAT(r.Take(), ElementsAre("stop sound", "kill 6"));
}

// Voice on a machine without a microphone or speaker is silent: the window
// says so once, whichever side started it, and voice starts all the same.
TEST_F(ChatConversationTest, VoiceWithoutASoundDeviceIsSaidOnce) {
    Connected();
    r.soundDevices = false;
    chat.OnNewMessage("1.2.3.4", 5000, "!ACCEPTVOICE!");
    EXPECT_THAT(r.Take(), ElementsAre("stop sound", "kill 6", "red 与[李明]语音交谈中\r\n",
                                      std::string("red ") + kNoSoundDeviceLine, "StartVoice"));
    chat.OnNewMessage("1.2.3.4", 5000, "!VOICE!");
    r.Take();
    EXPECT_TRUE(chat.AnswerVoiceRequest(true));
    EXPECT_THAT(r.Take(), ElementsAre("button 关闭语音", "Short :0 !ACCEPTVOICE!", "StartVoice", "stop sound", "kill 6"));

    ChatConversation withDevices{r, r, r, frame, voiceBusy};
    withDevices.peer.peerName = "peer";
    r.soundDevices = true;
    withDevices.OnNewMessage("1.2.3.4", 5000, "!ACCEPTVOICE!");
    EXPECT_THAT(r.Take(), ElementsAre("stop sound", "kill 6", "red 与[peer]语音交谈中\r\n", "StartVoice"));
}

TEST_F(ChatConversationTest, BindErrorTellsTheUserAndAsksToBeClosed) {
    chat.peer.connected = 1;
    chat.OnBindError();
    EXPECT_THAT(r.Take(), ElementsAre("box 由于网络错误,窗口即将关闭"));
    EXPECT_EQ(chat.peer.connected, 0);
    EXPECT_EQ(chat.peer.closeRequested, 1);
}

}  // namespace
}  // namespace tovan
