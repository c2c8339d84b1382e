// fw::AsyncSocket under the platform: events arrive as window messages in
// order, and a closed socket's queued events never reach its successor.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fw/async_socket.h"

namespace {

struct Recorder : fw::AsyncSocket {
    std::vector<std::string> events;
    std::string received;
    void OnConnect(int e) override { events.push_back("connect " + std::to_string(e)); }
    void OnReceive(int e) override {
        char buf[64];
        const int n = Receive(buf, sizeof buf);
        if (n > 0) received.append(buf, static_cast<std::size_t>(n));
        events.push_back("receive");
    }
    void OnClose(int e) override { events.push_back("close"); }
};

template <class Pred>
bool PumpUntil(Pred done, DWORD ms = 5000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
        Sleep(5);
    }
    return true;
}

class AsyncSocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        WSADATA wsa;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa), 0);
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a = {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = inet_addr("127.0.0.1");
        ASSERT_EQ(bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        ASSERT_EQ(listen(listener_, 4), 0);
        int len = sizeof a;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
    }
    void TearDown() override {
        closesocket(listener_);
        WSACleanup();
    }
    SOCKET listener_ = INVALID_SOCKET;
    unsigned port_ = 0;
};

TEST_F(AsyncSocketTest, ConnectReceiveAndCloseArriveAsNotifications) {
    Recorder s;
    ASSERT_TRUE(s.Create());
    EXPECT_FALSE(s.Connect("127.0.0.1", port_));
    EXPECT_EQ(fw::AsyncSocket::LastError(), WSAEWOULDBLOCK);
    ASSERT_TRUE(PumpUntil([&] { return !s.events.empty(); }));
    EXPECT_EQ(s.events[0], "connect 0");

    SOCKET peer = accept(listener_, nullptr, nullptr);
    ASSERT_NE(peer, INVALID_SOCKET);
    const char hello[] = "!OK!|a^";
    send(peer, hello, 7, 0);
    ASSERT_TRUE(PumpUntil([&] { return s.received == "!OK!|a^"; }));
    EXPECT_EQ(s.Send("LOOP^", 5), 5);
    char got[8] = {};
    EXPECT_EQ(recv(peer, got, sizeof got, 0), 5);
    closesocket(peer);
    ASSERT_TRUE(PumpUntil([&] { return s.events.back() == "close"; }));
}

TEST_F(AsyncSocketTest, RefusedConnectReportsItsError) {
    const unsigned closedPort = port_;
    closesocket(listener_);
    listener_ = INVALID_SOCKET;
    Recorder s;
    ASSERT_TRUE(s.Create());
    s.Connect("127.0.0.1", closedPort);
    ASSERT_TRUE(PumpUntil([&] { return !s.events.empty(); }));
    EXPECT_EQ(s.events[0], "connect " + std::to_string(WSAECONNREFUSED));
}

TEST_F(AsyncSocketTest, EventsOfAClosedSocketDoNotReachTheNextOne) {
    Recorder s;
    ASSERT_TRUE(s.Create());
    s.Connect("127.0.0.1", port_);
    SOCKET peer = accept(listener_, nullptr, nullptr);
    send(peer, "x^", 2, 0);
    closesocket(peer);
    Sleep(200);  // connect, read and close are now queued for the first socket
    s.Close();
    ASSERT_TRUE(s.Create());  // no notification: the handle may even be reused
    PumpUntil([] { return false; }, 300);
    EXPECT_TRUE(s.events.empty());
    EXPECT_EQ(s.received, "");
}

}  // namespace
