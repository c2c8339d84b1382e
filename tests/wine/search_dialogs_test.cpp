// The search dialogs and the watch settings dialog on the display, with the
// client's templates: what they offer from area.ini and dmr.ini, what the
// user's clicks do to the lists, what OK hands back and which settings it
// writes; and the search command run through the dialog.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "client/windows/guanzhu_dlg.h"
#include "tests/wine/gui_test_util.h"
#include "client/controls/list_box_text.h"
#include "fw/message_box.h"
#include "client/model/record_store.h"
#include "client/res/resource.h"
#include "client/model/row_paging.h"
#include "client/model/search_commands.h"
#include "client/windows/search_dlg.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Texts = std::vector<std::string>;

// ---------------------------------------------------------------- files

std::string TempFile(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

// 北京 is a province and its own city; a county "南" of 南京 begins the city's name.
std::string WriteAreaIni() {
    const std::string path = TempFile("search_area.ini");
    DeleteFileA(path.c_str());
    struct { const char* section; const char* key; const char* value; } rows[] = {
        {"全国省城", "SF", "北京\\江苏\\\\天津\\"},
        {"北京", "CS", "北京\\"},
        {"北京", "XIAN", "朝阳\\"},
        {"天津", "CS", "天津\\"},
        {"江苏", "CS", "南京\\苏州\\"},
        {"江苏", "XIAN", "沭阳\\"},
        {"南京", "XIAN", "玄武\\江宁\\南\\"},
        {"苏州", "XIAN", "昆山\\"},
    };
    for (const auto& r : rows) WritePrivateProfileStringA(r.section, r.key, r.value, path.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    return path;
}

void ClearSection(const char* file, const char* section) {
    WritePrivateProfileStringA(section, nullptr, nullptr, file);
}

// The stored value, or "<none>" when the key is missing.
std::string Stored(const std::string& file, const char* section, const char* key) {
    char buf[4000];
    GetPrivateProfileStringA(section, key, "<none>", buf, sizeof buf, file.c_str());
    return buf;
}

void ResetUserIni() {
    ClearSection("dmr.ini", "Search");
    ClearSection("dmr.ini", "关注");
}

// ---------------------------------------------------------------- scripting

// Finds a message box owned by the dialog: caption and text.
struct Box {
    HWND hwnd = nullptr;
    std::string caption, text;
};
BOOL CALLBACK FindOwnedBox(HWND h, LPARAM lp) {
    auto* box = reinterpret_cast<Box*>(lp);
    char cls[32] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (std::string(cls) == "#32770" && IsWindowVisible(h) &&
        GetWindow(h, GW_OWNER) == box->hwnd) {
        box->hwnd = h;
        return FALSE;
    }
    return TRUE;
}

// A dialog played by a list of steps, one per timer tick once it is on
// screen. A message box that opens is noted and answered before the next step.
template <class Dialog>
class Scripted : public Dialog {
public:
    std::vector<std::function<void(Scripted&)>> steps;
    std::vector<std::string> boxes;  // "caption: text" of every message box, in order
    std::string boxCaption;

    // The user's actions.
    void Click(int id) { this->SendItem(id, BM_CLICK); }
    void Select(int id, const std::string& text) {
        const LRESULT i = this->SendItem(id, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(text.c_str()));
        ASSERT_NE(i, LB_ERR) << text;
        this->SendItem(id, LB_SETCURSEL, static_cast<WPARAM>(i));
        SendMessageA(this->hwnd(), WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(this->Item(id)));
    }
    void DoubleClick(int id, const std::string& text) {
        const LRESULT i = this->SendItem(id, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(text.c_str()));
        ASSERT_NE(i, LB_ERR) << text;
        this->SendItem(id, LB_SETCURSEL, static_cast<WPARAM>(i));
        SendMessageA(this->hwnd(), WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(this->Item(id)));
    }
    Texts List(int id) const { return listbox::Texts(this->Item(id)); }
    bool Enabled(int id) const { return IsWindowEnabled(this->Item(id)) != FALSE; }
    bool Visible(int id) const { return IsWindowVisible(this->Item(id)) != FALSE; }

protected:
    BOOL OnInitDialog() override {
        const BOOL r = Dialog::OnInitDialog();
        next_ = 0;
        SetTimer(this->hwnd(), 1, 20, Tick);
        return r;
    }

private:
    static void CALLBACK Tick(HWND h, UINT, UINT_PTR, DWORD) {
        auto* self = dynamic_cast<Scripted*>(fw::Window::FromHandle(h));
        if (!self) return;
        Box box;
        box.hwnd = h;
        EnumThreadWindows(GetCurrentThreadId(), FindOwnedBox, reinterpret_cast<LPARAM>(&box));
        if (box.hwnd != h) {
            HWND text = GetDlgItem(box.hwnd, 0xFFFF);
            self->boxes.push_back(fw::GetText(box.hwnd) + ": " + fw::GetText(text));
            PostMessageA(box.hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return;
        }
        if (self->busy_) return;
        if (self->next_ >= self->steps.size()) {
            // A script that runs out cancels, so that a test never hangs.
            KillTimer(h, 1);
            PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return;
        }
        self->busy_ = true;  // a step that opens a message box runs its loop
        self->steps[self->next_++](*self);
        self->busy_ = false;
    }
    size_t next_ = 0;
    bool busy_ = false;
};

struct Account {
    int level;
    const char* province = "江苏";
    const char* city = "南京";
    const char* third = "上海";
};

template <class Dialog>
void Prepare(Scripted<Dialog>& d, const std::string& areaIni, const Account& a) {
    d.areaIniFile = areaIni;
    d.areaLevel = a.level;
    d.homeProvince = a.province;
    d.homeCity = a.city;
    d.thirdArea = a.third;
}

class SearchDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        fw::SetAppTitle("TovanClient");
        areaIni_ = WriteAreaIni();
        ResetUserIni();
    }
    void TearDown() override { fw::SetAppTitle(""); }
    std::string areaIni_;
};

// ---------------------------------------------------------------- full dialog

TEST_F(SearchDialogTest, ChosenAreasKeywordAndClassesComeBackQuotedAndAreStored) {
    Scripted<CSousuo> d;
    Prepare(d, areaIni_, {0});
    using S = Scripted<CSousuo>;
    d.steps = {
        [](S& s) {
            EXPECT_EQ(s.ItemText(IDC_SRCH_HOME_PROVINCE), "江苏");
            EXPECT_EQ(s.ItemText(IDC_SRCH_THIRD_AREA), "上海");
            EXPECT_TRUE(s.IsChecked(IDC_SRCH_CHOSEN_AREAS));
            EXPECT_TRUE(s.IsChecked(IDC_SRCH_CARGO));
            EXPECT_TRUE(s.IsChecked(IDC_SRCH_VEHICLE));
            EXPECT_THAT(s.List(IDC_SRCH_FROM_PROVINCE), ElementsAre("北京", "江苏", "天津"));
            EXPECT_THAT(s.List(IDC_SRCH_TO_PROVINCE), ElementsAre("北京", "江苏", "天津"));
            EXPECT_THAT(s.List(IDC_SRCH_FROM_LIST), IsEmpty());
            EXPECT_THAT(s.List(IDC_SRCH_TO_LIST), IsEmpty());
        },
        [](S& s) {
            s.Select(IDC_SRCH_FROM_PROVINCE, "江苏");
            EXPECT_THAT(s.List(IDC_SRCH_FROM_CITY), ElementsAre("南京", "苏州", "沭阳"));
            s.Select(IDC_SRCH_FROM_CITY, "南京");
            s.Select(IDC_SRCH_FROM_CITY, "南京");  // a city chosen twice is listed once
            EXPECT_THAT(s.List(IDC_SRCH_FROM_COUNTY), ElementsAre("玄武", "江宁", "南"));
            s.Select(IDC_SRCH_FROM_COUNTY, "玄武");
            s.Select(IDC_SRCH_FROM_COUNTY, "南");  // begins 南京: not added
            s.Select(IDC_SRCH_FROM_CITY, "苏州");
            EXPECT_THAT(s.List(IDC_SRCH_FROM_LIST), ElementsAre("南京", "玄武", "苏州"));
            s.DoubleClick(IDC_SRCH_FROM_LIST, "苏州");
            EXPECT_THAT(s.List(IDC_SRCH_FROM_LIST), ElementsAre("南京", "玄武"));
        },
        [](S& s) {
            s.Select(IDC_SRCH_TO_PROVINCE, "江苏");
            s.Click(IDC_SRCH_ALL_TO_CITIES);  // 南京 苏州 沭阳
            s.Click(IDC_SRCH_CLEAR_TO);
            EXPECT_THAT(s.List(IDC_SRCH_TO_LIST), IsEmpty());
            s.Select(IDC_SRCH_TO_PROVINCE, "北京");
            EXPECT_THAT(s.List(IDC_SRCH_TO_CITY), ElementsAre("北京", "朝阳"));
            s.Select(IDC_SRCH_TO_CITY, "北京");
            s.Click(IDC_SRCH_ALL_TO_COUNTIES);
            s.Click(IDC_SRCH_ALL_TO_COUNTIES);
            EXPECT_THAT(s.List(IDC_SRCH_TO_LIST), ElementsAre("北京", "朝阳"));
            s.SetItemText(IDC_SRCH_KEYWORD, "冷'藏");
            s.Click(IDC_SRCH_CARGO);
            s.Click(IDC_SRCH_AS_WATCH);
            s.Click(IDOK);
        },
    };
    ASSERT_EQ(d.DoModal(), IDOK);
    EXPECT_THAT(d.boxes, IsEmpty());
    EXPECT_EQ(d.fromList, "'南京','玄武'");
    EXPECT_EQ(d.toList, "'北京','朝阳'");
    EXPECT_EQ(d.typeList, "'车'");
    EXPECT_EQ(d.keyWords, "冷藏");
    EXPECT_EQ(Stored("dmr.ini", "Search", "From"), "南京,玄武");
    EXPECT_EQ(Stored("dmr.ini", "Search", "To"), "北京,朝阳");
    EXPECT_EQ(Stored("dmr.ini", "关注", "From"), "南京,玄武");
    EXPECT_EQ(Stored("dmr.ini", "关注", "To"), "北京,朝阳");
    EXPECT_EQ(Stored("dmr.ini", "关注", "KeyWords"), "冷藏");
    EXPECT_EQ(Stored("dmr.ini", "关注", "Type"), "车");
}

TEST_F(SearchDialogTest, IncompleteFormsAreRefusedWithTheirMessagesUntilFixed) {
    Scripted<CSousuo> d;
    Prepare(d, areaIni_, {0});
    using S = Scripted<CSousuo>;
    d.steps = {
        [](S& s) { s.Click(IDOK); },  // no origin
        [](S& s) {
            s.Click(IDC_SRCH_HOME_CITY);
            EXPECT_THAT(s.List(IDC_SRCH_FROM_LIST), ElementsAre("南京"));
            EXPECT_FALSE(s.Enabled(IDC_SRCH_FROM_PROVINCE));
            EXPECT_FALSE(s.Enabled(IDC_SRCH_ALL_FROM_COUNTIES));
            s.Click(IDOK);  // no destination, no keyword
        },
        [](S& s) {
            s.SetItemText(IDC_SRCH_KEYWORD, "冷藏");
            s.Click(IDC_SRCH_ALL_OFFERS);
            EXPECT_EQ(s.ItemText(IDC_SRCH_KEYWORD), "");
            EXPECT_FALSE(s.Enabled(IDC_SRCH_KEYWORD));
            EXPECT_FALSE(s.Enabled(IDC_SRCH_TO_LIST));
            s.Click(IDC_SRCH_CARGO);
            s.Click(IDC_SRCH_VEHICLE);
            s.Click(IDOK);  // no class
        },
        [](S& s) {
            EXPECT_THAT(s.List(IDC_SRCH_FROM_LIST), ElementsAre("南京"));  // kept as it was
            s.Click(IDC_SRCH_CARGO);
            s.Click(IDOK);
        },
    };
    ASSERT_EQ(d.DoModal(), IDOK);
    EXPECT_THAT(d.boxes, ElementsAre("TovanClient: 请选择信息所属地区",
                                     "TovanClient: 请输入搜索的地区或关键字",
                                     "TovanClient: 请选择搜索的信息类型"));
    EXPECT_EQ(d.fromList, "'南京'");
    EXPECT_EQ(d.toList, "");
    EXPECT_EQ(d.typeList, "'货'");
    EXPECT_EQ(d.keyWords, "");
    EXPECT_EQ(Stored("dmr.ini", "Search", "From"), "南京");
    EXPECT_EQ(Stored("dmr.ini", "Search", "To"), "");
    EXPECT_EQ(Stored("dmr.ini", "关注", "From"), "<none>");  // not asked to be the watch
}

TEST_F(SearchDialogTest, StoredListsReturnWithinTheAccountsScopeAndCancelKeepsEverything) {
    WritePrivateProfileStringA("Search", "From", "北京,南京,玄武,上海,苏州", "dmr.ini");
    WritePrivateProfileStringA("Search", "To", "北京,,天津", "dmr.ini");
    Scripted<CSousuo> d;
    Prepare(d, areaIni_, {2});
    d.fromList = "'旧'";
    d.keyWords = "旧";
    using S = Scripted<CSousuo>;
    d.steps = {[](S& s) {
        EXPECT_THAT(s.List(IDC_SRCH_FROM_LIST), ElementsAre("南京", "玄武", "上海"));
        EXPECT_THAT(s.List(IDC_SRCH_TO_LIST), ElementsAre("北京", "天津"));
        EXPECT_TRUE(s.IsChecked(IDC_SRCH_CHOSEN_AREAS));
        EXPECT_FALSE(s.Enabled(IDC_SRCH_HOME_PROVINCE));
        EXPECT_THAT(s.List(IDC_SRCH_FROM_PROVINCE), ElementsAre("江苏"));
        s.Select(IDC_SRCH_FROM_PROVINCE, "江苏");
        EXPECT_THAT(s.List(IDC_SRCH_FROM_CITY), ElementsAre("南京"));
        s.Click(IDC_SRCH_CLEAR_FROM);
        EXPECT_THAT(s.List(IDC_SRCH_FROM_LIST), IsEmpty());
        // All offers of the classes, then not: the destinations and keyword
        // come back usable, and empty.
        s.SetItemText(IDC_SRCH_KEYWORD, "冷藏");
        s.Click(IDC_SRCH_ALL_OFFERS);
        s.Click(IDC_SRCH_ALL_OFFERS);
        EXPECT_TRUE(s.Enabled(IDC_SRCH_TO_LIST));
        EXPECT_TRUE(s.Enabled(IDC_SRCH_KEYWORD));
        EXPECT_THAT(s.List(IDC_SRCH_TO_LIST), IsEmpty());
        EXPECT_EQ(s.ItemText(IDC_SRCH_KEYWORD), "");
        s.Click(IDCANCEL);
    }};
    EXPECT_EQ(d.DoModal(), IDCANCEL);
    EXPECT_EQ(d.fromList, "'旧'");
    EXPECT_EQ(d.keyWords, "旧");
    EXPECT_EQ(Stored("dmr.ini", "Search", "From"), "北京,南京,玄武,上海,苏州");
    EXPECT_EQ(Stored("dmr.ini", "Search", "To"), "北京,,天津");

    // Nothing stored at city level: the home-city radio shows and works as if
    // clicked, so OK searches from the home city as it stands.
    ResetUserIni();
    Scripted<CSousuo> e;
    Prepare(e, areaIni_, {2});
    e.steps = {[](S& s) {
        EXPECT_TRUE(s.IsChecked(IDC_SRCH_HOME_CITY));
        EXPECT_FALSE(s.IsChecked(IDC_SRCH_CHOSEN_AREAS));
        EXPECT_THAT(s.List(IDC_SRCH_FROM_LIST), ElementsAre("南京"));
        EXPECT_FALSE(s.Enabled(IDC_SRCH_FROM_PROVINCE));
        EXPECT_FALSE(s.Enabled(IDC_SRCH_ALL_FROM_CITIES));
        s.SetItemText(IDC_SRCH_KEYWORD, "冷藏");
        s.Click(IDOK);
    }};
    EXPECT_EQ(e.DoModal(), IDOK);
    EXPECT_THAT(e.boxes, IsEmpty());
    EXPECT_EQ(e.fromList, "'南京'");
    EXPECT_EQ(Stored("dmr.ini", "Search", "From"), "南京");
}

// ---------------------------------------------------------------- reduced dialog

TEST_F(SearchDialogTest, ReducedDialogSearchesFromTheHomeCityAndNeverWritesTheWatch) {
    WritePrivateProfileStringA("Search", "From", "北京", "dmr.ini");
    WritePrivateProfileStringA("Search", "To", "天津", "dmr.ini");
    Scripted<CGjSousuo> d;
    Prepare(d, areaIni_, {0});
    using S = Scripted<CGjSousuo>;
    d.steps = {[](S& s) {
        EXPECT_THAT(s.List(IDC_SRCH_FROM_LIST), ElementsAre("南京"));  // From is not read
        EXPECT_THAT(s.List(IDC_SRCH_TO_LIST), ElementsAre("天津"));
        EXPECT_TRUE(s.IsChecked(IDC_SRCH_HOME_CITY));
        for (int id : {IDC_SRCH_HOME_PROVINCE, IDC_SRCH_THIRD_AREA, IDC_SRCH_CHOSEN_AREAS})
            EXPECT_FALSE(s.Enabled(id)) << id;
        for (int id : {IDC_SRCH_FROM_PROVINCE, IDC_SRCH_FROM_CITY, IDC_SRCH_FROM_COUNTY,
                       IDC_SRCH_ALL_FROM_CITIES, IDC_SRCH_ALL_FROM_COUNTIES, IDC_SRCH_FROM_LIST,
                       IDC_SRCH_CLEAR_FROM, IDC_SRCH_ALL_OFFERS, IDC_SRCH_AS_WATCH})
            EXPECT_FALSE(s.Visible(id)) << id;
        EXPECT_TRUE(s.Visible(IDC_SRCH_TO_LIST));
        s.Select(IDC_SRCH_TO_PROVINCE, "江苏");
        s.Select(IDC_SRCH_TO_CITY, "苏州");
        s.Click(IDOK);
    }};
    ASSERT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(d.fromList, "'南京'");
    EXPECT_EQ(d.toList, "'天津','苏州'");
    EXPECT_EQ(d.typeList, "'货','车'");
    EXPECT_EQ(Stored("dmr.ini", "Search", "From"), "南京");
    EXPECT_EQ(Stored("dmr.ini", "Search", "To"), "天津,苏州");
    EXPECT_EQ(Stored("dmr.ini", "关注", "From"), "<none>");
}

// ---------------------------------------------------------------- search command

class RecordingPorts : public tovan::Outbox, public tovan::QueryFramePorts {
public:
    RecordingPorts() : QueryFramePorts(static_cast<tovan::Outbox&>(*this)) {}
    std::vector<std::string> sent;
    void Send(const std::string& m) override { sent.push_back(m); }
    void DropQueuedListRequests() override {}
    void ShowLimitedRightsBox() override {}
    void ShowCriteriaTooLongBox() override {}
    void ShowSearchPane() override {}
    void RecalcLayout() override {}
    void ScrollViewToTop() override {}
    void SelectCurrentAreaInTree() override {}
    void SetFrameTitle(const std::string&) override {}
};

TEST_F(SearchDialogTest, SearchCommandSendsWhatTheDialogChose) {
    tovan::ClientModel frame;
    tovan::AccountState& account = frame.account;
    account.isFullMember = 1;
    account.areaLevel = 2;
    account.homeProvince = "江苏";
    account.homeCity = "南京";
    account.thirdArea = "上海";
    frame.titlePrefix = "TovanClient";
    const std::string& sa = frame.search.areas;
    const std::string& sc = frame.search.classes;
    const std::string& st = frame.search.keyword;
    RecordingPorts ports;

    Scripted<CGjSousuo> d;
    d.areaIniFile = areaIni_;
    using S = Scripted<CGjSousuo>;
    d.steps = {[](S& s) {
        EXPECT_EQ(s.ItemText(IDC_SRCH_HOME_CITY), "南京");  // the account's values reached it
        EXPECT_FALSE(s.Enabled(IDC_SRCH_HOME_PROVINCE));
        s.SetItemText(IDC_SRCH_KEYWORD, "冷藏");
        s.Click(IDOK);
    }};
    EXPECT_EQ(tovan::StartSearch(frame, ports, SearchDialogRunOf(d)),
              tovan::QueryCommandResult::kSent);
    EXPECT_EQ(sa, "'南京'");
    EXPECT_EQ(sc, "'货','车'");
    EXPECT_EQ(st, "冷藏");
    ASSERT_EQ(ports.sent.size(), 1u);
    EXPECT_EQ(ports.sent[0],
              "!SOUSUOCOUNT!|SELECT COUNT(distinct BodyIs) FROM MsgIs WHERE (area IN('南京') OR "
              "sheng IN ('南京') OR xian IN ('南京')) AND  Class IN ('货','车') AND ( "
              "CHARINDEX('冷藏',bodyis)>0 )^");

    // Cancelled: nothing changes, nothing goes out.
    d.steps = {[](S& s) { s.Click(IDCANCEL); }};
    EXPECT_EQ(tovan::StartSearch(frame, ports, SearchDialogRunOf(d)),
              tovan::QueryCommandResult::kCancelled);
    EXPECT_EQ(ports.sent.size(), 1u);
    EXPECT_EQ(st, "冷藏");
}

// ---------------------------------------------------------------- watch settings

class WatchSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        areaIni_ = WriteAreaIni();
        settings_ = TempFile("search_guanzhu.ini");
        DeleteFileA(settings_.c_str());
    }
    void Prepare(Scripted<CGuanzhu>& d) {
        d.areaIniFile = areaIni_;
        d.settingsFile = settings_;
    }
    std::string areaIni_, settings_;
};

TEST_F(WatchSettingsTest, WatchedNamesAndClassesAreKeptInTheSettingsFile) {
    using S = Scripted<CGuanzhu>;
    {
        Scripted<CGuanzhu> d;
        Prepare(d);
        d.steps = {[](S& s) {
            EXPECT_THAT(s.List(IDC_WATCH_PROVINCE), ElementsAre("北京", "江苏", "天津"));
            EXPECT_THAT(s.List(IDC_WATCH_LIST), IsEmpty());
            EXPECT_FALSE(s.IsChecked(IDC_WATCH_CARGO));
            EXPECT_FALSE(s.IsChecked(IDC_WATCH_VEHICLE));
            s.Select(IDC_WATCH_PROVINCE, "北京");
            EXPECT_THAT(s.List(IDC_WATCH_CITY), ElementsAre("北京", "朝阳"));
            s.Select(IDC_WATCH_CITY, "北京");
            s.Select(IDC_WATCH_CITY, "北京");  // once only
            EXPECT_THAT(s.List(IDC_WATCH_COUNTY), ElementsAre("朝阳"));
            s.Select(IDC_WATCH_PROVINCE, "天津");
            EXPECT_THAT(s.List(IDC_WATCH_COUNTY), IsEmpty());
            s.Select(IDC_WATCH_CITY, "天津");
            s.Click(IDC_WATCH_CARGO);
            s.Click(IDC_WATCH_VEHICLE);
            s.Click(IDOK);
        }};
        ASSERT_EQ(d.DoModal(), IDOK);
        EXPECT_EQ(Stored(settings_, "关注", "City"), "北京\\天津\\");
        EXPECT_EQ(Stored(settings_, "关注", "Type"), "货车");
    }
    {
        Scripted<CGuanzhu> d;
        Prepare(d);
        d.steps = {[](S& s) {
            EXPECT_THAT(s.List(IDC_WATCH_LIST), ElementsAre("北京", "天津"));
            EXPECT_TRUE(s.IsChecked(IDC_WATCH_CARGO));
            EXPECT_TRUE(s.IsChecked(IDC_WATCH_VEHICLE));
            s.Select(IDC_WATCH_PROVINCE, "江苏");
            s.Select(IDC_WATCH_CITY, "南京");
            s.Select(IDC_WATCH_COUNTY, "南");  // begins 南京: not added
            s.Select(IDC_WATCH_COUNTY, "玄武");
            s.DoubleClick(IDC_WATCH_LIST, "北京");
            s.Click(IDC_WATCH_CARGO);
            s.Click(IDOK);
        }};
        ASSERT_EQ(d.DoModal(), IDOK);
        EXPECT_EQ(Stored(settings_, "关注", "City"), "天津\\南京\\玄武\\");
        EXPECT_EQ(Stored(settings_, "关注", "Type"), "车");
    }
    {
        // Cancel writes nothing.
        Scripted<CGuanzhu> d;
        Prepare(d);
        d.steps = {[](S& s) {
            s.DoubleClick(IDC_WATCH_LIST, "天津");
            s.Click(IDCANCEL);
        }};
        EXPECT_EQ(d.DoModal(), IDCANCEL);
        EXPECT_EQ(Stored(settings_, "关注", "City"), "天津\\南京\\玄武\\");
    }
    {
        // Everything removed: both keys written empty.
        Scripted<CGuanzhu> d;
        Prepare(d);
        d.steps = {[](S& s) {
            for (const char* name : {"天津", "南京", "玄武"}) s.DoubleClick(IDC_WATCH_LIST, name);
            s.Click(IDC_WATCH_VEHICLE);
            s.Click(IDOK);
        }};
        ASSERT_EQ(d.DoModal(), IDOK);
        EXPECT_EQ(Stored(settings_, "关注", "City"), "");
        EXPECT_EQ(Stored(settings_, "关注", "Type"), "");
    }
}

// ---------------------------------------------------------------- showcase

// Not a check: each dialog on screen in turn, filled in, for screenshots when
// TOVAN_SHOWCASE_SECONDS is set.
TEST_F(SearchDialogTest, ShowcaseShowsTheDialogsWhenAsked) {
    const char* seconds = std::getenv("TOVAN_SHOWCASE_SECONDS");
    if (!seconds) GTEST_SKIP() << "set TOVAN_SHOWCASE_SECONDS to show the dialogs";
    const DWORD wait = static_cast<DWORD>(std::atoi(seconds)) * 1000;
    WritePrivateProfileStringA("Search", "To", "北京,天津", "dmr.ini");
    {
        Scripted<CSousuo> d;
        Prepare(d, areaIni_, {0});
        using S = Scripted<CSousuo>;
        d.steps = {[wait](S& s) {
            SetWindowPos(s.hwnd(), nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            s.Select(IDC_SRCH_FROM_PROVINCE, "江苏");
            s.Select(IDC_SRCH_FROM_CITY, "南京");
            s.Select(IDC_SRCH_FROM_COUNTY, "玄武");
            s.Select(IDC_SRCH_TO_PROVINCE, "北京");
            s.Select(IDC_SRCH_TO_CITY, "北京");
            s.SetItemText(IDC_SRCH_KEYWORD, "冷藏");
            s.Click(IDC_SRCH_AS_WATCH);
            testutil::Pump(wait);
        }};
        d.DoModal();
    }
    {
        Scripted<CGjSousuo> d;
        Prepare(d, areaIni_, {2});
        using S = Scripted<CGjSousuo>;
        d.steps = {[wait](S& s) {
            SetWindowPos(s.hwnd(), nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            testutil::Pump(wait);
        }};
        d.DoModal();
    }
    {
        const std::string settings = TempFile("search_guanzhu.ini");
        WritePrivateProfileStringA("关注", "City", "北京\\天津\\南京\\玄武\\江宁\\", settings.c_str());
        WritePrivateProfileStringA("关注", "Type", "货", settings.c_str());
        Scripted<CGuanzhu> d;
        d.areaIniFile = areaIni_;
        d.settingsFile = settings;
        using S = Scripted<CGuanzhu>;
        d.steps = {[wait](S& s) {
            SetWindowPos(s.hwnd(), nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            s.Select(IDC_WATCH_PROVINCE, "江苏");
            s.Select(IDC_WATCH_CITY, "苏州");
            testutil::Pump(wait);
        }};
        d.DoModal();
    }
}

}  // namespace
