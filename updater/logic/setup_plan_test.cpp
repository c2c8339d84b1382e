#include "updater/logic/setup_plan.h"

#include <gtest/gtest.h>

namespace tovan {
namespace {

TEST(SetupPlanTest, CommandLine) {
    struct Case { std::vector<const char*> args; SetupCommand expected; };
    const Case cases[] = {
        {{"Brivet.exe"}, SetupCommand::Install},
        {{"Brivet.exe", "/u"}, SetupCommand::Uninstall},
        {{"Brivet.exe", "/u", "x"}, SetupCommand::Uninstall},
        {{"Brivet.exe", "/U"}, SetupCommand::Nothing},
        {{"Brivet.exe", "/ux"}, SetupCommand::Nothing},
        {{"Brivet.exe", ""}, SetupCommand::Nothing},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseSetupCommand(static_cast<int>(c.args.size()), c.args.data()), c.expected)
            << c.args.size();
    }
}

TEST(SetupPlanTest, NamesAndEntryPaths) {
    EXPECT_EQ(ShortcutName("货运通"), "货运通");
    EXPECT_EQ(ShortcutName(""), "Tovan客户端");
    EXPECT_EQ(ShortcutName("a\\b"), "Tovan客户端");
    EXPECT_EQ(ShortcutName("a/b"), "Tovan客户端");
    EXPECT_EQ(ShortcutName("\xCC\x5C"), "\xCC\x5C");  // "\" only as a GBK second byte
    EXPECT_EQ(SetupSettingsPath("C:\\Tovan\\"), "C:\\Tovan\\\\config.ini");
    EXPECT_EQ(ShortcutTarget("C:\\Tovan\\"), "C:\\Tovan\\tovanclient.exe");
    // unquoted, spaces and all
    EXPECT_EQ(UninstallCommand("C:\\Program Files\\Tovan\\"),
              "C:\\Program Files\\Tovan\\Brivet.exe /u");
}

TEST(SetupPlanTest, ShortcutFiles) {
    using P = std::vector<std::string>;
    EXPECT_EQ(ShortcutPaths(std::string("C:\\Documents and Settings\\All Users\\桌面"),
                            std::string("C:\\Documents and Settings\\All Users\\「开始」菜单\\程序"),
                            "货运"),
              (P{"C:\\Documents and Settings\\All Users\\桌面\\货运.lnk",
                 "C:\\Documents and Settings\\All Users\\「开始」菜单\\程序\\货运.lnk",
                 "C:\\Documents and Settings\\「开始」菜单\\程序\\货运.lnk"}));
    // no "\All Users": the programs shortcut once
    EXPECT_EQ(ShortcutPaths(std::string("C:\\D"), std::string("C:\\P"), "n"),
              (P{"C:\\D\\n.lnk", "C:\\P\\n.lnk"}));
    // a shell folder that could not be read gives no shortcut
    EXPECT_EQ(ShortcutPaths(std::nullopt, std::string("C:\\P"), "n"), (P{"C:\\P\\n.lnk"}));
    EXPECT_EQ(ShortcutPaths(std::string("C:\\D"), std::string(""), "n"), (P{"C:\\D\\n.lnk"}));
    EXPECT_EQ(WithoutAllUsers("X\\All Users\\Y\\All Users"), "X\\Y");
    EXPECT_EQ(WithoutAllUsers("X\\all users\\Y"), "X\\all users\\Y");  // exact text only
}

TEST(SetupPlanTest, UninstallDeletesLongNamesWithTheirBackupFirst) {
    const std::vector<std::string> entries = {".", "..", "a.b", "Vokar.ocx", "abcd",
                                              "表.t" /* 4 bytes, 3 characters */, "表格.t"};
    EXPECT_EQ(UninstallDeletions(entries, "C:\\T\\", "C:\\S\\tvbk\\"),
              (std::vector<std::string>{"C:\\S\\tvbk\\Vokar.ocx", "C:\\T\\Vokar.ocx",
                                        "C:\\S\\tvbk\\abcd", "C:\\T\\abcd",
                                        "C:\\S\\tvbk\\表格.t", "C:\\T\\表格.t"}));
}


TEST(SetupPlanTest, UninstallRunsOnlyInAnInstallation) {
    const std::vector<std::string> system = {"C:\\WINDOWS", "C:\\WINDOWS\\system32\\"};
    const std::vector<std::string> shell = {"C:\\Users\\li\\Desktop", "C:\\Users\\li\\Documents\\",
                                            "C:\\Program Files", "D:\\\x81\\"};
    const struct {
        const char* folder;
        bool client;
        UninstallPlace place;
    } cases[] = {
        {"C:\\Program Files\\Tovan\\", true, UninstallPlace::Installation},
        {"c:\\users\\li\\desktop\\Tovan\\", true, UninstallPlace::Installation},  // a folder of its own
        {"D:\\\x81\\\\x\\", true, UninstallPlace::Installation},
        {"C:\\", true, UninstallPlace::DriveRoot},
        {"d:/", true, UninstallPlace::DriveRoot},
        {"\\\\server\\share\\", true, UninstallPlace::DriveRoot},
        {"", true, UninstallPlace::DriveRoot},
        {"C:\\Windows\\", true, UninstallPlace::SystemFolder},
        {"C:\\windows\\System32\\", true, UninstallPlace::SystemFolder},
        {"C:\\WINDOWS\\Fonts\\", true, UninstallPlace::SystemFolder},
        {"C:\\Users\\LI\\Desktop\\", true, UninstallPlace::ShellFolder},
        {"C:\\Users\\li\\Documents", true, UninstallPlace::ShellFolder},
        {"c:/program files/", true, UninstallPlace::ShellFolder},
        {"D:\\\x81\\\\", true, UninstallPlace::ShellFolder},  // a character whose second byte is "\"
        {"D:\\\x81\\", true, UninstallPlace::ShellFolder},
        {"C:\\Downloads\\", false, UninstallPlace::NoClient},
        {"C:\\WINDOWSX\\", true, UninstallPlace::Installation},  // only begins like it
    };
    for (const auto& c : cases)
        EXPECT_EQ(JudgeUninstallFolder(c.folder, system, shell, c.client), c.place) << c.folder;
}

}  // namespace
}  // namespace tovan
