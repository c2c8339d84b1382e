#include "client/model/window_title.h"

#include <gtest/gtest.h>

#include "client/model/fake_profile_reader.h"

namespace tovan {
namespace {

TEST(WindowTitleTest, ServiceTitleFromConfigWithEveryCityMarkReplaced) {
    FakeProfileReader ini;
    EXPECT_EQ(ServiceTitle(ini, "Config.ini", "石家庄市"), "Tovan信息客户端");
    ini.Set("Config.ini", "Display", "Title", "%DIQU%货运网(%DIQU%)");
    EXPECT_EQ(ServiceTitle(ini, "Config.ini", "石家庄市"), "石家庄市货运网(石家庄市)");
    // A city name that itself holds the mark is not replaced again.
    EXPECT_EQ(ServiceTitle(ini, "Config.ini", "%DIQU%"), "%DIQU%货运网(%DIQU%)");
}

TEST(WindowTitleTest, PrefixByDaysOfServiceLeft) {
    AccountState a;
    a.homeCity = "石家庄市";
    a.accountTitle = "张建国";
    struct Case { int days; const char* expected; };
    const Case cases[] = {
        {3, "T  石家庄市站 张建国    您的服务还有3天到期"},
        {0, "T  石家庄市站 张建国     您的服务今天到期"},
        {-2, "T  石家庄市站 张建国     您的服务已经过期2天"},
        {-2147483647 - 1, "T  石家庄市站 张建国     您的服务已经过期2147483648天"},
    };
    for (const Case& c : cases) {
        a.serviceDaysLeft = c.days;
        EXPECT_EQ(ComposeTitlePrefix("T", a), c.expected) << c.days;
    }
}

TEST(WindowTitleTest, LongPrefixIsCutToItsBuffer) {
    AccountState a;
    a.accountTitle = std::string(2000, 'x');
    EXPECT_EQ(ComposeTitlePrefix("T", a).size(), kTitlePrefixSize - 1);

    // "T  " and "站 " before the name: with an odd name length the byte limit
    // falls inside a character, which is then left out whole.
    a.homeCity = "石";
    std::string name;
    while (name.size() < 600) name += "张";
    a.accountTitle = name;
    const std::string cut = ComposeTitlePrefix("T", a);
    EXPECT_EQ(cut.size(), kTitlePrefixSize - 2);
    EXPECT_EQ(cut, "T  石站 " + name.substr(0, cut.size() - 8));
}

TEST(WindowTitleTest, ProcessingTitle) {
    EXPECT_EQ(ProcessingTitle("P", "河北省"), "P    河北省当前信息处理中");
}

}  // namespace
}  // namespace tovan
