#include "client/model/update_check.h"

#include <gtest/gtest.h>

#include "client/model/fake_profile_reader.h"
#include "updater/logic/update_files.h"

namespace tovan {
namespace {

const std::string kUpdateIni = "C:\\app\\update.ini";

TEST(UpdateCheckTest, ListItemsNameBeforeFirstBarVersionUpToNext) {
    const std::vector<ListedFile> files =
        ParseClientVersionList("TovanClient.exe|3,Vokar.ocx|2|x\r\n,|5,plain,a||7");
    ASSERT_EQ(files.size(), 5u);
    EXPECT_EQ(files[0].name, "TovanClient.exe");
    EXPECT_EQ(files[0].version, "3");
    EXPECT_EQ(files[1].name, "Vokar.ocx");
    EXPECT_EQ(files[1].version, "2");  // line break joined away, stops at the next "|"
    EXPECT_EQ(files[2].name, "");
    EXPECT_EQ(files[2].version, "5");
    EXPECT_EQ(files[3].name, "plain");
    EXPECT_EQ(files[3].version, "");
    EXPECT_EQ(files[4].name, "a");
    EXPECT_EQ(files[4].version, "");
}

TEST(UpdateCheckTest, GbkCharacterEndingInBarStaysWhole) {
    // "\x81|" is one GBK character (second byte 0x7C).
    const std::vector<ListedFile> files = ParseClientVersionList("a\x81|b.dll|4");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].name, "a\x81|b.dll");
    EXPECT_EQ(files[0].version, "4");
}

TEST(UpdateCheckTest, DecisionAgainstUpdateIni) {
    struct Case {
        const char* what;
        const char* list;
        const char* clientVersion;  // update.ini [TovanClient.exe] Version; null: absent
        bool due;
    };
    const Case cases[] = {
        {"library without a section: default 1 < 2", "TovanClient.exe|3,Vokar.ocx|2", "3", true},
        {"all current", "TovanClient.exe|3,Vokar.ocx|1", "3", false},
        {"program newer", "TovanClient.exe|4", "3", true},
        {"installed newer than listed", "TovanClient.exe|2", "3", false},
        {"-1 listed is newer than anything", "TovanClient.exe|-1", "2000000000", true},
        {"installed -1 is the newest of all", "TovanClient.exe|99", "-1", false},
        {"empty name never triggers", "|9,|8", nullptr, false},
        {"no version text reads 0", "Vokar.ocx", nullptr, false},
        {"empty list", "", nullptr, false},
        // What the updater never fetches is never due: the client would start
        // it again at every start.
        {"a name out of the folder", "sub\\x.dll|9,..\\a.dll|9,C:a.dll|9", nullptr, false},
        {"device names", "NUL|9,aux.dll|9,com1.txt|9,Nul.txt|9", nullptr, false},
        {"a device beside a real update", "NUL|9,Vokar.ocx|2", nullptr, true},
        {"the updater itself is fetched", "TvUpdate.exe|2", nullptr, true},
    };
    for (const Case& c : cases) {
        FakeProfileReader ini;
        if (c.clientVersion) ini.Set(kUpdateIni, "TovanClient.exe", "Version", c.clientVersion);
        EXPECT_EQ(UpdateIsDue(c.list, ini, kUpdateIni), c.due) << c.what;
    }
}

}  // namespace
}  // namespace tovan
