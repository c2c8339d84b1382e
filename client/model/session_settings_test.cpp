#include "client/model/session_settings.h"

#include <gtest/gtest.h>

#include "client/model/fake_profile_reader.h"

namespace tovan {
namespace {

const std::string kConfig = "C:\\Tovan\\Config.ini";

TEST(SessionSettingsTest, MissingFilesGiveTheDefaults) {
    FakeProfileReader none;
    const SessionSettings s = ReadSessionSettings(none, kConfig);
    EXPECT_EQ(s.serverHost, "127.0.0.1");
    EXPECT_EQ(s.serverPort, 8000);
    EXPECT_EQ(s.userName, "");
    EXPECT_EQ(s.password, "-");
}

TEST(SessionSettingsTest, StoredPasswordIsUsedOnlyWithAutoLogon) {
    for (const char* autoLogon : {"0", "1"}) {
        FakeProfileReader ini;
        ini.Set(kConfig, "Server", "Name", "exchange.example");
        ini.Set(kConfig, "Server", "Port", "9100");
        ini.Set("dmr.ini", "User", "Name", "张三");
        ini.Set("dmr.ini", "User", "Pass", "secret");
        ini.Set("dmr.ini", "User", "AutoLogon", autoLogon);
        const SessionSettings s = ReadSessionSettings(ini, kConfig);
        EXPECT_EQ(s.serverHost, "exchange.example");
        EXPECT_EQ(s.serverPort, 9100);
        EXPECT_EQ(s.userName, "张三");
        EXPECT_EQ(s.password, autoLogon[0] == '1' ? "secret" : "-") << autoLogon;
    }
}

TEST(SessionSettingsTest, LongValuesAreCutToTheirBuffers) {
    FakeProfileReader ini;
    ini.Set(kConfig, "Server", "Name", std::string(300, 'h'));
    ini.Set("dmr.ini", "User", "Name", std::string(250, 'u'));
    ini.Set("dmr.ini", "User", "Pass", std::string(250, 'p'));
    ini.Set("dmr.ini", "User", "AutoLogon", "1");
    const SessionSettings s = ReadSessionSettings(ini, kConfig);
    EXPECT_EQ(s.serverHost.size(), 199u);
    EXPECT_EQ(s.userName.size(), 199u);
    EXPECT_EQ(s.password.size(), 199u);
}

}  // namespace
}  // namespace tovan
