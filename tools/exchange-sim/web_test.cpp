#include "tools/exchange-sim/web.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace exsim {
namespace {

namespace fs = std::filesystem;

class WebServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("exsim-web-" + std::to_string(::getpid()));
        fs::create_directories(root / "sub");
        Write(root / "TovanClient.exe", "MZ-new-client");
        Write(root / "sub" / "inner.txt", "inner");
        Write(root.parent_path() / ("exsim-secret-" + std::to_string(::getpid())), "secret");
    }
    void TearDown() override {
        fs::remove_all(root);
        fs::remove(root.parent_path() / ("exsim-secret-" + std::to_string(::getpid())));
    }
    static void Write(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }
    fs::path root;
};

TEST_F(WebServiceTest, ServesFilesOfTheRootOnly) {
    WebService web(root.string());
    EXPECT_EQ(web.Get("/cab/TovanClient.exe").body, "MZ-new-client");
    EXPECT_EQ(web.Get("/cab/TovanClient.exe").status, 200);
    const std::string secret = "exsim-secret-" + std::to_string(::getpid());
    const std::string refused[] = {
        "/cab/../" + secret,
        "/cab/%2e%2e/" + secret,
        "/cab/..%2f" + secret,
        "/cab/..%5c" + secret,
        "/cab/sub/inner.txt",
        "/cab/sub%2finner.txt",
        "/cab/sub",           // a folder
        "/cab/",
        "/cab/nothere.exe",
        "/cab/bad%zz",
        "/cab/a%00b",
    };
    for (const std::string& t : refused) {
        HttpResponse r = web.Get(t);
        EXPECT_NE(r.status, 200) << t;
        EXPECT_EQ(r.body.find("secret"), std::string::npos) << t;
        EXPECT_EQ(r.body.find("inner"), std::string::npos) << t;
    }
    // Without a root there are no files at all.
    EXPECT_EQ(WebService("").Get("/cab/TovanClient.exe").status, 404);
}

TEST_F(WebServiceTest, VersionListFromRootFileDefaultOrOverride) {
    WebService none("");
    EXPECT_EQ(none.Get("/cab/update.asp").body, kDefaultVersionList);
    WebService web(root.string());
    EXPECT_EQ(web.Get("/cab/update.asp").body, kDefaultVersionList);  // no update.asp in the root
    Write(root / "update.asp", "TovanClient.exe|2,\r\nVokar.ocx|1");
    EXPECT_EQ(web.Get("/CAB/Update.asp").body, "TovanClient.exe|2,\r\nVokar.ocx|1");
    web.SetVersions("TvUpdate.exe|7");
    EXPECT_EQ(web.Get("/cab/update.asp?x=1").body, "TvUpdate.exe|7");
}

TEST_F(WebServiceTest, PanePagesNameTheCityEscaped) {
    WebService web("");
    for (const char* page : {"/ldgg.asp", "/right.asp", "/top.asp", "/"}) EXPECT_EQ(web.Get(page).status, 200) << page;
    // The city arrives percent-encoded GBK: 石家庄市.
    HttpResponse r = web.Get("/right.asp?city=%CA%AF%BC%D2%D7%AF%CA%D0");
    EXPECT_NE(r.body.find("\xCA\xAF\xBC\xD2\xD7\xAF\xCA\xD0"), std::string::npos);
    r = web.Get("/ldgg.asp?city=<script>");
    EXPECT_EQ(r.body.find("<script>"), std::string::npos);
    EXPECT_EQ(web.Get("/nothing.asp").status, 404);
}

TEST_F(WebServiceTest, FaultsApplyToThePathWhateverTheQueryAndCase) {
    WebService web("");
    web.SetFault("/Right.asp", PageFault::kNotFound);
    web.SetFault("/top.asp", PageFault::kNoAnswer);
    EXPECT_EQ(web.Get("/right.asp?city=%CA%AF").status, 404);
    EXPECT_EQ(web.FaultOf("/RIGHT.ASP"), PageFault::kNotFound);
    EXPECT_EQ(web.FaultOf("/top.asp?x=1"), PageFault::kNoAnswer);
    EXPECT_EQ(web.FaultOf("/ldgg.asp"), PageFault::kNone);
    EXPECT_EQ(web.FaultOf("/bad%zz"), PageFault::kNone);
    web.SetFault("/right.asp", PageFault::kNone);
    EXPECT_EQ(web.Get("/right.asp").status, 200);
}

TEST(ParseRequestHead, CompleteIncompleteAndBad) {
    std::string method, target;
    std::size_t len = 0;
    EXPECT_EQ(ParseRequestHead("GET /cab/update.asp HTTP/1.1\r\nHost: x\r\n\r\nrest", 1024, &method, &target, &len), 1);
    EXPECT_EQ(method, "GET");
    EXPECT_EQ(target, "/cab/update.asp");
    EXPECT_EQ(len, 41u);
    EXPECT_EQ(ParseRequestHead("GET / HTTP/1.1\r\nHost:", 1024, &method, &target, &len), 0);
    EXPECT_EQ(ParseRequestHead(std::string(2000, 'a'), 1024, &method, &target, &len), -1);
    EXPECT_EQ(ParseRequestHead("GET nopath HTTP/1.1\r\n\r\n", 1024, &method, &target, &len), -1);
    EXPECT_EQ(ParseRequestHead("\r\n\r\n", 1024, &method, &target, &len), -1);
}

}  // namespace
}  // namespace exsim
