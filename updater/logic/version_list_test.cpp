#include "updater/logic/version_list.h"

#include <gtest/gtest.h>

#include "updater/logic/update_plan.h"

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
                            "a\tb", "a.", "a ", "\x81\x40\\x" /* plain "\" after a GBK character */,
                            // devices, in any case, with any extension
                            "NUL", "nul.txt", "AUX.dll", "aux", "CON", "con.ini", "PRN", "prn.x.y",
                            "COM1", "com9.ocx", "LPT1", "lpt9.dll", "Nul .txt", "CONIN$", "conout$.a",
                            "CLOCK$",
                            // a lead byte whose next byte is no second byte stays apart from it
                            "\xB0:x.dll", "\xC3\x80\xB0:", "a\x81\x01", "a\x81"};
    for (const char* n : unsafe) EXPECT_FALSE(IsSafeUpdateFileName(n)) << n;
    // Names that only begin like a device are files.
    for (const char* n : {"NULL.dll", "nul_x.txt", "COM10", "LPT.dll", "console.exe", "xnul"})
        EXPECT_TRUE(IsSafeUpdateFileName(n)) << n;
}

TEST(UpdatePlanTest, StartByTheUpdaterIsToldByItsArgument) {
    EXPECT_TRUE(IsStartedByUpdater("\"C:\\Program Files\\T\\tovanclient.exe\" /updated"));
    EXPECT_TRUE(IsStartedByUpdater("C:\\T\\tovanclient.exe /UPDATED"));
    EXPECT_FALSE(IsStartedByUpdater("\"C:\\T\\tovanclient.exe\""));
    EXPECT_FALSE(IsStartedByUpdater("C:\\T\\tovanclient.exe"));
    EXPECT_FALSE(IsStartedByUpdater("\"C:\\x /updated\\tovanclient.exe\""));  // inside its own path
    EXPECT_FALSE(IsStartedByUpdater("C:\\T\\tovanclient.exe /updatedx"));
}

TEST(UpdatePlanTest, RecordDecision) {
    EXPECT_EQ(DecideRecord({"a.dll", "2"}, kDefaultInstalledVersion), RecordAction::Fetch);
    EXPECT_EQ(DecideRecord({"a.dll", "1"}, kDefaultInstalledVersion), RecordAction::Skip);
    EXPECT_EQ(DecideRecord({"..\\a.dll", "9"}, 1), RecordAction::RejectName);
    EXPECT_EQ(DecideRecord({"", ""}, 1), RecordAction::Skip);
    EXPECT_EQ(DecideRecord({"", "5"}, 1), RecordAction::RejectName);
}

TEST(UpdatePlanTest, TheUpdaterItselfIsInstalledBesideItself) {
    EXPECT_EQ(InstallName("TvUpdate.exe"), "TvUpdate.new");
    EXPECT_EQ(InstallName("tvupdate.EXE"), "TvUpdate.new");
    EXPECT_EQ(InstallName("TovanClient.exe"), "TovanClient.exe");
    EXPECT_EQ(DecideRecord({"TvUpdate.exe", "2"}, 1), RecordAction::Fetch);
}

TEST(UpdatePlanTest, OnlyAWhole2xxBodyOfKnownEndIsTaken) {
    const struct {
        const char* what;
        ReplyHead head;
        HeadVerdict verdict;
    } heads[] = {
        {"200 with a length", {200, true, 10, false}, HeadVerdict::ReadBody},
        {"206 with a length", {206, true, 10, false}, HeadVerdict::ReadBody},
        {"chunked: its end cannot be told", {200, false, 0, true}, HeadVerdict::Refuse},
        {"chunked beside a length", {200, true, 10, true}, HeadVerdict::Refuse},
        {"closed without a reply (status 0)", {0, false, 0, false}, HeadVerdict::Refuse},
        {"1xx", {101, true, 5, false}, HeadVerdict::Refuse},
        {"ended only by the closing", {200, false, 0, false}, HeadVerdict::Refuse},
        {"announced empty", {200, true, 0, false}, HeadVerdict::Refuse},
        {"announced too large", {200, true, kMaxUpdateFileBytes + 1, false}, HeadVerdict::Refuse},
        {"largest allowed", {200, true, kMaxUpdateFileBytes, false}, HeadVerdict::ReadBody},
        {"404", {404, true, 9, false}, HeadVerdict::NotServed},
        {"302", {302, false, 0, false}, HeadVerdict::NotServed},
    };
    for (const auto& c : heads) EXPECT_EQ(JudgeReplyHead(c.head), c.verdict) << c.what;

    const ReplyHead length{200, true, 100, false};
    EXPECT_TRUE(IsWholeBody(length, 100));
    EXPECT_FALSE(IsWholeBody(length, 99));   // cut short
    EXPECT_FALSE(IsWholeBody(length, 101));
    EXPECT_FALSE(IsWholeBody({200, false, 0, false}, 5));
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
