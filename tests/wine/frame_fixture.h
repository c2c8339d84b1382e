// Fixture of the window tests that need the client's main frame: sockets are
// started once for the suite; each test makes its frame and loses it after.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "tests/wine/gui_test_util.h"
#include "client/core/main_frame.h"

namespace testutil {

class FrameFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
    }
    static void TearDownTestSuite() { WSACleanup(); }

    // A new frame, shown, its first messages handled.
    CMainFrame& MakeShownFrame() {
        frame_ = std::make_unique<CMainFrame>();
        EXPECT_TRUE(frame_->CreateFrame());
        ShowWindow(frame_->hwnd(), SW_SHOW);
        Pump(30);
        return *frame_;
    }

    void TearDown() override {
        if (frame_) frame_->Destroy();
        frame_.reset();
        Pump(30);  // takes the frame's WM_QUIT off the queue
    }

    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace testutil
