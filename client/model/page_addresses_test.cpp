#include "client/model/page_addresses.h"

#include <gtest/gtest.h>

namespace tovan {
namespace {

TEST(PageAddresses, BaseFromConfigIsCleanedAndEscaped) {
    struct Case {
        const char* merovan;
        const char* base;
    } cases[] = {
        {"", ""},
        {"   ", ""},
        {"\"\"", ""},
        {"/", ""},
        {"http://127.0.0.1:8080", "http://127.0.0.1:8080"},
        {"http://127.0.0.1:8080/", "http://127.0.0.1:8080"},
        {"http://127.0.0.1:8080//", "http://127.0.0.1:8080"},
        {"  \"http://site.example/web/\"  ", "http://site.example/web"},
        {"'http://site.example'", "http://site.example"},
        {"http://site.example/my pages", "http://site.example/my%20pages"},
        {"http://site.example/a\"b", "http://site.example/a%22b"},
        {"http://site.example/\xCD\xF8\xD5\xBE", "http://site.example/%CD%F8%D5%BE"},  // 网站
        {"http://site.example/a%20b?x=1&y=2", "http://site.example/a%20b?x=1&y=2"},
    };
    for (const Case& c : cases) EXPECT_EQ(SiteBase(c.merovan), c.base) << c.merovan;
}

TEST(PageAddresses, CityGoesEscapedAndNoBaseMeansNoPage) {
    const std::string base = "http://127.0.0.1:8080";
    EXPECT_EQ(PageAddress(base, kTopPage), "http://127.0.0.1:8080/top.asp");
    EXPECT_EQ(PageAddress(base, kRightPage), "http://127.0.0.1:8080/right.asp");
    // 石家庄市 in GBK.
    EXPECT_EQ(CityPageAddress(base, kBannerPage, "\xCA\xAF\xBC\xD2\xD7\xAF\xCA\xD0"),
              "http://127.0.0.1:8080/ldgg.asp?city=%CA%AF%BC%D2%D7%AF%CA%D0");
    // Characters that would end or split the value.
    EXPECT_EQ(CityPageAddress(base, kRightPage, "A&B #1+2=3/?%"),
              "http://127.0.0.1:8080/right.asp?city=A%26B%20%231%2B2%3D3%2F%3F%25");
    EXPECT_EQ(CityPageAddress(base, kRightPage, ""), "http://127.0.0.1:8080/right.asp?city=");
    EXPECT_EQ(PageAddress("", kTopPage), "");
    EXPECT_EQ(CityPageAddress("", kRightPage, "x"), "");
}

}  // namespace
}  // namespace tovan
