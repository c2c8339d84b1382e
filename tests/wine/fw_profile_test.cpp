// Profile helpers and the program folder keep the platform's semantics.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "machine_identifier.h"
#include "profile.h"
#include "program_path.h"
#include "session_settings.h"
#include "win_profile_reader.h"

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
