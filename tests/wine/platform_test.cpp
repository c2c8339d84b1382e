// The Windows tier itself: the programs run with code page 936, GBK literals
// survive the platform's conversions, and the portable logic works inside a
// Windows program.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "client/model/server_message.h"

namespace {

TEST(WinePlatformTest, AnsiCodePageIsGbk) {
    EXPECT_EQ(GetACP(), 936u);
}

TEST(WinePlatformTest, GbkRoundTripThroughUnicode) {
    const std::string gbk = "货车 程序已在运行中，请不要重复登录";  // GBK bytes from the literal
    ASSERT_EQ(static_cast<unsigned char>(gbk[0]), 0xBBu);        // "货" is BB F5 in GBK
    ASSERT_EQ(static_cast<unsigned char>(gbk[1]), 0xF5u);

    wchar_t wide[128] = {};
    int wn = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, gbk.c_str(), -1, wide, 128);
    ASSERT_GT(wn, 0);
    EXPECT_EQ(wide[0], L'\u8d27');  // 货
    EXPECT_EQ(wide[1], L'\u8f66');  // 车

    char back[256] = {};
    int bn = WideCharToMultiByte(CP_ACP, 0, wide, -1, back, sizeof back, nullptr, nullptr);
    ASSERT_GT(bn, 0);
    EXPECT_EQ(std::string(back), gbk);
}

int CALLBACK NoteFontFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FontFamilyListed(const char* face) {
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    HDC dc = CreateCompatibleDC(nullptr);
    bool found = false;
    EnumFontFamiliesExA(dc, &lf, NoteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    DeleteDC(dc);
    return found;
}

// Wine draws the caption buttons with Marlett; the programs ask for 宋体 by
// name, and the font dialog can only start from a face it lists.
TEST(WinePlatformTest, FacesAskedForByNameAreListed) {
    for (const char* face : {"Marlett", "宋体", "SimSun"}) {
        EXPECT_TRUE(FontFamilyListed(face)) << face;
    }
}

TEST(WinePlatformTest, FramerRunsInsideAWindowsProgram) {
    struct Count : tovan::ServerMessageHandler {
        int ok = 0, news = 0;
        void OnOk(const char*) override { ++ok; }
        void OnNewRecord(const char* m) override {
            ++news;
            EXPECT_EQ(tovan::SplitFields(m)[2], "货");
        }
    } h;
    tovan::ServerMessageFramer f;
    const std::string stream = "!OK!|a|b^!NEWRECORD!|1|货|x^LOOP^";
    for (char c : stream) f.Feed(&c, 1, h);
    EXPECT_EQ(h.ok, 1);
    EXPECT_EQ(h.news, 1);
    EXPECT_TRUE(f.Pending().empty());
}

}  // namespace
