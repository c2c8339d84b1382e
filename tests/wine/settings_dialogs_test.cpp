// The settings dialogs on the display with the client's templates: phrase
// lists (Config.ini [Sentence]), toolbar items (dmr.ini [ToolBar]), external
// tools (Config.ini [Tools]) and text and background (dmr.ini [Display]).
// Each reads the current settings, OK writes exactly its keys, Cancel writes
// nothing.
#include <windows.h>
#include <dlgs.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fw/dialog.h"
#include "client/windows/display_apply.h"
#include "client/windows/phrase_lists_dlg.h"
#include "client/res/resource.h"
#include "client/windows/text_background_dlg.h"
#include "client/windows/toolbar_items_dlg.h"
#include "client/windows/tools_dlg.h"
#include "tests/wine/gui_test_util.h"

namespace {

// ---------------------------------------------------------------- files

std::string TempFile(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

// All keys of a section, in file order, as "key=value".
std::vector<std::string> Section(const std::string& file, const char* section) {
    std::vector<char> buf(32768);
    const DWORD n = GetPrivateProfileSectionA(section, buf.data(), static_cast<DWORD>(buf.size()), file.c_str());
    std::vector<std::string> lines;
    for (DWORD i = 0; i < n;) {
        std::string line(&buf[i]);
        i += static_cast<DWORD>(line.size()) + 1;
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

void ClearSection(const std::string& file, const char* section) {
    WritePrivateProfileStringA(section, nullptr, nullptr, file.c_str());
}

void Put(const std::string& file, const char* section, const char* key, const std::string& value) {
    WritePrivateProfileStringA(section, key, value.c_str(), file.c_str());
}

std::string Get(const std::string& file, const char* section, const char* key) {
    char buf[4096] = {};
    GetPrivateProfileStringA(section, key, "<missing>", buf, sizeof buf, file.c_str());
    return buf;
}

// ---------------------------------------------------------------- the user

// The user's part while a modal dialog runs: one step per tick of a thread
// timer; a step that returns false is tried again (what it waits for is not
// there yet). Steps only post what opens another modal window.
class Script {
public:
    using Step = std::function<bool()>;
    explicit Script(std::vector<Step> steps) : steps_(std::move(steps)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 15, Tick);
    }
    ~Script() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool Finished() const { return next_ == steps_.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        Script* s = current_;
        if (!s || s->busy_ || s->Finished()) return;
        if (++s->ticks_ > 600) {  // about 9 s: give up, close whatever is open
            ADD_FAILURE() << "script stuck at step " << s->next_;
            s->next_ = s->steps_.size();
            if (HWND w = GetActiveWindow()) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        s->busy_ = true;
        if (s->steps_[s->next_]()) ++s->next_;
        s->busy_ = false;
    }
    static Script* current_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    UINT_PTR timer_ = 0;
    int ticks_ = 0;
    bool busy_ = false;
};
Script* Script::current_ = nullptr;

Script::Step Do(std::function<void()> f) {
    return [f] { f(); return true; };
}

// A visible dialog box of this thread: with this caption, or owned by owner.
struct Search { const char* caption; HWND owner; HWND found; };
BOOL CALLBACK FindDialog(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    char cls[16] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (std::string(cls) != "#32770" || !IsWindowVisible(h)) return TRUE;
    if (s->caption ? fw::GetText(h) == s->caption : GetWindow(h, GW_OWNER) == s->owner) {
        s->found = h;
        return FALSE;
    }
    return TRUE;
}
HWND DialogNamed(const char* caption) {
    Search s{caption, nullptr, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&s));
    return s.found;
}
HWND OwnedBy(HWND owner) {
    Search s{nullptr, owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

void PostClick(HWND dlg, int id) {
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

// Waits for the dialog with this caption and keeps its handle.
Script::Step WaitFor(const char* caption, HWND& dlg) {
    return [caption, &dlg] { return (dlg = DialogNamed(caption)) != nullptr; };
}

// Waits for the message box owned by owner, keeps its text, presses OK.
Script::Step AnswerBox(HWND& owner, std::string& text) {
    return [&owner, &text] {
        HWND box = OwnedBy(owner);
        if (!box) return false;
        text = fw::GetText(GetDlgItem(box, 0xFFFF));
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    };
}

// Lets the queued clicks run before the next step looks.
Script::Step Settle(int ticks) {
    auto left = std::make_shared<int>(ticks);
    return [left] { return --*left <= 0; };
}

std::string ItemText(HWND dlg, int id) { return fw::GetText(GetDlgItem(dlg, id)); }

std::string CellText(HWND list, int row, int column) {
    char buf[600] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buf;
}

class SettingsDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        ClearSection(config, "Sentence");
        ClearSection(config, "Tools");
        ClearSection("dmr.ini", "ToolBar");
        ClearSection("dmr.ini", "Display");
    }
    const std::string config = TempFile("settings_Config.ini");
};

// ---------------------------------------------------------------- phrase lists

TEST_F(SettingsDialogs, PhraseListsSaveCleansTheTextAndShowsItAsStored) {
    Put(config, "Sentence", "Goods", "//x//y/");
    Put(config, "Sentence", "CarType", "高栏");
    CDysz dlg;
    dlg.configFile = config;
    HWND d = nullptr;
    std::string box, shownAfterLoad, shownAfterSave, shownAfterSwitch;
    Script script({
        WaitFor("短语设置", d),
        // Saving before a category was chosen does nothing, without a message.
        Do([&] { PostClick(d, IDOK); }),
        Settle(10),
        Do([&] { EXPECT_EQ(OwnedBy(d), nullptr); }),
        Do([&] { PostClick(d, IDC_PHRASE_GOODS); }),
        Settle(2),
        Do([&] {
            shownAfterLoad = ItemText(d, IDC_PHRASE_EDIT);
            SetDlgItemTextA(d, IDC_PHRASE_EDIT, "a b\r\n\r\n\r\nc'\r\n");
            PostClick(d, IDOK);
        }),
        AnswerBox(d, box),
        Settle(2),
        Do([&] {
            shownAfterSave = ItemText(d, IDC_PHRASE_EDIT);
            // Switching categories drops unsaved edits.
            PostClick(d, IDC_PHRASE_CAR_TYPE);
        }),
        Settle(2),
        Do([&] {
            SetDlgItemTextA(d, IDC_PHRASE_EDIT, "平板");
            PostClick(d, IDC_PHRASE_FREIGHT);
        }),
        Settle(2),
        Do([&] {
            shownAfterSwitch = ItemText(d, IDC_PHRASE_EDIT);
            PostClick(d, IDCANCEL);
        }),
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(shownAfterLoad, "x\r\ny");
    EXPECT_EQ(box, "当前项已经成功保存");
    EXPECT_EQ(shownAfterSave, "ab\r\nc\"");
    EXPECT_EQ(shownAfterSwitch, "");
    EXPECT_EQ(Section(config, "Sentence"),
              (std::vector<std::string>{"Goods=ab/c\"", "CarType=高栏"}));
}

TEST_F(SettingsDialogs, PhraseListsBlankLinesStoreAnEmptyList) {
    Put(config, "Sentence", "Other1", "a/b");
    CDysz dlg;
    dlg.configFile = config;
    HWND d = nullptr;
    std::string box, shown = "<unset>";
    Script script({
        WaitFor("短语设置", d),
        Do([&] { PostClick(d, IDC_PHRASE_VEHICLE_PHRASES); }),
        Settle(2),
        Do([&] {
            SetDlgItemTextA(d, IDC_PHRASE_EDIT, "\r\n  \r\n\r\n");
            PostClick(d, IDOK);
        }),
        AnswerBox(d, box),
        Settle(2),
        Do([&] {
            shown = ItemText(d, IDC_PHRASE_EDIT);
            PostClick(d, IDCANCEL);
        }),
    });
    dlg.DoModal();
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(Get(config, "Sentence", "Other1"), "");
    EXPECT_EQ(shown, "");
}

// ---------------------------------------------------------------- toolbar items

std::vector<bool> Checks(HWND list) {
    std::vector<bool> checks;
    const int n = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) checks.push_back(ListView_GetCheckState(list, i) != 0);
    return checks;
}

TEST_F(SettingsDialogs, ToolbarItemsOkWritesAllFifteenKeys) {
    Put("dmr.ini", "ToolBar", "退出", "2");
    CGjlsz dlg;
    HWND d = nullptr;
    std::vector<bool> shown;
    std::string firstRow;
    Script script({
        WaitFor("工具栏设置", d),
        Settle(2),
        Do([&] {
            HWND list = GetDlgItem(d, IDC_TOOLBAR_ITEM_LIST);
            shown = Checks(list);
            firstRow = CellText(list, 0, 0);
            ListView_SetCheckState(list, 0, TRUE);   // 登录 on
            ListView_SetCheckState(list, 2, FALSE);  // 字体 off
            PostClick(d, IDOK);
        }),
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(firstRow, "登录");
    EXPECT_EQ(shown, (std::vector<bool>{false, true, true, false, true, true, true, true, true, true,
                                        true, true, true, false, true}));
    EXPECT_EQ(Section("dmr.ini", "ToolBar"),
              (std::vector<std::string>{"退出=1", "登录=1", "加密解密=1", "字体=0", "工具栏=0",
                                        "地区列表=1", "发布货源=1", "发布车源=1", "当前信息=1",
                                        "关注信息=1", "普通搜索=1", "高级搜索=1", "我的信息=1",
                                        "重发管理=1", "总站服务=0"}));
}

TEST_F(SettingsDialogs, ToolbarItemsCancelWritesNothing) {
    Put("dmr.ini", "ToolBar", "字体", "0");
    CGjlsz dlg;
    HWND d = nullptr;
    Script script({
        WaitFor("工具栏设置", d),
        Do([&] {
            ListView_SetCheckState(GetDlgItem(d, IDC_TOOLBAR_ITEM_LIST), 2, TRUE);
            PostClick(d, IDCANCEL);
        }),
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(Section("dmr.ini", "ToolBar"), (std::vector<std::string>{"字体=0"}));
}

// ---------------------------------------------------------------- external tools

void SelectRow(HWND list, int row) {
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

int SelectedRow(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

TEST_F(SettingsDialogs, ToolsAddDeleteEditThenOk) {
    Put(config, "Tools", "ToolString", "calc\\note\\");
    Put(config, "Tools", "calc", "C:\\WINDOWS\\calc.exe");
    Put(config, "Tools", "note", "C:\\WINDOWS\\note.exe");
    CTools dlg;
    dlg.configFile = config;
    dlg.runEditor = [](CToolBj& editor) {
        editor.browseFile = [](HWND, std::string& path) {
            path = "C:\\PROGRA~1\\MY TOOL.EXE";
            return true;
        };
        return editor.DoModal();
    };
    HWND d = nullptr, ed = nullptr;
    std::string noName, noPath, editName, editPath;
    std::vector<std::string> rowsAtStart;
    bool buttonsAtStart = true, buttonsOnSelect = false;
    int selectedAfterDelete = -2;
    Script script({
        WaitFor("实用工具管理", d),
        Do([&] {
            HWND list = GetDlgItem(d, IDC_TOOLS_LIST);
            for (int r = 0; r < 2; ++r) rowsAtStart.push_back(CellText(list, r, 0) + "=" + CellText(list, r, 1));
            buttonsAtStart = IsWindowEnabled(GetDlgItem(d, IDC_TOOLS_DELETE)) ||
                             IsWindowEnabled(GetDlgItem(d, IDC_TOOLS_EDIT));
            PostClick(d, IDC_TOOLS_ADD);
        }),
        WaitFor("实用工具增加/编辑", ed),
        Do([&] { PostClick(ed, IDOK); }),
        AnswerBox(ed, noName),
        Do([&] {
            SetDlgItemTextA(ed, IDC_TOOL_NAME, " my \\ tool ");
            PostClick(ed, IDOK);
        }),
        AnswerBox(ed, noPath),
        Do([&] { PostClick(ed, IDC_TOOL_BROWSE); }),
        Settle(2),
        Do([&] { PostClick(ed, IDOK); }),
        [&] { return DialogNamed("实用工具增加/编辑") == nullptr; },
        Do([&] {
            // Rows now: mytool, calc, note. Delete the last one.
            HWND list = GetDlgItem(d, IDC_TOOLS_LIST);
            SelectRow(list, 2);
            buttonsOnSelect = IsWindowEnabled(GetDlgItem(d, IDC_TOOLS_DELETE)) &&
                              IsWindowEnabled(GetDlgItem(d, IDC_TOOLS_EDIT));
            PostClick(d, IDC_TOOLS_DELETE);
        }),
        Settle(2),
        Do([&] {
            selectedAfterDelete = SelectedRow(GetDlgItem(d, IDC_TOOLS_LIST));
            PostClick(d, IDC_TOOLS_EDIT);
        }),
        WaitFor("实用工具增加/编辑", ed),
        Do([&] {
            editName = ItemText(ed, IDC_TOOL_NAME);
            editPath = ItemText(ed, IDC_TOOL_PATH);
            SetDlgItemTextA(ed, IDC_TOOL_NAME, "calc2");
            PostClick(ed, IDOK);
        }),
        [&] { return DialogNamed("实用工具增加/编辑") == nullptr; },
        Do([&] { PostClick(d, IDOK); }),
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(rowsAtStart, (std::vector<std::string>{"calc=C:\\WINDOWS\\calc.exe", "note=C:\\WINDOWS\\note.exe"}));
    EXPECT_FALSE(buttonsAtStart);
    EXPECT_EQ(noName, "请填写工具名称");
    EXPECT_EQ(noPath, "请选择文件路径");
    EXPECT_TRUE(buttonsOnSelect);
    EXPECT_EQ(selectedAfterDelete, 1);  // the new last row
    EXPECT_EQ(editName, "calc");
    EXPECT_EQ(editPath, "C:\\WINDOWS\\calc.exe");
    EXPECT_EQ(Get(config, "Tools", "ToolString"), "mytool\\calc2\\");
    // Blanks go from the path as from the name.
    EXPECT_EQ(Get(config, "Tools", "mytool"), "C:\\PROGRA~1\\MYTOOL.EXE");
    EXPECT_EQ(Get(config, "Tools", "calc2"), "C:\\WINDOWS\\calc.exe");
    // Keys of tools no longer listed stay.
    EXPECT_EQ(Get(config, "Tools", "note"), "C:\\WINDOWS\\note.exe");
}

TEST_F(SettingsDialogs, ToolsDeletingTheOnlyRowDisablesButtonsAndCancelKeepsTheFile) {
    Put(config, "Tools", "ToolString", "calc\\");
    Put(config, "Tools", "calc", "C:\\calc.exe");
    const std::vector<std::string> before = Section(config, "Tools");
    CTools dlg;
    dlg.configFile = config;
    dlg.runEditor = [](CToolBj& editor) {
        editor.name = "added";
        editor.path = "C:\\added.exe";
        return static_cast<INT_PTR>(IDOK);
    };
    HWND d = nullptr;
    int rows = -1;
    bool buttonsEnabled = true;
    Script script({
        WaitFor("实用工具管理", d),
        Do([&] {
            SelectRow(GetDlgItem(d, IDC_TOOLS_LIST), 0);
            PostClick(d, IDC_TOOLS_DELETE);
        }),
        Settle(2),
        Do([&] {
            rows = static_cast<int>(SendMessageA(GetDlgItem(d, IDC_TOOLS_LIST), LVM_GETITEMCOUNT, 0, 0));
            buttonsEnabled = IsWindowEnabled(GetDlgItem(d, IDC_TOOLS_DELETE)) ||
                             IsWindowEnabled(GetDlgItem(d, IDC_TOOLS_EDIT));
            PostClick(d, IDC_TOOLS_ADD);
        }),
        Settle(2),
        Do([&] { PostClick(d, IDCANCEL); }),
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(rows, 0);
    EXPECT_FALSE(buttonsEnabled);
    EXPECT_EQ(Section(config, "Tools"), before);
}

TEST_F(SettingsDialogs, ToolsEmptyListStoresAnEmptyToolString) {
    Put(config, "Tools", "ToolString", "calc\\");
    Put(config, "Tools", "calc", "C:\\calc.exe");
    CTools dlg;
    dlg.configFile = config;
    HWND d = nullptr;
    Script script({
        WaitFor("实用工具管理", d),
        Do([&] {
            SelectRow(GetDlgItem(d, IDC_TOOLS_LIST), 0);
            PostClick(d, IDC_TOOLS_DELETE);
        }),
        Settle(2),
        Do([&] { PostClick(d, IDOK); }),
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(Section(config, "Tools"), (std::vector<std::string>{"ToolString=", "calc=C:\\calc.exe"}));
}

// ---------------------------------------------------------------- text and background

COLORREF SwatchColor(HWND swatch) {
    RedrawWindow(swatch, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(swatch);
    const COLORREF c = GetPixel(dc, 4, 4);
    ReleaseDC(swatch, dc);
    return c;
}

void SetSlider(HWND d, int pos) {
    HWND slider = GetDlgItem(d, IDC_DISPLAY_SIZE_SLIDER);
    SendMessageA(slider, TBM_SETPOS, TRUE, pos);
    SendMessageA(d, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, pos), reinterpret_cast<LPARAM>(slider));
}

TEST_F(SettingsDialogs, TextBackgroundDefaultsSampleAndOkWritesAllKeys) {
    CWenzi dlg;
    std::vector<COLORREF> answers = {RGB(0, 128, 0), RGB(1, 2, 3)};
    dlg.chooseColor = [&answers](HWND, COLORREF& c) {
        if (answers.empty()) return false;
        c = answers.front();
        answers.erase(answers.begin());
        return true;
    };
    dlg.chooseFont = [](HWND, LOGFONTA& lf) {
        lstrcpyA(lf.lfFaceName, "黑体");
        return true;
    };
    HWND d = nullptr;
    std::vector<std::string> samples;
    COLORREF back = 0, text = 1, phone = 0, textAfterPick = 0;
    int lineSel = -2;
    std::string sampleFace;
    Script script({
        WaitFor("文字和背景", d),
        Settle(2),
        Do([&] {
            samples.push_back(ItemText(d, IDC_DISPLAY_SAMPLE));
            back = SwatchColor(GetDlgItem(d, IDC_BACK_COLOR_SWATCH));
            text = SwatchColor(GetDlgItem(d, IDC_TEXT_COLOR_SWATCH));
            phone = SwatchColor(GetDlgItem(d, IDC_PHONE_COLOR_SWATCH));
            lineSel = static_cast<int>(SendDlgItemMessageA(d, IDC_DISPLAY_LINES, CB_GETCURSEL, 0, 0));
            PostClick(d, IDC_DISPLAY_SMALLER);  // at 12: nothing
        }),
        Settle(2),
        Do([&] {
            samples.push_back(ItemText(d, IDC_DISPLAY_SAMPLE));
            SetSlider(d, 13);
            samples.push_back(ItemText(d, IDC_DISPLAY_SAMPLE));
            SetSlider(d, 34);
            PostClick(d, IDC_DISPLAY_LARGER);  // at 34: nothing
        }),
        Settle(2),
        Do([&] {
            samples.push_back(ItemText(d, IDC_DISPLAY_SAMPLE));
            PostClick(d, IDC_DISPLAY_SMALLER);
        }),
        Settle(2),
        Do([&] {
            samples.push_back(ItemText(d, IDC_DISPLAY_SAMPLE));
            PostClick(d, IDC_DISPLAY_TEXT_COLOR);
            PostClick(d, IDC_DISPLAY_PHONE_COLOR);
            PostClick(d, IDC_DISPLAY_BACK_COLOR);  // the colour dialog is cancelled
            PostClick(d, IDC_DISPLAY_FONT);
            CheckDlgButton(d, IDC_DISPLAY_BOLD, BST_CHECKED);
            PostClick(d, IDC_DISPLAY_BOLD);
            SendDlgItemMessageA(d, IDC_DISPLAY_LINES, CB_SETCURSEL, 0, 0);  // 自动
        }),
        Settle(3),
        Do([&] {
            textAfterPick = SwatchColor(GetDlgItem(d, IDC_TEXT_COLOR_SWATCH));
            LOGFONTA lf = {};
            GetObjectA(reinterpret_cast<HFONT>(SendDlgItemMessageA(d, IDC_DISPLAY_SAMPLE, WM_GETFONT, 0, 0)),
                       sizeof lf, &lf);
            sampleFace = lf.lfFaceName;
            PostClick(d, IDOK);
        }),
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(samples, (std::vector<std::string>{"12号字", "12号字", "13号", "34号", "33号"}));
    EXPECT_EQ(back, RGB(0xE7, 0xF4, 0xFE));  // 16708839 = 0xFEF4E7
    EXPECT_EQ(text, RGB(0, 0, 0));
    EXPECT_EQ(phone, RGB(255, 0, 0));
    EXPECT_EQ(lineSel, 2);  // "3"
    EXPECT_EQ(textAfterPick, RGB(0, 128, 0));
    EXPECT_EQ(sampleFace, "黑体");
    EXPECT_EQ(Section("dmr.ini", "Display"),
              (std::vector<std::string>{"FontSize=33", "FontColor=32768", "BackColor=16708839",
                                        "PhoneColor=197121", "Bold=1", "FontFamily=黑体", "Line=0"}));
    EXPECT_EQ(dlg.choice.lines, 0);
    EXPECT_EQ(dlg.choice.fontSize, 33);
    EXPECT_TRUE(dlg.choice.bold);
}

// 放大 pressed twice quickly zooms twice: the second press, a double-click to
// the system, is a press of the button too.
TEST_F(SettingsDialogs, TextBackgroundLargerPressedTwiceQuicklyZoomsTwice) {
    CWenzi dlg;
    HWND d = nullptr;
    std::string sample;
    Script script({
        WaitFor("文字和背景", d),
        Settle(2),
        Do([&] {
            SetForegroundWindow(d);
            testutil::PressTwice(GetDlgItem(d, IDC_DISPLAY_LARGER), 100);  // from 12
            testutil::Pump(100);
            sample = ItemText(d, IDC_DISPLAY_SAMPLE);
            PostClick(d, IDCANCEL);
        }),
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(sample, "14号");
}

TEST_F(SettingsDialogs, TextBackgroundReadsStoredValuesAndCancelWritesNothing) {
    Put("dmr.ini", "Display", "FontSize", "20");
    Put("dmr.ini", "Display", "Bold", "1");
    Put("dmr.ini", "Display", "Line", "5");
    Put("dmr.ini", "Display", "PhoneColor", "65280");
    const std::vector<std::string> before = Section("dmr.ini", "Display");
    CWenzi dlg;
    dlg.chooseColor = [](HWND, COLORREF& c) { c = RGB(9, 9, 9); return true; };
    HWND d = nullptr;
    std::string sample;
    int pos = 0, lineSel = -2;
    bool bold = false;
    COLORREF phone = 0;
    Script script({
        WaitFor("文字和背景", d),
        Settle(2),
        Do([&] {
            sample = ItemText(d, IDC_DISPLAY_SAMPLE);
            pos = static_cast<int>(SendDlgItemMessageA(d, IDC_DISPLAY_SIZE_SLIDER, TBM_GETPOS, 0, 0));
            bold = IsDlgButtonChecked(d, IDC_DISPLAY_BOLD) == BST_CHECKED;
            lineSel = static_cast<int>(SendDlgItemMessageA(d, IDC_DISPLAY_LINES, CB_GETCURSEL, 0, 0));
            phone = SwatchColor(GetDlgItem(d, IDC_PHONE_COLOR_SWATCH));
            PostClick(d, IDC_DISPLAY_TEXT_COLOR);
            PostClick(d, IDCANCEL);
        }),
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(sample, "20号字");
    EXPECT_EQ(pos, 20);
    EXPECT_TRUE(bold);
    EXPECT_EQ(lineSel, 4);
    EXPECT_EQ(phone, RGB(0, 255, 0));
    EXPECT_EQ(Section("dmr.ini", "Display"), before);
}

// The platform's font dialog, started from the sample: it finds 宋体 and
// lists no vertical ("@") face to choose.
TEST_F(SettingsDialogs, FontDialogStartsFromTheSampleFaceAndOffersNoVerticalFace) {
    CWenzi dlg;
    HWND d = nullptr;
    HWND fonts = nullptr;
    std::string shownFace;
    int faceCount = 0, verticalFaces = 0;
    Script script({
        WaitFor("文字和背景", d),
        Do([&] { PostClick(d, IDC_DISPLAY_FONT); }),
        [&] { return (fonts = OwnedBy(d)) != nullptr; },
        Settle(2),
        Do([&] {
            HWND faces = GetDlgItem(fonts, cmb1);
            shownFace = fw::GetText(faces);
            faceCount = static_cast<int>(SendMessageA(faces, CB_GETCOUNT, 0, 0));
            for (int i = 0; i < faceCount; ++i) {
                char name[128] = {};
                SendMessageA(faces, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
                verticalFaces += name[0] == '@';
            }
            PostClick(fonts, IDCANCEL);
        }),
        Settle(2),
        Do([&] { PostClick(d, IDCANCEL); }),
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(shownFace, "宋体");
    EXPECT_GT(faceCount, 0);
    EXPECT_EQ(verticalFaces, 0);
}

TEST_F(SettingsDialogs, TextBackgroundUnofferedLineStoresAutomatic) {
    Put("dmr.ini", "Display", "Line", "7");
    CWenzi dlg;
    HWND d = nullptr;
    int lineSel = 0;
    Script script({
        WaitFor("文字和背景", d),
        Do([&] {
            lineSel = static_cast<int>(SendDlgItemMessageA(d, IDC_DISPLAY_LINES, CB_GETCURSEL, 0, 0));
            PostClick(d, IDOK);
        }),
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(lineSel, CB_ERR);
    EXPECT_EQ(Get("dmr.ini", "Display", "Line"), "0");
}

// ---------------------------------------------------------------- applying the choice

TEST_F(SettingsDialogs, ApplyDisplayChoiceSizesClassColumnAndGivesTextTheRest) {
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 600, 300, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    CQGrid grid;
    const RECT r = {0, 0, 600, 300};
    ASSERT_TRUE(grid.Create(parent, 1, r));
    grid.SetColumnCount(5);
    grid.SetColumnWidth(3, 40);
    grid.SetColumnWidth(4, 30);

    tovan::DisplayChoice big;
    big.fontSize = 30;
    big.bold = true;
    big.lines = 0;
    big.backColor = 0x123456;
    ApplyDisplayChoice(grid, big, false);
    const int bigClass = grid.ColumnWidth(1);
    EXPECT_EQ(bigClass, grid.MeasureText("车").cx + 2 * grid.marginX);
    RECT client;
    GetClientRect(grid.hwnd(), &client);
    // The place and talk columns follow the font too: a two-character name fits.
    const int place = grid.MeasureText("北京").cx + 2 * grid.marginX;
    EXPECT_EQ(grid.ColumnWidth(3), place);
    EXPECT_EQ(grid.ColumnWidth(4), place);
    EXPECT_EQ(grid.ColumnWidth(2), client.right - bigClass - 2 * place - GetSystemMetrics(SM_CXVSCROLL) - 4);
    EXPECT_EQ(grid.linesPerRow, 0);
    EXPECT_EQ(grid.backColor, 0x123456u);

    tovan::DisplayChoice small;
    ApplyDisplayChoice(grid, small, false);
    EXPECT_LT(grid.ColumnWidth(1), bigClass);
    EXPECT_EQ(grid.linesPerRow, 3);
    // With class pictures their width decides.
    ApplyDisplayChoice(grid, small, true);
    HBITMAP picture = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_CLASS_CARGO));
    ASSERT_NE(picture, nullptr);
    BITMAP info = {};
    GetObjectA(picture, sizeof info, &info);
    DeleteObject(picture);
    EXPECT_EQ(grid.ColumnWidth(1), info.bmWidth + 4);
    DestroyWindow(parent);
}

}  // namespace
