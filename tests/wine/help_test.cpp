// The program's help under the platform's HTML help viewer: the compiled help
// file of the build beside the test program, F1 and the help command of the
// frame, the chat window's context, and a missing file.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui_test_util.h"
#include "html_help.h"
#include "main_frame.h"
#include "resource.h"
#include "window.h"

namespace {

constexpr char kViewerClass[] = "HH Parent";

// The help file the build made, as Wine sees the build tree.
std::string BuiltHelpFile() {
    std::string path = "Z:" TOVAN_BUILT_HELP_FILE;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

HWND ViewerWindow() {
    HWND w = FindWindowA(kViewerClass, nullptr);
    return w && IsWindowVisible(w) ? w : nullptr;
}

std::string Title(HWND h) {
    char buf[256] = {};
    GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

BOOL CALLBACK FindTree(HWND w, LPARAM found) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpiA(cls, WC_TREEVIEWA) != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

// The topics listed in the viewer's contents tree.
std::vector<std::string> Topics(HWND viewer) {
    HWND tree = nullptr;
    EnumChildWindows(viewer, FindTree, reinterpret_cast<LPARAM>(&tree));
    std::vector<std::string> topics;
    if (!tree) return topics;
    for (HTREEITEM i = TreeView_GetRoot(tree); i; i = TreeView_GetNextSibling(tree, i)) {
        char buf[128] = {};
        TVITEMA it = {};
        it.mask = TVIF_TEXT;
        it.hItem = i;
        it.pszText = buf;
        it.cchTextMax = sizeof buf;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
        topics.push_back(buf);
    }
    return topics;
}

BOOL CALLBACK NoteVisibleBox(HWND w, LPARAM count) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(w)) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int VisibleBoxes() {
    int n = 0;
    EnumWindows(NoteVisibleBox, reinterpret_cast<LPARAM>(&n));
    return n;
}

class HelpTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
    }
    static void TearDownTestSuite() { WSACleanup(); }

    void SetUp() override { DeleteFileA(help::HelpFilePath().c_str()); }

    void TearDown() override {
        help::CloseAll();
        testutil::Pump(50);
        if (frame_) frame_->Destroy();
        frame_.reset();
        testutil::Pump(30);
        DeleteFileA(help::HelpFilePath().c_str());
    }

    void InstallHelpFile() {
        ASSERT_TRUE(CopyFileA(BuiltHelpFile().c_str(), help::HelpFilePath().c_str(), FALSE))
            << BuiltHelpFile();
    }

    CMainFrame& MakeFrame() {
        frame_ = std::make_unique<CMainFrame>();
        EXPECT_TRUE(frame_->CreateFrame());
        ShowWindow(frame_->hwnd(), SW_SHOW);
        testutil::Pump(30);
        return *frame_;
    }

    std::unique_ptr<CMainFrame> frame_;
};

TEST_F(HelpTest, F1AndTheHelpCommandOpenTheViewerOnOurPages) {
    InstallHelpFile();
    CMainFrame& frame = MakeFrame();
    // F1 pressed in the record grid reaches the frame.
    PostMessageA(frame.view().grid().hwnd(), WM_KEYDOWN, VK_F1, 0x003B0001);
    testutil::Pump(300);
    HWND viewer = ViewerWindow();
    ASSERT_TRUE(viewer);
    EXPECT_EQ(Title(viewer), "Tovan信息客户端帮助");
    EXPECT_EQ(Topics(viewer),
              (std::vector<std::string>{"欢迎使用", "登录", "发布信息", "搜索信息", "关注信息", "交谈"}));

    help::CloseAll();
    testutil::Pump(100);
    EXPECT_FALSE(ViewerWindow());
    SendMessageA(frame.hwnd(), WM_COMMAND, ID_HELP, 0);
    testutil::Pump(300);
    EXPECT_TRUE(ViewerWindow());
}

TEST_F(HelpTest, ChatContextIsMappedToATopicAndAnUnknownOneShowsNothing) {
    InstallHelpFile();
    CMainFrame& frame = MakeFrame();
    EXPECT_TRUE(help::ShowContext(frame.hwnd(), help::kChatContext));
    help::CloseAll();
    testutil::Pump(100);
    EXPECT_FALSE(help::ShowContext(frame.hwnd(), 4242));
}

TEST_F(HelpTest, MissingHelpFileShowsNothingAndStopsNothing) {
    CMainFrame& frame = MakeFrame();
    const int boxes = VisibleBoxes();
    EXPECT_FALSE(help::ShowContents(frame.hwnd()));
    EXPECT_FALSE(help::ShowContext(frame.hwnd(), help::kChatContext));
    PostMessageA(frame.hwnd(), WM_KEYDOWN, VK_F1, 0x003B0001);
    SendMessageA(frame.hwnd(), WM_COMMAND, ID_HELP, 0);
    testutil::Pump(300);
    EXPECT_FALSE(ViewerWindow());
    EXPECT_EQ(VisibleBoxes(), boxes);
}

}  // namespace
