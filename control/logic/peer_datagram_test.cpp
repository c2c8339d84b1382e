#include "control/logic/peer_datagram.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tovan {
namespace {

TEST(PeerDatagram, RecognizesCommandWordsInOrderIgnoringCase) {
    const struct {
        const char* text;
        PeerCommand want;
    } cases[] = {
        {"!NOOP!", PeerCommand::Noop},
        {"!noop!|x", PeerCommand::Noop},
        {"!YRADDR!|1.2.3.4|5", PeerCommand::YourAddress},
        {"!AddMe!|id|tag", PeerCommand::AddMe},
        {"!ADDVOICE!|id", PeerCommand::AddVoice},
        {"!bddvoice!|id", PeerCommand::BddVoice},
        {"!ADDACCEPT!|a|t|b", PeerCommand::AddAccept},
        {"!ADDREJECT!|a|t", PeerCommand::AddReject},
        {"!CLOSE!|id", PeerCommand::Close},
        {"!NEWMESSAGE!|id|hi", PeerCommand::NewMessage},
        {"!SERVERADDRESS!|1.2.3.4|5", PeerCommand::ServerAddress},
        {"!ADDME!trailing", PeerCommand::AddMe},  // a prefix is enough
        {"!P!", PeerCommand::None},
        {"!ADDM", PeerCommand::None},
        {" !NOOP!", PeerCommand::None},
        {"", PeerCommand::None},
        {"!MEADDRESS!", PeerCommand::None},
    };
    for (const auto& c : cases) EXPECT_EQ(RecognizePeerCommand(c.text), c.want) << c.text;
}

TEST(PeerDatagram, SplitsLikeTheTokenizer) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitPeerFields("!NEWMESSAGE!|id|a|b"), (V{"!NEWMESSAGE!", "id", "a", "b"}));
    EXPECT_EQ(SplitPeerFields("!X!||id|||t|"), (V{"!X!", "id", "t"}));
    EXPECT_EQ(SplitPeerFields("|||"), V{});
    EXPECT_EQ(SplitPeerFields(""), V{});
}

TEST(PeerDatagram, ComposesTheWireTextsByteForByte) {
    const std::string id = "0f8fad5b-d9cb-469f-a165-70867728950e";
    EXPECT_EQ(RequestTag("10.0.0.9", 4000), "10.0.0.9:4000");
    EXPECT_EQ(RequestTag("10.0.0.9", -1), "10.0.0.9:4294967295");  // "%u" of a long
    EXPECT_EQ(peer_text::AddMe(id, "10.0.0.9:4000"), "!ADDME!|" + id + "|10.0.0.9:4000");
    EXPECT_EQ(peer_text::AddAccept("req", "1.2.3.4:5", id), "!ADDACCEPT!|req|1.2.3.4:5|" + id);
    EXPECT_EQ(peer_text::AddReject("req", "1.2.3.4:5"), "!ADDREJECT!|req|1.2.3.4:5");
    EXPECT_EQ(peer_text::AddVoice(id), "!ADDVOICE!|" + id);
    EXPECT_EQ(peer_text::BddVoice(id), "!BDDVOICE!|" + id);
    EXPECT_EQ(peer_text::Close(id), "!CLOSE!|" + id);
    EXPECT_EQ(peer_text::NewMessage(id, "你好"), "!NEWMESSAGE!|" + id + "|你好");
    EXPECT_EQ(peer_text::AdminAddress("pw", "192.168.1.20", 5123), "!ADMINADDRESS!|pw|192.168.1.20|5123");
    EXPECT_EQ(peer_text::kMeAddress, "!MEADDRESS!");
    EXPECT_EQ(peer_text::kServerAddress, "!SERVERADDRESS!");
}

TEST(PeerDatagram, LongTextsAreCutAtACharacterBoundaryOrRefused) {
    const std::string id(36, 'a');
    // "!NEWMESSAGE!|" + id + "|" is 50 bytes: the double-byte characters
    // start on even offsets, so a cut at 2047 would split one.
    std::string msg;
    while (msg.size() < 3000) msg += "中";
    const std::string text = peer_text::NewMessage(id, msg);
    EXPECT_EQ(text.size(), 2047u - 1u);
    EXPECT_EQ(text.substr(text.size() - 2), "中");
    EXPECT_EQ(peer_text::NewMessage(id, std::string(3000, 'z')).size(), 2047u);

    // A message of kMaxShortMessage bytes is carried whole, a longer one is not.
    const std::string longest(kMaxShortMessage, 'z');
    EXPECT_EQ(peer_text::NewMessage(id, longest), "!NEWMESSAGE!|" + id + "|" + longest);
    EXPECT_EQ(peer_text::NewMessage(id, longest + "z"), "!NEWMESSAGE!|" + id + "|" + longest);

    // "!ADMINADDRESS!|" (15) + pass + "|1.2.3.4|" (9) + "5" = 199 bytes at most.
    EXPECT_EQ(peer_text::AdminAddress(std::string(174, 'p'), "1.2.3.4", 5).size(), 199u);
    EXPECT_EQ(peer_text::AdminAddress(std::string(175, 'p'), "1.2.3.4", 5), "");
}

}  // namespace
}  // namespace tovan
