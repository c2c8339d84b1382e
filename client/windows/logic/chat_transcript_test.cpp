#include "client/windows/logic/chat_transcript.h"

#include <gtest/gtest.h>

#include <string>

namespace tovan {
namespace {

std::tm Day(int y, int m, int d) {
    std::tm t = {};
    t.tm_year = y - 1900;
    t.tm_mon = m - 1;
    t.tm_mday = d;
    return t;
}

// True when the name, read character by character as the file system reads
// code page 936, has a single-byte separator, drive colon or wildcard.
bool LeavesTheFolderOrIsNoName(const std::string& name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 0x81 && c <= 0xFE) {
            const unsigned char t = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
            if (t < 0x40 || t == 0x7F || t == 0xFF) return true;
            ++i;
            continue;
        }
        if (c < 0x20 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos) return true;
    }
    return false;
}

TEST(TranscriptNameTest, OrdinaryIdsKeepTheirName) {
    const std::tm day = Day(2026, 12, 8);
    EXPECT_EQ(TranscriptFileName("C:\\Tovan\\", "abc", day), "C:\\Tovan\\abc26-12-08.rtf");
    EXPECT_EQ(TranscriptFileName("C:\\Tovan\\", "物流王", day), "C:\\Tovan\\物流王26-12-08.rtf");
    // Second bytes 0x5C and 0x7C belong to their characters.
    EXPECT_EQ(TranscriptIdPart("\xB1\x5C\xD5\x7C"), "\xB1\x5C\xD5\x7C");
    EXPECT_EQ(TranscriptIdPart("a.b-c_d 1"), "a.b-c_d 1");
}

TEST(TranscriptNameTest, HostileIdsStayAFileNameInTheFolder) {
    const struct { std::string id, part; } cases[] = {
        {"..\\..\\Windows\\evil", "..%5C..%5CWindows%5Cevil"},
        {"../x", "..%2Fx"},
        {"C:\\x", "C%3A%5Cx"},
        {"a*?\"<>|b", "a%2A%3F%22%3C%3E%7Cb"},
        {std::string("a\nb\0c", 5), "a%0Ab%00c"},
        {"50%", "50%25"},
        {"x\xB1", "x%B1"},          // a lead byte at the end
        {"\xB1/", "%B1%2F"},        // a lead byte before a byte that cannot follow it
        {"\x80\xFF", "%80%FF"},
        {"CON.", "%43ON."},
        {"nul .x", "%6Eul .x"},
        {"com3.a", "%63om3.a"},
        {"CONSOLE.", "CONSOLE."},
        {"CON", "CON"},             // the date follows directly: no device
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TranscriptIdPart(c.id), c.part);
        EXPECT_FALSE(LeavesTheFolderOrIsNoName(TranscriptIdPart(c.id))) << c.part;
    }
    // Different ids never share a file.
    EXPECT_NE(TranscriptIdPart("a/b"), TranscriptIdPart("a%2Fb"));
}

TEST(TranscriptNameTest, HistoryCoversSixtyDaysOldestFirst) {
    auto utc = [](std::int64_t t) {
        const std::time_t tt = static_cast<std::time_t>(t);
        return *std::gmtime(&tt);
    };
    const std::int64_t now = 1796731200;  // 2026-12-08 12:00 UTC
    const std::vector<std::string> names = HistoryFileNames("D:\\", "abc", now, utc);
    ASSERT_EQ(names.size(), 60u);
    EXPECT_EQ(names.front(), "D:\\abc26-10-10.rtf");
    EXPECT_EQ(names[58], "D:\\abc26-12-07.rtf");
    EXPECT_EQ(names.back(), "D:\\abc26-12-08.rtf");
}

TEST(PhotoAddressTest, EveryByteAsTwoUpperCaseHexDigits) {
    EXPECT_EQ(PhotoAddress("http://h", "ab"), "http://h/userphoto.asp?user=6162");
    EXPECT_EQ(PhotoAddress("http://h", "物"), "http://h/userphoto.asp?user=CEEF");
    EXPECT_EQ(PhotoAddress("", "a\n"), "61 A");
}

}  // namespace
}  // namespace tovan
