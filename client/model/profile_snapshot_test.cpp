#include "client/model/profile_snapshot.h"

#include <gtest/gtest.h>

#include "client/model/fake_profile_reader.h"

namespace tovan {
namespace {

constexpr const char kFile[] = "C:\\app\\area.ini";

// Names, values and cuts as the platform reads them; the same file is read
// through the platform in the Windows tier (client_controls_test).
TEST(ProfileSnapshotTest, ReadsAsThePlatformDoes) {
    FakeProfileReader fallback;
    const std::string text =
        "orphan=before any section\r\n"
        "[全国省城]\r\n"
        "SF=河北省\\山西省\\\r\n"
        "  [河北省]  \r\n"
        "CS = 石家庄市\\唐山市\\ \t\r\n"
        "XIAN\r\n"
        "XIAN=after the bare key\r\n"
        "Quoted=\"a b\"\r\n"
        "Half=\"x\r\n"
        "[河北省]\n"
        "Later=only in the second section\n"
        "[ spaced ]\n"
        "k=v\n"
        "[\xB0\x41]\n"  // a GBK character whose second byte is "A"
        "k=upper\n"
        "[\xB0\x61]\n"
        "k=lower\n";
    ProfileSnapshot ini(kFile, text, fallback);
    struct Case { const char* section; const char* key; const char* def; std::size_t buffer; const char* want; };
    const Case cases[] = {
        {"全国省城", "SF", "", 2000, "河北省\\山西省\\"},
        {"全国省城", "sf", "", 2000, "河北省\\山西省\\"},        // keys ignore ASCII case
        {"河北省", "CS", "", 2000, "石家庄市\\唐山市\\"},        // blanks around names and values go
        {"河北省", "XIAN", "none", 2000, "none"},              // a key without "=" has no value
        {"河北省", "Quoted", "", 2000, "a b"},
        {"河北省", "Half", "", 2000, "\"x"},
        {"河北省", "Later", "missing ", 2000, "missing"},      // only the first section of a name
        {"河北省", "Absent", "  ", 2000, " "},                 // a default keeps its first character
        {"spaced", "k", "d", 2000, "v"},                       // blanks around section names go
        {" spaced ", "k", "d", 2000, "v"},
        {"\xB0\x41", "k", "", 2000, "upper"},
        {"\xB0\x61", "k", "", 2000, "lower"},
        {"", "orphan", "d", 2000, "before any section"},      // lines before a header: a nameless section
        {"全国省城", "SF", "", 15, "河北省\\山西省\\"},          // exactly fits its 14 bytes and the NUL
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + " / " + c.key);
        EXPECT_EQ(ini.ReadString(kFile, c.section, c.key, c.def, c.buffer), c.want);
    }
}

TEST(ProfileSnapshotTest, ReadsNumbersAsThePlatformDoes) {
    FakeProfileReader fallback;
    const std::string text =
        "[n]\r\nplain=12\r\nblank= 12\r\nplus=+7\r\nminus=-3\r\nhex=0x1F\r\nuphex=0X1F\r\nbin=0b101\r\n"
        "oct=0o17\r\ntail=12abc\r\nword=abc\r\nempty=\r\nquoted=\"5\"\r\nmax=4294967295\r\n"
        "wrap=4294967297\r\nhanzi=3号\r\n";
    ProfileSnapshot ini(kFile, text, fallback);
    struct Case { const char* key; int want; };
    const Case cases[] = {
        {"plain", 12}, {"blank", 12}, {"plus", 7}, {"minus", -3}, {"hex", 31}, {"uphex", 0}, {"bin", 5},
        {"oct", 15},   {"tail", 12},  {"word", 0}, {"empty", 99}, {"quoted", 5}, {"max", -1}, {"wrap", 1},
        {"hanzi", 3},  {"absent", 99},
    };
    for (const Case& c : cases) EXPECT_EQ(ini.ReadInt(kFile, "n", c.key, 99), c.want) << c.key;
}

TEST(ProfileSnapshotTest, LeavesToThePlatformWhatItCannotAnswerExactly) {
    FakeProfileReader fallback;
    fallback.Set(kFile, "s", "k", "platform");
    fallback.Set("other.ini", "s", "k", "other file");
    ProfileSnapshot ini(kFile, "[s]\r\nk=snapshot value\r\nn=12\r\n", fallback);
    EXPECT_EQ(ini.ReadString(kFile, "s", "k", "", 100), "snapshot value");
    EXPECT_EQ(ini.ReadString("other.ini", "s", "k", "", 100), "other file");
    EXPECT_EQ(ini.ReadString(kFile, "s", "k", "", 5), "plat") << "a value cut by its buffer";
    EXPECT_EQ(ini.ReadInt("other.ini", "s", "n", 7), 7);

    ProfileSnapshot unicode(kFile, "\xEF\xBB\xBF[s]\r\nk=snapshot\r\n", fallback);
    EXPECT_EQ(unicode.ReadString(kFile, "s", "k", "", 100), "platform");
}

}  // namespace
}  // namespace tovan
