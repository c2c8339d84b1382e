#include "version_list.h"

#include <gtest/gtest.h>

#include "update_plan.h"

namespace tovan {
namespace {

using Records = std::vector<std::pair<std::string, std::string>>;

Records Parse(std::string_view body) {
    Records out;
    for (const VersionRecord& r : ParseVersionList(body)) out.emplace_back(r.name, r.version);
    return out;
}

TEST(VersionListTest, RecordsAndPieces) {
    struct Case { const char* body; Records expected; };
    const Case cases[] = {
        {"TovanClient.exe|3,Vokar.ocx|2", {{"TovanClient.exe", "3"}, {"Vokar.ocx", "2"}}},
        // two commas: the empty record between them is skipped
        {"a.dll|2,,b.dll|3,", {{"a.dll", "2"}, {"b.dll", "3"}}},
        // a record without "|": a name and an empty version
        {"a.dll", {{"a.dll", ""}}},
        // empty pieces are skipped, a leading "|" too; a third piece is ignored
        {"|a.dll||7|x", {{"a.dll", "7"}}},
        // lines are joined before the split, so a record may go on in the next line
        {"a.dll|1\r\n2,b.d\nll|004\r\n", {{"a.dll", "12"}, {"b.dll", "004"}}},
        // a record of separators only has no name
        {"|||,c|5", {{"", ""}, {"c", "5"}}},
        {"", {}},
        {",,,\r\n", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Parse(c.body), c.expected) << c.body;
}

TEST(VersionListTest, GbkSecondByteBarStaysInItsCharacter) {
    // "檀" is 0xCC 0x7C in GBK: its second byte is "|".
    const std::string name = "\xCC\x7C.dll";
    EXPECT_EQ(Parse(name + "|3"), (Records{{name, "3"}}));
}

TEST(VersionListTest, NewerComparesUnsigned32) {
    struct Case { std::uint32_t installed; const char* listed; bool newer; };
    const Case cases[] = {
        {1, "2", true},   {1, "1", false}, {3, "2", false},
        {1, "", false},   {0, "", false},  {1, "abc", false},  // no digits: 0
        {1, "0002", true}, {5, " 7x", true},
        {1, "-1", true},  {0xFFFFFFFEu, "-1", true}, {0xFFFFFFFFu, "-1", false},
        {0xFFFFFFFFu, "5", false},  // an installed "-1" is never updated again
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsNewerVersion(c.installed, c.listed), c.newer) << c.installed << " " << c.listed;
    }
    EXPECT_EQ(ListedVersion("-1"), 0xFFFFFFFFu);
    EXPECT_EQ(ListedVersion("99999999999999999999"), 0x7FFFFFFFu);  // saturates, no overflow
}

TEST(UpdatePlanTest, NamesThatLeaveTheProgramFolderAreRejected) {
    const char* safe[] = {"TovanClient.exe", "Vokar.ocx", "area.ini", "a", "x.y.z",
                          "\xCC\x5C.dll" /* "\" as a GBK second byte */, "\xD6\xD0\xCE\xC4.txt"};
    for (const char* n : safe) EXPECT_TRUE(IsSafeUpdateFileName(n)) << n;
    const char* unsafe[] = {"", "..", ".", "..\\evil.exe", "../evil.exe", "sub\\a.dll",
                            "sub/a.dll", "C:evil.exe", "C:\\Windows\\evil.exe",
                            "\\\\host\\share\\a", "a.dll:stream", "a..b", "*.dll", "a?",
                            "a\tb", "a.", "a ", "\x81\x40\\x" /* plain "\" after a GBK character */};
    for (const char* n : unsafe) EXPECT_FALSE(IsSafeUpdateFileName(n)) << n;
}

TEST(UpdatePlanTest, RecordDecision) {
    EXPECT_EQ(DecideRecord({"a.dll", "2"}, kDefaultInstalledVersion), RecordAction::Fetch);
    EXPECT_EQ(DecideRecord({"a.dll", "1"}, kDefaultInstalledVersion), RecordAction::Skip);
    EXPECT_EQ(DecideRecord({"..\\a.dll", "9"}, 1), RecordAction::RejectName);
    EXPECT_EQ(DecideRecord({"", ""}, 1), RecordAction::Skip);
    EXPECT_EQ(DecideRecord({"", "5"}, 1), RecordAction::RejectName);
}

TEST(UpdatePlanTest, DownloadFollowUpAndPaths) {
    struct Case { DownloadResult r; bool install; bool tell; };
    const Case cases[] = {
        {DownloadResult::Complete, true, false},      {DownloadResult::NotServed, false, false},
        {DownloadResult::RequestFailed, false, true}, {DownloadResult::Broken, false, true},
        {DownloadResult::Cancelled, false, false},
    };
    for (const Case& c : cases) {
        const DownloadFollowUp f = AfterDownload(c.r);
        EXPECT_EQ(f.install, c.install) << static_cast<int>(c.r);
        EXPECT_EQ(f.tellFailure, c.tell) << static_cast<int>(c.r);
    }
    EXPECT_FALSE(ShouldRecordVersion(false));
    EXPECT_EQ(DownloadPath("Vokar.ocx"), "/cab/Vokar.ocx");
    EXPECT_EQ(BackupFolder("C:\\WINDOWS\\system32"), "C:\\WINDOWS\\system32\\tvbk\\");
}

}  // namespace
}  // namespace tovan
