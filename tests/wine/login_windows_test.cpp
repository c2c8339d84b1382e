// The login dialog with dmr.ini [User], the connection log window and the
// notice window, on the display with the client's templates; and the frame
// that creates them and routes the login command.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "client/core/connection_log_dlg.h"
#include "tests/wine/gui_test_util.h"
#include "client/core/login_dlg.h"
#include "client/core/main_frame.h"
#include "client/core/notice_dlg.h"
#include "client/res/resource.h"
#include "fw/scoped_gdi.h"

namespace {

// ---------------------------------------------------------------- dmr.ini

struct UserSection {
    const char* name;       // null: key absent
    const char* pass;
    const char* autoLogon;
};

void WriteUserSection(const UserSection& u) {
    WritePrivateProfileStringA("User", nullptr, nullptr, kUserIniFile);  // the whole section goes
    if (u.name) WritePrivateProfileStringA("User", "Name", u.name, kUserIniFile);
    if (u.pass) WritePrivateProfileStringA("User", "Pass", u.pass, kUserIniFile);
    if (u.autoLogon) WritePrivateProfileStringA("User", "AutoLogon", u.autoLogon, kUserIniFile);
}

// The file's bytes as stored (the profile functions trim blanks on reading).
std::string UserIniBytes() {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, kUserIniFile);  // flush
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, MAX_PATH);
    std::string path = std::string(dir) + "\\" + kUserIniFile;
    std::string bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
        std::fclose(f);
    }
    return bytes;
}

bool HasLine(const std::string& bytes, const std::string& line) {
    return ("\r\n" + bytes).find("\r\n" + line + "\r\n") != std::string::npos ||
           ("\n" + bytes).find("\n" + line + "\n") != std::string::npos;
}

// ---------------------------------------------------------------- login dialog

void PostCommand(HWND dlg, int id, int code = BN_CLICKED) {
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, code), 0);
}

// The login dialog with what it showed at start-up recorded, a script that
// plays the user's part, and a later step for what needs the dialog on screen.
class ScriptedLogin : public CDenglu {
public:
    std::function<void(ScriptedLogin&)> script;
    std::function<void(ScriptedLogin&)> later;

    std::string nameShown, passwordShown, messageShown;
    bool rememberShown = false;
    bool stillOpenAfterOk = false;  // set by the later step

protected:
    BOOL OnInitDialog() override {
        const BOOL r = CDenglu::OnInitDialog();
        nameShown = ItemText(IDC_LOGIN_NAME);
        passwordShown = ItemText(IDC_LOGIN_PASSWORD);
        messageShown = ItemText(IDC_LOGIN_MESSAGE);
        rememberShown = IsChecked(IDC_LOGIN_REMEMBER);
        if (later) SetTimer(hwnd(), 1, 30, RunLater);
        if (script) script(*this);
        return r;
    }

private:
    static void CALLBACK RunLater(HWND h, UINT, UINT_PTR id, DWORD) {
        KillTimer(h, id);
        if (auto* self = dynamic_cast<ScriptedLogin*>(fw::Window::FromHandle(h))) self->later(*self);
    }
};

struct LoginCase {
    const char* what;
    UserSection stored;
    // What the dialog shows at start.
    const char* nameShown;
    const char* passwordShown;
    bool rememberShown;
    // What the user types (null: leaves it) and whether the box ends checked.
    const char* typedName;
    const char* typedPassword;
    bool remember;
    // dmr.ini lines after OK.
    const char* nameLine;
    const char* passLine;
    const char* autoLogonLine;
};

TEST(LoginDialogTest, OkReturnsWhatWasTypedAndWritesTheUserSection) {
    const LoginCase cases[] = {
        {"remembered password is offered and kept", {"test", "secret", "1"},
         "test", "secret", true, nullptr, nullptr, true,
         "Name=test", "Pass=secret", "AutoLogon=1"},
        {"a hand-written Pass without AutoLogon is not offered", {"test", "secret", "0"},
         "test", "", false, nullptr, "typed", false,
         "Name=test", "Pass=", "AutoLogon=0"},
        {"unchecking the box erases the stored password", {"test", "secret", "1"},
         "test", "secret", true, "张三", nullptr, false,
         "Name=张三", "Pass=", "AutoLogon=0"},
        {"checking the box stores the password", {nullptr, nullptr, nullptr},
         "", "", false, "李四", "密码1", true,
         "Name=李四", "Pass=密码1", "AutoLogon=1"},
        // The logon gets them; the profile functions drop them when writing.
        {"blanks at the ends are kept", {"old", "", "0"},
         "old", "", false, "  王五 ", " pw ", true,
         nullptr, nullptr, "AutoLogon=1"},
    };
    for (const LoginCase& c : cases) {
        SCOPED_TRACE(c.what);
        WriteUserSection(c.stored);
        static const LoginCase* current;
        current = &c;
        ScriptedLogin dlg;
        dlg.script = [](ScriptedLogin& d) {
            if (current->typedName) d.SetItemText(IDC_LOGIN_NAME, current->typedName);
            if (current->typedPassword) d.SetItemText(IDC_LOGIN_PASSWORD, current->typedPassword);
            d.SetChecked(IDC_LOGIN_REMEMBER, current->remember);
            PostCommand(d.hwnd(), IDOK);
        };
        std::string name = "before", password = "before";
        ASSERT_TRUE(dlg.Ask("", name, password));
        EXPECT_EQ(dlg.nameShown, c.nameShown);
        EXPECT_EQ(dlg.passwordShown, c.passwordShown);
        EXPECT_EQ(dlg.rememberShown, c.rememberShown);

        const std::string expectName = c.typedName ? c.typedName : c.nameShown;
        const std::string expectPassword = c.typedPassword ? c.typedPassword : c.passwordShown;
        EXPECT_EQ(name, expectName);
        EXPECT_EQ(password, expectPassword);
        EXPECT_EQ(std::string(dlg.accountName), expectName);
        EXPECT_EQ(std::string(dlg.password), expectPassword);

        const std::string ini = UserIniBytes();
        if (c.nameLine) {
            EXPECT_TRUE(HasLine(ini, c.nameLine)) << ini;
        }
        if (c.passLine) {
            EXPECT_TRUE(HasLine(ini, c.passLine)) << ini;
        }
        EXPECT_TRUE(HasLine(ini, c.autoLogonLine)) << ini;
    }
}

// The buffers hold 199 bytes: longer input is cut, in memory and in dmr.ini,
// between characters, so that the "|" after a field in the logon line stays
// a separator.
TEST(LoginDialogTest, LongInputIsCutTo199BytesOfWholeCharacters) {
    std::string zhang100, a_mi100;  // 200 and 201 bytes
    for (int i = 0; i < 100; ++i) zhang100 += "张";
    a_mi100 = "a";
    for (int i = 0; i < 100; ++i) a_mi100 += "密";
    struct Case { std::string typedName, typedPassword, name, password; };
    const Case cases[] = {
        {std::string(300, 'n'), std::string(250, 'p'), std::string(199, 'n'), std::string(199, 'p')},
        {zhang100, a_mi100, zhang100.substr(0, 198), a_mi100.substr(0, 199)},
    };
    for (const Case& c : cases) {
        WriteUserSection({nullptr, nullptr, nullptr});
        static const Case* current;
        current = &c;
        ScriptedLogin dlg;
        dlg.script = [](ScriptedLogin& d) {
            d.SetItemText(IDC_LOGIN_NAME, current->typedName);
            d.SetItemText(IDC_LOGIN_PASSWORD, current->typedPassword);
            d.SetChecked(IDC_LOGIN_REMEMBER, true);
            PostCommand(d.hwnd(), IDOK);
        };
        std::string name, password;
        ASSERT_TRUE(dlg.Ask("", name, password));
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(password, c.password);
        const std::string ini = UserIniBytes();
        EXPECT_TRUE(HasLine(ini, "Name=" + c.name));
        EXPECT_TRUE(HasLine(ini, "Pass=" + c.password));
    }
}

// "|" and "^" separate the fields of the logon line: a name or password
// holding one is refused with the reason in the red line, the focus on the
// field to mend, nothing saved; once both can be sent, OK goes through.
TEST(LoginDialogTest, RefusesANameOrPasswordHoldingASeparator) {
    WriteUserSection({"test", "secret", "1"});
    static std::string before;
    before = UserIniBytes();
    struct Seen { std::string message; int focus; bool open; bool iniUnchanged; };
    static std::vector<Seen> seen;
    seen.clear();
    ScriptedLogin dlg;
    dlg.script = [](ScriptedLogin& d) {
        d.SetItemText(IDC_LOGIN_NAME, "te^st|x'\"\\");
        d.SetItemText(IDC_LOGIN_PASSWORD, "a|b^c");
        d.SetChecked(IDC_LOGIN_REMEMBER, true);
    };
    dlg.later = [](ScriptedLogin& d) {
        const auto pressOk = [&d] {
            SendMessageA(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            seen.push_back({d.ItemText(IDC_LOGIN_MESSAGE), GetDlgCtrlID(GetFocus()),
                            IsWindowVisible(d.hwnd()) != FALSE, UserIniBytes() == before});
        };
        pressOk();
        d.SetItemText(IDC_LOGIN_NAME, "te'st\"\\");  // quotes and "\" go as typed
        pressOk();
        d.SetItemText(IDC_LOGIN_PASSWORD, "abc");
        pressOk();
    };
    std::string name, password;
    ASSERT_TRUE(dlg.Ask("", name, password));  // the third OK took it
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].message, "客户号不能含有 | 或 ^ 字符");
    EXPECT_EQ(seen[0].focus, IDC_LOGIN_NAME);
    EXPECT_EQ(seen[1].message, "密码不能含有 | 或 ^ 字符");
    EXPECT_EQ(seen[1].focus, IDC_LOGIN_PASSWORD);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(seen[i].open) << i;
        EXPECT_TRUE(seen[i].iniUnchanged) << i;
    }
    EXPECT_EQ(name, "te'st\"\\");
    EXPECT_EQ(password, "abc");
    EXPECT_TRUE(HasLine(UserIniBytes(), "Pass=abc"));
}

// OK without a name or a password does nothing: the dialog stays open, the
// user cancels it, and dmr.ini and the caller's strings are as before.
// Cancel itself leaves everything alone too.
TEST(LoginDialogTest, BlankFieldsAndCancelChangeNothing) {
    struct Case { const char* what; const char* name; const char* password; bool pressOk; };
    const Case cases[] = {
        {"name of blanks", "   ", "pw", true},
        {"empty password", "test", "", true},
        {"password of white space", "test", " \t ", true},
        {"empty name", "", "pw", true},
        {"cancel after typing", "other", "pw2", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteUserSection({"test", "secret", "1"});
        const std::string before = UserIniBytes();
        static const Case* current;
        current = &c;
        ScriptedLogin dlg;
        dlg.script = [](ScriptedLogin& d) {
            d.SetItemText(IDC_LOGIN_NAME, current->name);
            d.SetItemText(IDC_LOGIN_PASSWORD, current->password);
            d.SetChecked(IDC_LOGIN_REMEMBER, false);
            if (current->pressOk) PostCommand(d.hwnd(), IDOK);
        };
        dlg.later = [](ScriptedLogin& d) {
            d.stillOpenAfterOk = IsWindowVisible(d.hwnd()) != FALSE;
            PostCommand(d.hwnd(), IDCANCEL);
        };
        std::string name = "kept", password = "kept";
        EXPECT_FALSE(dlg.Ask("", name, password));
        EXPECT_TRUE(dlg.stillOpenAfterOk);
        EXPECT_EQ(name, "kept");
        EXPECT_EQ(password, "kept");
        EXPECT_EQ(UserIniBytes(), before);
    }
}

// The red line shows the reason of the last refusal at the next showing only.
TEST(LoginDialogTest, TheErrorTextShowsInRedOnce) {
    WriteUserSection({"test", "", "0"});
    static bool redSeen;
    redSeen = false;
    ScriptedLogin dlg;
    dlg.later = [](ScriptedLogin& d) {
        HWND line = d.Item(IDC_LOGIN_MESSAGE);
        UpdateWindow(d.hwnd());
        const SIZE sz = testutil::ClientSize(line);
        testutil::Canvas canvas(sz.cx, sz.cy);
        canvas.CopyFromWindow(line);
        for (int y = 0; y < sz.cy && !redSeen; ++y)
            for (int x = 0; x < sz.cx && !redSeen; ++x) {
                const COLORREF p = canvas.At(x, y);
                redSeen = GetRValue(p) > 200 && GetGValue(p) < 80 && GetBValue(p) < 80;
            }
        PostCommand(d.hwnd(), IDCANCEL);
    };
    std::string name, password;
    EXPECT_FALSE(dlg.Ask("用户名或密码错误", name, password));
    EXPECT_EQ(dlg.messageShown, "用户名或密码错误");
    EXPECT_TRUE(redSeen);
    EXPECT_TRUE(dlg.pendingMessage.empty());

    // Shown again without a new message: the line is empty.
    dlg.later = [](ScriptedLogin& d) { PostCommand(d.hwnd(), IDCANCEL); };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.messageShown, "");
}

// The template: OK is the first tab stop and takes the focus, then the name,
// the password (hidden characters), the box and Cancel.
TEST(LoginDialogTest, FocusStartsOnOkAndTabFollowsTheForm) {
    WriteUserSection({"test", "", "0"});
    static std::vector<int> order;
    static int focusAtStart;
    static LONG_PTR passwordStyle;
    static std::string caption;
    order.clear();
    ScriptedLogin dlg;
    dlg.later = [](ScriptedLogin& d) {
        focusAtStart = GetDlgCtrlID(GetFocus());
        HWND h = d.Item(IDOK);
        for (int i = 0; i < 5; ++i) {
            h = GetNextDlgTabItem(d.hwnd(), h, FALSE);
            order.push_back(GetDlgCtrlID(h));
        }
        passwordStyle = GetWindowLongPtrA(d.Item(IDC_LOGIN_PASSWORD), GWL_STYLE);
        caption = fw::GetText(d.hwnd());
        PostCommand(d.hwnd(), IDCANCEL);
    };
    std::string name, password;
    EXPECT_FALSE(dlg.Ask("", name, password));
    EXPECT_EQ(focusAtStart, IDOK);
    EXPECT_EQ(order, (std::vector<int>{IDC_LOGIN_NAME, IDC_LOGIN_PASSWORD, IDC_LOGIN_REMEMBER,
                                       IDCANCEL, IDOK}));
    EXPECT_TRUE(passwordStyle & ES_PASSWORD);
    EXPECT_EQ(caption, "用户登录");
}

// "我要注册" opens [URL] Merovan + "/Reg_memberadd.asp" from Config.ini and
// leaves the dialog open; without the key nothing is opened.
TEST(LoginDialogTest, RegisterLinkOpensTheSitesRegistrationPage) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string config = std::string(dir) + "tovan_login_config.ini";
    struct Case { const char* what; const char* merovan; const char* opened; };
    const Case cases[] = {
        {"site configured", "http://127.0.0.1:8080", "http://127.0.0.1:8080/Reg_memberadd.asp"},
        {"empty key", "", nullptr},
        {"no Config.ini", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(config.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, config.c_str());
        if (c.merovan) WritePrivateProfileStringA("URL", "Merovan", c.merovan, config.c_str());

        static std::vector<std::string> opened;
        static HWND openOwner;
        opened.clear();
        ScriptedLogin dlg;
        dlg.configFile = config;
        dlg.openPage = [](HWND owner, const std::string& address) {
            openOwner = owner;
            opened.push_back(address);
        };
        dlg.later = [](ScriptedLogin& d) {
            // A real click on the link: the template's notify style sends it.
            HWND link = d.Item(IDC_LOGIN_REGISTER);
            SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
            SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
            d.stillOpenAfterOk = IsWindowVisible(d.hwnd()) != FALSE;
            PostCommand(d.hwnd(), IDCANCEL);
        };
        std::string name, password;
        EXPECT_FALSE(dlg.Ask("", name, password));
        EXPECT_TRUE(dlg.stillOpenAfterOk);
        if (c.opened) {
            ASSERT_EQ(opened.size(), 1u);
            EXPECT_EQ(opened[0], c.opened);
            EXPECT_NE(openOwner, nullptr);
        } else {
            EXPECT_TRUE(opened.empty());
        }
    }
    DeleteFileA(config.c_str());
}

// ---------------------------------------------------------------- log window

std::vector<std::string> ListLines(HWND list) {
    std::vector<std::string> lines;
    const int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        const int len = static_cast<int>(SendMessageA(list, LB_GETTEXTLEN, i, 0));
        std::string s(static_cast<size_t>(len) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&s[0]));
        s.resize(static_cast<size_t>(len));
        lines.push_back(s);
    }
    return lines;
}

class WindowsWithOwner : public ::testing::Test {
protected:
    void SetUp() override {
        owner = CreateWindowExA(0, "STATIC", "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                                300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(owner);
    }
    void TearDown() override { DestroyWindow(owner); }
    HWND owner = nullptr;
};

using ConnectionLogTest = WindowsWithOwner;

TEST_F(ConnectionLogTest, KeepsEveryLineWhileHiddenAndShowsThemAgain) {
    CDlgDlrz log(owner);
    ASSERT_TRUE(log.CreateModeless());
    HWND list = log.Item(IDC_LOG_LIST);
    EXPECT_FALSE(IsWindowVisible(log.hwnd())) << "created hidden";
    EXPECT_EQ(GetWindow(log.hwnd(), GW_OWNER), owner);
    EXPECT_EQ(fw::GetText(log.hwnd()), "登录日志");

    // Lines go in as they come, not sorted, without showing the window.
    const std::vector<std::string> first = {"10:00:01 正在连接服务器...", "10:00:01 连接服务器失败",
                                            "09:59:59 连接已关闭"};
    for (const std::string& l : first) log.AddLine(l);
    EXPECT_EQ(ListLines(list), first);
    EXPECT_FALSE(IsWindowVisible(log.hwnd()));

    log.ShowAndRaise();
    testutil::Pump(50);
    EXPECT_TRUE(IsWindowVisible(log.hwnd()));
    EXPECT_EQ(GetForegroundWindow(), log.hwnd());

    // Every way of closing only hides it; the lines stay, more come while
    // hidden, and the list does not scroll to them.
    struct Close { const char* what; std::function<void(HWND)> act; };
    const Close closes[] = {
        {"close button", [](HWND d) { PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }},
        {"close box", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"escape", [](HWND d) { PostMessageA(GetDlgItem(d, IDC_LOG_LIST), WM_KEYDOWN, VK_ESCAPE, 1); }},
        {"enter", [](HWND d) { PostMessageA(GetDlgItem(d, IDC_LOG_LIST), WM_KEYDOWN, VK_RETURN, 1); }},
    };
    std::vector<std::string> all = first;
    for (const Close& c : closes) {
        SCOPED_TRACE(c.what);
        SetFocus(list);
        c.act(log.hwnd());
        testutil::Pump(60);
        ASSERT_TRUE(IsWindow(log.hwnd()));
        EXPECT_FALSE(IsWindowVisible(log.hwnd()));
        for (int i = 0; i < 12; ++i) {
            all.push_back("10:01:0" + std::to_string(i % 10) + " 连接服务器失败 " + c.what);
            log.AddLine(all.back());
        }
        log.ShowAndRaise();
        testutil::Pump(30);
        EXPECT_TRUE(IsWindowVisible(log.hwnd()));
        EXPECT_EQ(ListLines(list), all);
        EXPECT_EQ(SendMessageA(list, LB_GETTOPINDEX, 0, 0), 0) << "the newest lines may be out of view";
    }
}

// Days of failed connects: the lines waiting for the window and the list
// itself keep only the newest ones.
TEST_F(ConnectionLogTest, KeepsTheNewestLinesOnly) {
    const auto line = [](std::size_t i) { return "10:00:00 连接服务器失败 " + std::to_string(i); };
    constexpr std::size_t kMax = tovan::kConnectionLogLines;
    CDlgDlrz log(owner);
    for (std::size_t i = 0; i < kMax + 500; ++i) log.AddLine(line(i));
    log.ShowAndRaise();
    std::vector<std::string> lines = ListLines(log.Item(IDC_LOG_LIST));
    ASSERT_EQ(lines.size(), kMax);
    EXPECT_EQ(lines.front(), line(500));
    EXPECT_EQ(lines.back(), line(kMax + 499));

    for (std::size_t i = kMax + 500; i < 2 * kMax + 700; ++i) log.AddLine(line(i));
    lines = ListLines(log.Item(IDC_LOG_LIST));
    ASSERT_EQ(lines.size(), kMax);
    EXPECT_EQ(lines.front(), line(kMax + 700));
    EXPECT_EQ(lines.back(), line(2 * kMax + 699));
}

// A modal dialog of the frame (a publishing dialog) while failed connects
// bring the log up and the user closes it: the dialog stays in front and
// active, and its owner stays disabled until the dialog ends.
namespace modal_and_log {

struct ModalRun {
    CDlgDlrz* log = nullptr;
    fw::Dialog* modal = nullptr;
    HWND owner = nullptr;
    int tick = 0;
    std::vector<std::string> faults;
};
ModalRun* g_run = nullptr;

// True when a lies above b among the top-level windows.
bool Above(HWND a, HWND b) {
    for (HWND w = GetWindow(a, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == b) return true;
    return false;
}

void Note(bool ok, const std::string& what) {
    if (!ok) g_run->faults.push_back("tick " + std::to_string(g_run->tick) + ": " + what);
}

// The ways the user closes the log, one per round.
void CloseLog(int round, HWND log) {
    switch (round) {
    case 0: PostMessageA(log, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); break;
    case 1: PostMessageA(log, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    default: PostMessageA(GetDlgItem(log, IDC_LOG_LIST), WM_KEYDOWN, VK_ESCAPE, 1); break;
    }
}

constexpr int kRounds = 3;

void CALLBACK Step(HWND, UINT, UINT_PTR, DWORD) {
    HWND log = g_run->log->hwnd(), modal = g_run->modal->hwnd();
    const int round = g_run->tick / 3, phase = g_run->tick % 3;
    if (round == kRounds) {
        g_run->modal->EndDialog(IDCANCEL);
        return;
    }
    if (phase == 0) {
        g_run->log->AddLine("10:00:01 连接服务器失败");  // a failed connect
        g_run->log->ShowAndRaise();
    } else if (phase == 1) {
        Note(IsWindowVisible(log) != FALSE, "the log shows");
        Note(GetActiveWindow() == modal, "the modal dialog stays active when the log comes up");
        Note(Above(modal, log), "the log comes up beneath the modal dialog");
        // The user clicks into the log and closes it.
        SetForegroundWindow(log);
        CloseLog(round, log);
    } else {
        Note(!IsWindowVisible(log), "closing hides the log");
        Note(!IsWindowEnabled(g_run->owner), "the owner stays disabled while the modal dialog runs");
        Note(GetActiveWindow() == modal, "the modal dialog is active again after the log closed");
        Note(Above(modal, g_run->owner), "the modal dialog stays above its owner");
    }
    ++g_run->tick;
}

}  // namespace modal_and_log

TEST_F(ConnectionLogTest, AModalDialogStaysInFrontAndItsOwnerDisabledWhileTheLogComesAndGoes) {
    using namespace modal_and_log;
    CDlgDlrz log(owner);
    ASSERT_TRUE(log.CreateModeless());
    SetForegroundWindow(owner);
    fw::Dialog modal(IDD_ABOUTBOX, owner);
    ModalRun state;
    state.log = &log;
    state.modal = &modal;
    state.owner = owner;
    g_run = &state;
    const UINT_PTR timer = SetTimer(nullptr, 0, 150, Step);
    EXPECT_EQ(modal.DoModal(), IDCANCEL);
    KillTimer(nullptr, timer);
    g_run = nullptr;
    EXPECT_EQ(state.tick, kRounds * 3);
    for (const std::string& f : state.faults) ADD_FAILURE() << f;
    EXPECT_TRUE(IsWindowEnabled(owner)) << "given back when the modal dialog ends";
    // Without a modal dialog the log still comes to the front.
    log.ShowAndRaise();
    testutil::Pump(50);
    EXPECT_EQ(GetForegroundWindow(), log.hwnd());
}

// ---------------------------------------------------------------- notice window

TEST(NoticeWindowTest, ShowsTheLastNoticeWhereTheUserLeftItAndHidesOnClose) {
    CNotify notice;
    ASSERT_TRUE(notice.CreateModeless());
    HWND w = notice.hwnd();
    EXPECT_FALSE(IsWindowVisible(w)) << "created hidden";
    EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr);
    const LONG_PTR ex = GetWindowLongPtrA(w, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_TRUE(ex & WS_EX_APPWINDOW);
    EXPECT_EQ(fw::GetText(w), "管理消息");

    notice.ShowNotice("今晚十点系统维护");
    testutil::Pump(30);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(notice.ItemText(IDC_NOTICE_TEXT), "今晚十点系统维护");

    // The user moves it; the next notice replaces the text in place.
    SetWindowPos(w, nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT before;
    GetWindowRect(w, &before);
    notice.ShowNotice("维护推迟到明天");
    testutil::Pump(30);
    RECT after;
    GetWindowRect(w, &after);
    EXPECT_EQ(notice.ItemText(IDC_NOTICE_TEXT), "维护推迟到明天");
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);

    struct Close { const char* what; std::function<void(HWND)> act; };
    const Close closes[] = {
        {"close button", [](HWND d) { PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }},
        {"close box", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"escape", [](HWND d) { PostMessageA(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_ESCAPE, 1); }},
    };
    for (const Close& c : closes) {
        SCOPED_TRACE(c.what);
        c.act(w);
        testutil::Pump(60);
        ASSERT_TRUE(IsWindow(w));
        EXPECT_FALSE(IsWindowVisible(w));
        notice.ShowNotice(c.what);  // the same window comes back with the new text
        testutil::Pump(30);
        EXPECT_TRUE(IsWindowVisible(w));
        EXPECT_EQ(notice.ItemText(IDC_NOTICE_TEXT), c.what);
    }
    notice.ShowNotice("");  // a notice without text empties it
    EXPECT_EQ(notice.ItemText(IDC_NOTICE_TEXT), "");
}

// The text a window paints, run by run, as recorded in a metafile.
struct TextRun {
    std::wstring text;
    POINT at;  // top left
};

int CALLBACK KeepTextRun(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM runs) {
    if (record->iType == EMR_EXTTEXTOUTW) {
        const auto* t = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
        const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) +
                                                             t->emrtext.offString);
        reinterpret_cast<std::vector<TextRun>*>(runs)->push_back(
            {std::wstring(chars, t->emrtext.nChars), {t->emrtext.ptlReference.x, t->emrtext.ptlReference.y}});
    }
    return 1;
}

std::vector<TextRun> PaintedTextRuns(HWND window) {
    HDC meta = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(meta), PRF_CLIENT | PRF_ERASEBKGND);
    HENHMETAFILE painted = CloseEnhMetaFile(meta);
    std::vector<TextRun> runs;
    EnumEnhMetaFile(nullptr, painted, KeepTextRun, &runs, nullptr);
    DeleteEnhMetaFile(painted);
    return runs;
}

std::wstring Wide(const std::string& gbk) {
    std::wstring w(gbk.size(), L'\0');
    w.resize(static_cast<size_t>(
        MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), &w[0], static_cast<int>(w.size()))));
    return w;
}

// 200 characters without a space, twice the same sentence.
std::string LongNotice() {
    const std::string sentence =
        "尊敬的用户：系统将于今晚23:00至明早06:00升级维护，维护期间无法发布信息，给您带来不便敬请谅解。"
        "升级后请重新登录；如有疑问请致电客服热线4006-800-800，或在网站“帮助&反馈”栏留言。";
    return sentence + sentence;
}

// Chinese has no spaces: a long notice must still be read whole, wrapped
// between characters, each line inside the text's area, none over another.
TEST(NoticeWindowTest, ALongNoticeWithoutSpacesIsShownWhole) {
    const std::string notice = LongNotice();
    ASSERT_EQ(Wide(notice).size(), 200u);
    CNotify window;
    window.ShowNotice(notice);
    testutil::Pump(30);
    HWND text = window.Item(IDC_NOTICE_TEXT);
    ASSERT_EQ(fw::GetText(text), notice);

    RECT area;
    GetClientRect(text, &area);
    const fw::gdi::WindowFontDc dc(text);
    std::wstring shown;
    LONG nextFreeY = 0;
    for (const TextRun& run : PaintedTextRuns(text)) {
        SIZE size = {};
        GetTextExtentPoint32W(dc, run.text.c_str(), static_cast<int>(run.text.size()), &size);
        EXPECT_GE(run.at.x, 0);
        EXPECT_LE(run.at.x + size.cx, area.right) << "line " << shown.size();
        EXPECT_GE(run.at.y, nextFreeY);
        EXPECT_LE(run.at.y + size.cy, area.bottom) << "line " << shown.size();
        nextFreeY = run.at.y + size.cy;
        shown += run.text;
    }
    EXPECT_TRUE(shown == Wide(notice)) << "shown: " << shown.size() << " of 200 characters";
    window.Destroy();
}

// ---------------------------------------------------------------- the frame

std::vector<std::string> SessionLogLines(CMainFrame& frame) {
    const auto& lines = frame.session().logLines();
    return {lines.begin(), lines.end()};
}

HWND FindOwnedBy(const char* title, DWORD pid) {
    HWND h = nullptr;
    while ((h = FindWindowExA(nullptr, h, nullptr, title)) != nullptr) {
        DWORD p = 0;
        GetWindowThreadProcessId(h, &p);
        if (p == pid) return h;
    }
    return nullptr;
}

struct LoginSeen {
    HWND dialog = nullptr, owner = nullptr;
    std::string message;
};
LoginSeen g_loginSeen;

void CALLBACK CancelFramesLogin(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dlg = FindOwnedBy("用户登录", GetCurrentProcessId());
    if (!dlg) return;
    KillTimer(nullptr, id);
    g_loginSeen.dialog = dlg;
    g_loginSeen.owner = GetWindow(dlg, GW_OWNER);
    g_loginSeen.message = fw::GetText(GetDlgItem(dlg, IDC_LOGIN_MESSAGE));
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

// The frame makes the notice window (owned by nobody) at the first server
// notice and the log window (owned by the frame) when a failed connection
// first shows it, holding every line the session wrote since start-up; and
// command 32777 brings up the login dialog owned by the frame.
TEST(MainFrameWindowsTest, MakesTheWindowsWhenFirstShownAndRoutesTheLoginCommand) {
    WSADATA wsa;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa), 0);
    WriteUserSection({"test", "", "0"});
    const DWORD pid = GetCurrentProcessId();
    {
        auto frame = std::make_unique<CMainFrame>();
        ASSERT_TRUE(frame->CreateFrame());
        EXPECT_EQ(FindOwnedBy("登录日志", pid), nullptr) << "no log window before it is shown";
        EXPECT_EQ(FindOwnedBy("管理消息", pid), nullptr) << "no notice window before a notice";

        frame->session().OnSendNotify("!SENDNOTIFY!|管理员通知");
        HWND notice = FindOwnedBy("管理消息", pid);
        ASSERT_TRUE(notice);
        EXPECT_EQ(GetWindow(notice, GW_OWNER), nullptr);
        EXPECT_TRUE(IsWindowVisible(notice));
        EXPECT_EQ(fw::GetText(GetDlgItem(notice, IDC_NOTICE_TEXT)), "管理员通知");

        // The first, silent connection has begun; it fails, and the log shows
        // every line so far, its first line first, then takes later ones.
        frame->session().OnConnect(WSAECONNREFUSED);
        HWND log = FindOwnedBy("登录日志", pid);
        ASSERT_TRUE(log);
        EXPECT_EQ(GetWindow(log, GW_OWNER), frame->hwnd());
        EXPECT_TRUE(IsWindowVisible(log));
        std::vector<std::string> lines = ListLines(GetDlgItem(log, IDC_LOG_LIST));
        ASSERT_GE(lines.size(), 2u);
        EXPECT_NE(lines[0].find("正在连接服务器..."), std::string::npos) << lines[0];
        EXPECT_EQ(lines, SessionLogLines(*frame));
        ShowWindow(log, SW_HIDE);
        frame->session().OnConnect(WSAECONNREFUSED);
        EXPECT_EQ(FindOwnedBy("登录日志", pid), log) << "the same window shows again";
        EXPECT_EQ(ListLines(GetDlgItem(log, IDC_LOG_LIST)), SessionLogLines(*frame));

        g_loginSeen = {};
        frame->session().OnErr("!ERR!|密码错误");  // the text the dialog is to show
        UINT_PTR t = SetTimer(nullptr, 0, 50, CancelFramesLogin);
        SendMessageA(frame->hwnd(), WM_COMMAND, MAKEWPARAM(ID_USER_LOGIN, 0), 0);
        KillTimer(nullptr, t);
        EXPECT_NE(g_loginSeen.dialog, nullptr) << "the login command shows the dialog";
        EXPECT_EQ(g_loginSeen.owner, frame->hwnd());
        EXPECT_EQ(g_loginSeen.message, "密码错误");
        EXPECT_TRUE(IsWindowEnabled(frame->hwnd()));
        frame->Destroy();
    }
    testutil::Pump(50);  // takes the frame's WM_QUIT off the queue
    EXPECT_EQ(FindOwnedBy("管理消息", pid), nullptr);
    WSACleanup();
}

// A dmr.ini that holds a name or password that cannot be sent (written by
// hand, or by a client that took such fields) does not log on by itself: the
// first connect shows the login dialog, owned by the frame, with the reason.
TEST(MainFrameWindowsTest, StoredUserThatCannotBeSentBringsTheDialogAtStartUp) {
    WSADATA wsa;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa), 0);
    WriteUserSection({"te^st|x'\"\\", "a|b^c", "1"});
    {
        auto frame = std::make_unique<CMainFrame>();
        g_loginSeen = {};
        UINT_PTR t = SetTimer(nullptr, 0, 50, CancelFramesLogin);
        ASSERT_TRUE(frame->CreateFrame());  // the first connect comes with the frame
        KillTimer(nullptr, t);
        EXPECT_NE(g_loginSeen.dialog, nullptr) << "the dialog comes instead of the logon";
        EXPECT_EQ(g_loginSeen.owner, frame->hwnd());
        EXPECT_EQ(g_loginSeen.message, "客户号不能含有 | 或 ^ 字符");
        EXPECT_TRUE(frame->session().showLoginFirst()) << "cancelled: no connect until the login command";
        frame->Destroy();
    }
    testutil::Pump(50);
    WSACleanup();
}

// Not a check: the login dialog (with an error line) and the connection log
// on screen for a screenshot when TOVAN_SHOWCASE_SECONDS is set.
void CALLBACK EndShowcase(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (HWND dlg = FindOwnedBy("用户登录", GetCurrentProcessId()))
        PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

TEST(LoginShowcase, ShowsTheWindowsWhenAsked) {
    const char* seconds = std::getenv("TOVAN_SHOWCASE_SECONDS");
    if (!seconds) GTEST_SKIP() << "set TOVAN_SHOWCASE_SECONDS to show the windows";
    WriteUserSection({"test", "secret", "1"});
    CDlgDlrz log;
    ASSERT_TRUE(log.CreateModeless());
    const char* lines[] = {"21:14:02 正在连接服务器...", "21:14:02 连接服务器失败",
                           "21:14:04 正在连接服务器...", "21:14:04 连接服务器成功",
                           "21:14:04 发生错误:用户名或密码错误", "21:14:04 连接已关闭"};
    for (const char* l : lines) log.AddLine(l);
    SetWindowPos(log.hwnd(), nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    log.ShowAndRaise();
    CNotify notice;
    ASSERT_TRUE(notice.CreateModeless());
    SetWindowPos(notice.hwnd(), nullptr, 20, 330, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    notice.ShowNotice(LongNotice());
    UINT_PTR end = SetTimer(nullptr, 0, static_cast<UINT>(std::atoi(seconds)) * 1000, EndShowcase);
    CDenglu login;
    std::string name, password;
    login.Ask("用户名或密码错误", name, password);
    KillTimer(nullptr, end);
}

}  // namespace
