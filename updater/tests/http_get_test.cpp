// The framework's HTTP pieces on the platform: address parsing as the
// updater and the client's update check use it, and a failed connection.
#include <gtest/gtest.h>

#include "fw/http_get.h"

namespace {

TEST(HttpGetTest, ParseUrlTakesHostAndPort) {
    struct Case { const char* url; bool ok; const char* host; int port; const char* path; };
    const Case cases[] = {
        {"http://127.0.0.1:8080/web/index.asp", true, "127.0.0.1", 8080, "/web/index.asp"},
        {"http://www.example.com", true, "www.example.com", 80, ""},
        {"http://host:81", true, "host", 81, ""},
        {"", false, "", 0, ""},
        {"127.0.0.1:8080", false, "", 0, ""},
        {"www.example.com/x", false, "", 0, ""},
    };
    for (const Case& c : cases) {
        fw::UrlParts p;
        ASSERT_EQ(fw::ParseUrl(c.url, &p), c.ok) << c.url;
        if (!c.ok) continue;
        EXPECT_EQ(p.host, c.host) << c.url;
        EXPECT_EQ(p.port, c.port) << c.url;
        EXPECT_EQ(p.path, c.path) << c.url;
    }
}

TEST(HttpGetTest, NothingListeningFailsTheRequest) {
    // Port 1 on loopback: refused at once.
    std::string body = "stale";
    DWORD status = 123;
    EXPECT_FALSE(fw::GetText("127.0.0.1", 1, "/cab/update.asp", &body, &status));
    EXPECT_TRUE(body.empty());
    EXPECT_EQ(status, 0u);
}

}  // namespace
