// Profile helpers and the program folder keep the platform's semantics.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "client/core/machine_identifier.h"
#include "fw/profile.h"
#include "fw/program_path.h"
#include "client/model/session_settings.h"
#include "client/controls/win_profile_reader.h"
#include "client/model/profile_snapshot.h"

namespace {

TEST(ProfileTest, BufferSizeCutsAndDefaultsFillIn) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const std::string file = std::string(tmp) + "tovan_profile_test.ini";
    const std::string value(300, 'v');
    ASSERT_TRUE(fw::WriteProfileString(file, "Server", "Name", value.c_str()));
    ASSERT_TRUE(fw::WriteProfileString(file, "Server", "Port", "9100"));
    ASSERT_TRUE(fw::WriteProfileString(file, "区域", "名称", "石家庄市"));

    EXPECT_EQ(fw::ReadProfileString(file, "Server", "Name", "", 200), std::string(199, 'v'));
    EXPECT_EQ(fw::ReadProfileString(file, "Server", "Gone", "127.0.0.1", 200), "127.0.0.1");
    EXPECT_EQ(fw::ReadProfileString(file, "区域", "名称", "", 200), "石家庄市");
    EXPECT_EQ(fw::ReadProfileInt(file, "Server", "Port", 8000), 9100);
    EXPECT_EQ(fw::ReadProfileInt(file, "Server", "Gone", 8000), 8000);
    EXPECT_EQ(fw::ReadProfileInt(file + ".missing", "Server", "Port", 8000), 8000);
    DeleteFileA(file.c_str());
}

TEST(ProfileTest, BareFileNameMeansTheWindowsDirectory) {
    ASSERT_TRUE(fw::WriteProfileString("tovan_bare_test.ini", "User", "Name", "zhang"));
    char windir[MAX_PATH];
    GetWindowsDirectoryA(windir, MAX_PATH);
    const std::string full = std::string(windir) + "\\tovan_bare_test.ini";
    EXPECT_NE(GetFileAttributesA(full.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(fw::ReadProfileString(full, "User", "Name", "", 200), "zhang");
    DeleteFileA(full.c_str());
}

std::string TempFile(const char* name) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    return std::string(tmp) + name;
}

std::string FileBytes(const std::string& path) {
    std::string text;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
        std::fclose(f);
    }
    return text;
}

void PutFile(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

// Everything GetPrivateProfileString tells of a file: each section, each of
// its keys, each value.
std::string ReadableContents(const std::string& file) {
    std::vector<char> names(1 << 16);
    GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), file.c_str());
    std::string out;
    for (const char* s = names.data(); *s; s += std::strlen(s) + 1) {
        out += "[" + std::string(s) + "]";
        std::vector<char> keys(1 << 16);
        GetPrivateProfileStringA(s, nullptr, "", keys.data(), static_cast<DWORD>(keys.size()), file.c_str());
        for (const char* k = keys.data(); *k; k += std::strlen(k) + 1) {
            out += " " + std::string(k) + "=" + fw::ReadProfileString(file, s, k, "?", 1000);
        }
    }
    return out;
}

// The settings writer against the platform's own: after the same writes the
// platform reads the same sections, keys and values from both files.
TEST(ProfileTest, WritesReadBackLikeThePlatformsOwnWrites) {
    struct Write {
        const char* section;
        const char* key;
        const char* value;
    };
    struct Case {
        const char* before;
        std::vector<Write> writes;
    };
    const Case cases[] = {
        {"", {{"User", "Name", "张三"}, {"User", "Pass", ""}, {"ToolBar", "退出", "1"}, {"user", "NAME", "李四"}}},
        {"; 说明\r\n[User]\r\n  Name = zhang \r\nPass=x\r\n\r\n[Display]\nMin=0\n[关注]\nFrom=北京,上海",
         {{"关注", "From", "南京"}, {"关注", "To", "天津"}, {"Display", "Min", "1"}, {"User", "Pass", nullptr},
          {"Display", nullptr, nullptr}, {"LastArea", "Sheng", "河北省"}}},
        {"[A]\r\nk=1\r\n[B]\r\nk=2\r\n", {{"b", "K", "3"}, {"A", "x", nullptr}, {"C", nullptr, nullptr}}},
    };
    const std::string mine = TempFile("tovan_profile_mine.ini");
    const std::string theirs = TempFile("tovan_profile_theirs.ini");
    for (const Case& c : cases) {
        DeleteFileA(mine.c_str());
        DeleteFileA(theirs.c_str());
        if (*c.before) {
            PutFile(mine, c.before);
            PutFile(theirs, c.before);
        }
        for (const Write& w : c.writes) {
            EXPECT_TRUE(fw::WriteProfileString(mine, w.section, w.key, w.value));
            WritePrivateProfileStringA(w.section, w.key, w.value, theirs.c_str());
            EXPECT_EQ(ReadableContents(mine), ReadableContents(theirs)) << c.before << " / " << w.section;
        }
        // A file made from nothing has the platform's form.
        if (!*c.before) {
            EXPECT_EQ(FileBytes(mine), FileBytes(theirs));
        }
    }
    DeleteFileA(mine.c_str());
    DeleteFileA(theirs.c_str());
}

// A program killed in the middle of a settings write leaves the old or the
// new file: never an empty or cut one (it used to lose the account, the
// password and every setting).
TEST(ProfileTest, AWriterKilledMidWriteLeavesAWholeFile) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string child(self);
    child = child.substr(0, child.find_last_of('\\') + 1) + "profile_writer_child.exe";
    ASSERT_NE(GetFileAttributesA(child.c_str()), INVALID_FILE_ATTRIBUTES) << child;

    const std::string file = TempFile("tovan_profile_killed.ini");
    std::string text = "[User]\r\nName=test\r\nPass=secret\r\nTurn=0\r\n[Filler]\r\n";
    for (int i = 0; i < 4000; ++i) text += "K" + std::to_string(i) + "=" + std::string(100, 'x') + "\r\n";
    const std::string tail = "[Tail]\r\nLast=end\r\n";
    text += tail;

    const char* readyName = "TovanProfileWriterReady";
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, readyName);
    for (int round = 0; round < 8; ++round) {
        PutFile(file, text);
        ResetEvent(ready);
        std::string cmd = "\"" + child + "\" \"" + file + "\" " + readyName;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        ASSERT_TRUE(CreateProcessA(child.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &si, &pi));
        EXPECT_EQ(WaitForSingleObject(ready, 20000), WAIT_OBJECT_0);
        Sleep(static_cast<DWORD>(5 + 37 * round % 60));
        TerminateProcess(pi.hProcess, 9);
        WaitForSingleObject(pi.hProcess, 10000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);

        const std::string after = FileBytes(file);
        ASSERT_GE(after.size(), text.size() - 10) << "round " << round;
        EXPECT_EQ(after.compare(after.size() - tail.size(), tail.size(), tail), 0) << "round " << round;
        EXPECT_EQ(fw::ReadProfileString(file, "User", "Name", "", 200), "test");
        EXPECT_EQ(fw::ReadProfileString(file, "Filler", "K3999", "", 200), std::string(100, 'x'));
    }
    CloseHandle(ready);
    DeleteFileA(file.c_str());
    DeleteFileA((file + ".tmp").c_str());
}

// The in-memory reading of a profile file answers every read as the
// platform's own functions do on the same bytes.
TEST(ProfileSnapshotTest, AnswersAsThePlatformOnTheSameFile) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + "snapshot_test.ini";
    const std::string text =
        "orphan=before any section\r\n"
        "[全国省城]\r\n"
        "SF=河北省\\山西省\\\r\n"
        "  [河北省]  \r\n"
        "CS = 石家庄市\\唐山市\\ \t\r\n"
        "XIAN\r\n"
        "XIAN=after the bare key\r\n"
        "Quoted=\"a b\"\r\n"
        "Single='c'\r\n"
        "Half=\"x\r\n"
        "Empty=\r\n"
        "[河北省]\n"
        "Later=only in the second section\n"
        "[ spaced ]\n"
        "k=v\n"
        "[\xB0\x41]\n"
        "k=upper\n"
        "[\xB0\x61]\n"
        "k=lower\n"
        "[Case]\n"
        "MixedKey=m\n"
        "[broken\n"
        "after=broken header\n"
        "[n]\r\nplain=12\r\nblank= 12\r\nplus=+7\r\nminus=-3\r\nhex=0x1F\r\nuphex=0X1F\r\nbin=0b101\r\n"
        "oct=0o17\r\ntail=12abc\r\nword=abc\r\nempty=\r\nquoted=\"5\"\r\nmax=4294967295\r\n"
        "wrap=4294967297\r\nhanzi=3号\r\nlong=000000000000000000000000000000007\r\n";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    std::string bytes;
    ASSERT_TRUE(fw::ReadProfileFile(path, bytes));
    EXPECT_EQ(bytes, text);
    WinProfileReader platform;
    tovan::ProfileSnapshot snapshot(path, bytes, platform);
    struct Case { const char* section; const char* key; const char* def; std::size_t buffer; };
    const Case cases[] = {
        {"全国省城", "SF", "", 2000},    {"全国省城", "sf", "", 2000},     {"河北省", "CS", "", 2000},
        {"河北省", "XIAN", "d", 2000},  {"河北省", "Quoted", "", 2000},   {"河北省", "Single", "", 2000},
        {"河北省", "Half", "", 2000},   {"河北省", "Empty", "d", 2000},   {"河北省", "Later", "gone  ", 2000},
        {"河北省", "Absent", "  ", 2000}, {"spaced", "k", "d", 2000},     {" spaced ", "k", "d", 2000},
        {"\xB0\x41", "k", "", 2000},   {"\xB0\x61", "k", "", 2000},    {"", "orphan", "d", 2000},
        {"CASE", "mixedkey", "", 2000}, {"Case", "MixedKey", "", 3},      {"全国省城", "SF", "", 13},
        {"全国省城", "SF", "", 12},     {"broken", "after", "d", 2000},   {"Case", "after", "d", 2000},
        {"nowhere", "k", "default", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + " / " + c.key + " / " + std::to_string(c.buffer));
        EXPECT_EQ(snapshot.ReadString(path, c.section, c.key, c.def, c.buffer),
                  fw::ReadProfileString(path, c.section, c.key, c.def, c.buffer));
    }
    for (const char* key : {"plain", "blank", "plus", "minus", "hex", "uphex", "bin", "oct", "tail", "word", "empty",
                            "quoted", "max", "wrap", "hanzi", "long", "absent"}) {
        EXPECT_EQ(snapshot.ReadInt(path, "n", key, 99), fw::ReadProfileInt(path, "n", key, 99)) << key;
    }
    DeleteFileA(path.c_str());
}

TEST(ProgramPathTest, FolderEndsWithBackslashAndHoldsTheProgram) {
    const std::string folder = fw::ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    char self[2000];
    GetModuleFileNameA(nullptr, self, sizeof self);
    EXPECT_EQ(std::string(self).rfind(folder, 0), 0u);
    EXPECT_EQ(fw::ProgramFilePath("Config.ini"), folder + "Config.ini");
}

// The session's settings over the real profile functions: a missing
// Config.ini and dmr.ini give the defaults; dmr.ini is found in the Windows
// directory and its password is used only with automatic logon.
TEST(SessionSettingsTest, MissingFilesGiveDefaultsAndDmrIniLivesInTheWindowsDirectory) {
    char windir[MAX_PATH];
    GetWindowsDirectoryA(windir, MAX_PATH);
    const std::string dmr = std::string(windir) + "\\dmr.ini";
    if (GetFileAttributesA(dmr.c_str()) != INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "this prefix already has a dmr.ini";
    }
    WinProfileReader reader;
    const std::string config = fw::ProgramFilePath("tovan_missing_Config.ini");
    tovan::SessionSettings s = tovan::ReadSessionSettings(reader, config);
    EXPECT_EQ(s.serverHost, "127.0.0.1");
    EXPECT_EQ(s.serverPort, 8000);
    EXPECT_EQ(s.userName, "");
    EXPECT_EQ(s.password, "-");

    ASSERT_TRUE(fw::WriteProfileString(tovan::kUserIni, "User", "Name", "张三"));
    ASSERT_TRUE(fw::WriteProfileString(tovan::kUserIni, "User", "Pass", "secret"));
    s = tovan::ReadSessionSettings(reader, config);
    EXPECT_EQ(s.userName, "张三");
    EXPECT_EQ(s.password, "-");  // AutoLogon missing: 0
    ASSERT_TRUE(fw::WriteProfileString(tovan::kUserIni, "User", "AutoLogon", "1"));
    s = tovan::ReadSessionSettings(reader, config);
    EXPECT_EQ(s.password, "secret");
    DeleteFileA(dmr.c_str());
}

TEST(MachineIdentifierTest, HasOneOfTheTwoFormsInUpperCaseHex) {
    const std::string id = MachineIdentifier();
    ASSERT_TRUE(id.size() == 45 || id.size() == 33) << id;
    EXPECT_EQ(id[32], '-');
    for (std::size_t i = 0; i < id.size(); ++i) {
        if (i == 32) continue;
        EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(id[i])) || (id[i] >= 'A' && id[i] <= 'F'))
            << id;
    }
    EXPECT_EQ(id, MachineIdentifier());  // stable within a run
}

}  // namespace
