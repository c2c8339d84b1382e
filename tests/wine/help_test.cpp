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

#include "client/core/area_tree_pane.h"
#include "tests/wine/frame_fixture.h"
#include "tests/wine/gui_test_util.h"
#include "client/windows/html_help.h"
#include "client/core/main_frame.h"
#include "client/res/resource.h"
#include "fw/window.h"

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
        topics.push_back(ItemText(tree, i));
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

class HelpTest : public testutil::FrameFixture {
protected:
    void SetUp() override { DeleteFileA(help::HelpFilePath().c_str()); }

    void TearDown() override {
        help::CloseAll();
        testutil::Pump(50);
        FrameFixture::TearDown();
        DeleteFileA(help::HelpFilePath().c_str());
    }

    void InstallHelpFile() {
        ASSERT_TRUE(CopyFileA(BuiltHelpFile().c_str(), help::HelpFilePath().c_str(), FALSE))
            << BuiltHelpFile();
    }
};

TEST_F(HelpTest, F1AndTheHelpCommandOpenTheViewerOnOurPages) {
    InstallHelpFile();
    CMainFrame& frame = MakeShownFrame();
    // F1 pressed in the record grid reaches the frame.
    PostMessageA(frame.view().grid().hwnd(), WM_KEYDOWN, VK_F1, 0x003B0001);
    HWND viewer = testutil::WaitForWindow(kViewerClass, 10000);
    ASSERT_TRUE(viewer);
    EXPECT_EQ(Title(viewer), "Tovan信息客户端帮助");
    EXPECT_EQ(Topics(viewer),
              (std::vector<std::string>{"欢迎使用", "登录", "发布信息", "搜索信息", "关注信息", "交谈"}));

    help::CloseAll();
    testutil::Pump(100);
    EXPECT_FALSE(ViewerWindow());
    SendMessageA(frame.hwnd(), WM_COMMAND, ID_HELP, 0);
    EXPECT_TRUE(testutil::WaitForWindow(kViewerClass, 10000));
}

TEST_F(HelpTest, ChatContextIsMappedToATopicAndAnUnknownOneShowsNothing) {
    InstallHelpFile();
    CMainFrame& frame = MakeShownFrame();
    EXPECT_TRUE(help::ShowContext(frame.hwnd(), help::kChatContext));
    help::CloseAll();
    testutil::Pump(100);
    EXPECT_FALSE(help::ShowContext(frame.hwnd(), 4242));
}

TEST_F(HelpTest, MissingHelpFileShowsNothingAndStopsNothing) {
    CMainFrame& frame = MakeShownFrame();
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
