// The resend list and the resend entry editor on the display with the
// client's templates: the six columns read from the live schedule, deleting
// the selected entries, the edit round trip into the entry, and the editor's
// own keypad, area combos, resend options and OK step.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "client/model/account_state.h"
#include "client/model/outgoing_messages.h"
#include "tests/wine/gui_test_util.h"
#include "client/windows/resend_edit_dlg.h"
#include "client/windows/resend_list_dlg.h"
#include "client/model/resend_schedule.h"
#include "client/model/resend_test_fakes.h"
#include "client/res/resource.h"

namespace {

using tovan::testing::FakeClock;
using tovan::testing::FakeOfferLine;
using namespace testutil;  // the dialog-driving helpers

const char kAreaIni[] =
    "[全国省城]\r\nSF=北京\\辽宁\\\r\n"
    "[辽宁]\r\nCS=辽宁\\沈阳\\大连\\\r\nXIAN=新民\\\r\n"
    "[沈阳]\r\nXIAN=辽中\\康平\\\r\n";

// Only Changyongci and Goods are longer than one popup.
std::string ConfigIni() {
    return "[Sentence]\r\nCarType=高栏/平板\r\nGoods=" + Numbered("货", 30) +
           "\r\nOther1=短语1/\r\nOther2=急需车/\r\nChangyongci=" + Numbered("词", 25) +
           "\r\nFreight=面议\r\n";
}

// ---------------------------------------------------------------- driving

// The list's text of a cell, asked of the list as any reader would.
std::string CellText(HWND list, int row, int column) {
    char buf[512] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buf;
}

void SelectRows(HWND list, std::initializer_list<int> rows) {
    LVITEMA none = {};
    none.stateMask = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    for (int row : rows) {
        LVITEMA on = {};
        on.stateMask = LVIS_SELECTED;
        on.state = LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&on));
    }
}

// ---------------------------------------------------------------- fixture

class ResendDialogs : public testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        areaFile = TempFile("resend_area.ini");
        configFile = TempFile("resend_config.ini");
        WriteFile(areaFile, kAreaIni);
        WriteFile(configFile, ConfigIni());
        account.contactName = "张三";
        account.contactPhone = "024-1234";
        account.contactMobile = "13800001111";
        clock.Set(12, 0, 0);
    }
    void TearDown() override {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, areaFile.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, configFile.c_str());
    }

    // An entry as the frame makes it: the offer text and the contact tail.
    void Add(const std::string& cls, const std::string& text, const std::string& created,
             int remaining = 3, int interval = 10) {
        tovan::ChongfaXinxi e;
        e.body = text + " 联系人:张三 电话:024-1234 手机:13800001111 ";
        e.message = tovan::AddMsgMessage(cls, e.body);
        e.offerClass = cls;
        e.remaining = remaining;
        e.interval = interval;
        e.next = tovan::ResendTime::FromTm(FakeClock::At(12, 5, 0));
        e.created = created;
        schedule.entries().push_back(e);
    }
    std::vector<std::string> Keys() const {
        std::vector<std::string> keys;
        for (const auto& e : schedule.entries()) keys.push_back(e.created);
        return keys;
    }

    std::string areaFile, configFile;
    FakeClock clock;
    FakeOfferLine line;
    tovan::ResendSchedule schedule{clock, line.Sender()};
    tovan::AccountState account;
};

using ListDlg = Scripted<CCongfaDlg>;
using EditDlg = Scripted<CChongfabj>;

TEST_F(ResendDialogs, ListShowsTheLiveEntriesInSixColumnsOfThreeLineRows) {
    Add("车", "沈阳到北京有车", "11:00:00", 3, 10);
    Add("货", "大连钢材急需车", "11:30:15", 0, 5);
    ListDlg d(schedule, account);
    std::vector<std::vector<std::string>> cells;
    std::vector<std::string> headers;
    std::vector<int> widths;
    int clientWidth = 0, rowPixels = 0, itemCount = 0, rowsAfterTick = 0;
    std::string remainingAfterTick;
    COLORREF border = 0, plainFill = 0, selectedFill = 0;
    d.steps = {Do<CCongfaDlg>([&](ListDlg& d) {
        HWND list = d.Item(IDC_RESEND_GRID);
        itemCount = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < itemCount; ++row) {
            cells.emplace_back();
            for (int col = 0; col < 6; ++col) cells.back().push_back(CellText(list, row, col));
        }
        for (int col = 0; col < 6; ++col) {
            char buf[64] = {};
            LVCOLUMNA c = {};
            c.mask = LVCF_TEXT | LVCF_WIDTH;
            c.pszText = buf;
            c.cchTextMax = sizeof buf;
            SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(col), reinterpret_cast<LPARAM>(&c));
            headers.push_back(buf);
            widths.push_back(c.cx);
        }
        RECT client;
        GetClientRect(d.hwnd(), &client);
        clientWidth = client.right;
        RECT row = {LVIR_BOUNDS, 0, 0, 0};
        SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
        rowPixels = row.bottom - row.top;

        // Painted rows: grey cell borders, the selected row in the highlight.
        SelectRows(list, {1});
        UpdateWindow(list);
        RECT r0 = {LVIR_BOUNDS, 0, 0, 0}, r1 = {LVIR_BOUNDS, 0, 0, 0};
        SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r0));
        SendMessageA(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r1));
        RECT lc;
        GetClientRect(list, &lc);
        testutil::Canvas canvas(lc.right, lc.bottom);
        canvas.CopyFromWindow(list);
        const int fillX = r0.left + 50 + widths[1] + 4;
        // Wine starts the row a margin to the right of the header: look near
        // the first column's right edge for its border.
        for (int x = r0.left + 46; x <= r0.left + 54 && border != RGB(192, 192, 192); ++x)
            border = canvas.At(x, (r0.top + r0.bottom) / 2);
        plainFill = canvas.At(fillX, r0.top + 3);
        selectedFill = canvas.At(fillX, r1.top + 3);

        // The timer's changes show without reloading: the list holds no copy.
        clock.Set(12, 6, 0);
        schedule.Tick();
        remainingAfterTick = CellText(list, 0, 2);
        rowsAfterTick = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        d.EndDialog(IDCANCEL);
    })};
    EXPECT_EQ(d.DoModal(), IDCANCEL);

    ASSERT_EQ(itemCount, 2);
    const std::vector<std::vector<std::string>> expected = {
        {"车", schedule.entries()[0].body, "3", "12:05:00", "10 分钟", "11:00:00"},
        {"货", schedule.entries()[1].body, "0", "12:05:00", "5 分钟", "11:30:15"},
    };
    EXPECT_EQ(cells, expected);
    EXPECT_EQ(headers, (std::vector<std::string>{"类别", "信    息", "剩余次数", "下次发送", "发送间隔", ""}));
    EXPECT_EQ(widths, (std::vector<int>{50, clientWidth - 310, 80, 80, 80, 0}));
    EXPECT_EQ(rowPixels, d.grid().rowHeight);
    EXPECT_GT(rowPixels, 3 * 10);  // three lines of text, not one
    EXPECT_EQ(border, RGB(192, 192, 192));
    EXPECT_EQ(plainFill, GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(selectedFill, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(remainingAfterTick, "2");
    EXPECT_EQ(rowsAfterTick, 2);
}

TEST_F(ResendDialogs, DeleteRemovesTheSelectedEntriesAndThoseOfTheSameSecond) {
    Add("车", "一", "10:00:00");
    Add("车", "二", "10:00:01");
    Add("货", "三", "10:00:01");  // same second as 二: goes with it
    Add("车", "四", "10:00:02");
    Add("货", "五", "10:00:03");
    ListDlg d(schedule, account);
    std::vector<std::string> keysAfterEnter, keysAfterEmpty;
    int rowsShown = -1;
    std::string firstRow;
    bool stillOpen = false;
    d.steps = {
        Do<CCongfaDlg>([&](ListDlg& d) {
            SelectRows(d.Item(IDC_RESEND_GRID), {0, 1, 4});
            // Enter goes to the default button "删除".
            SendMessageA(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            keysAfterEnter = Keys();
            HWND list = d.Item(IDC_RESEND_GRID);
            rowsShown = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
            firstRow = CellText(list, 0, 5);
            // With nothing selected nothing goes, and the dialog stays.
            SelectRows(list, {});
            Click(d.hwnd(), IDOK);
            keysAfterEmpty = Keys();
            stillOpen = IsWindowVisible(d.hwnd()) != FALSE;
        }),
        Do<CCongfaDlg>([](ListDlg& d) { Click(d.hwnd(), IDCANCEL); }),
    };
    EXPECT_EQ(d.DoModal(), IDCANCEL);
    EXPECT_EQ(keysAfterEnter, (std::vector<std::string>{"10:00:02"}));
    EXPECT_EQ(rowsShown, 1);
    EXPECT_EQ(firstRow, "10:00:02");
    EXPECT_EQ(keysAfterEmpty, keysAfterEnter);
    EXPECT_TRUE(stillOpen);
}

// The list's double click, sent from its own timer so that the editor's
// modal loop does not run inside a script step.
void CALLBACK DoubleClickList(HWND h, UINT, UINT_PTR id, DWORD) {
    KillTimer(h, id);
    NMITEMACTIVATE n = {};
    n.hdr.hwndFrom = GetDlgItem(h, IDC_RESEND_GRID);
    n.hdr.idFrom = IDC_RESEND_GRID;
    n.hdr.code = NM_DBLCLK;
    SendMessageA(h, WM_NOTIFY, IDC_RESEND_GRID, reinterpret_cast<LPARAM>(&n));
}

// Waits for the editor over the list and lets `act` play the user there.
ListDlg::Step InEditor(std::function<void(HWND)> act) {
    return [act](ListDlg& d) {
        HWND editor = OwnedDialog(d.hwnd());
        if (!editor) return false;
        act(editor);
        return true;
    };
}

TEST_F(ResendDialogs, EditRewritesTheFirstSelectedEntryAndCancelChangesNothing) {
    Add("货", "钢材到北京", "09:00:00", 2, 15);
    Add("车", "沈阳到北京 有车 电话13912345678", "09:10:00", 3, 10);
    Add("车", "大连回沈阳", "09:20:00", 1, 20);
    const auto before = schedule.entries();
    ListDlg d(schedule, account);
    d.areaFile = areaFile;
    d.configFile = configFile;
    std::string shownText, shownTitle, shownKey;
    Box none;
    d.steps = {
        // No selection: a message, no editor.
        Do<CCongfaDlg>([](ListDlg& d) { PostClick(d.hwnd(), IDC_RESEND_EDIT_ENTRY); }),
        AnswerBox<CCongfaDlg>(none),
        // Rows 1 and 2 selected: the editor shows row 1 without contacts and blanks;
        // cancelling it changes nothing.
        Do<CCongfaDlg>([](ListDlg& d) {
            SelectRows(d.Item(IDC_RESEND_GRID), {1, 2});
            PostClick(d.hwnd(), IDC_RESEND_EDIT_ENTRY);
        }),
        InEditor([&](HWND e) {
            shownText = fw::GetText(GetDlgItem(e, IDC_RSEDIT_TEXT));
            shownTitle = fw::GetText(e);
            PostMessageA(e, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }),
        Do<CCongfaDlg>([&](ListDlg& d) {
            EXPECT_EQ(schedule.entries().size(), before.size());
            for (std::size_t i = 0; i < before.size(); ++i) {
                EXPECT_EQ(schedule.entries()[i].body, before[i].body);
                EXPECT_EQ(schedule.entries()[i].message, before[i].message);
            }
            clock.Set(13, 0, 0);
            // A double click edits as well; this time confirmed unchanged.
            SetTimer(d.hwnd(), 78, 1, DoubleClickList);
        }),
        InEditor([](HWND e) { PostMessageA(e, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }),
        [&](ListDlg& d) {
            if (OwnedDialog(d.hwnd())) return false;  // the editor is still there
            shownKey = CellText(d.Item(IDC_RESEND_GRID), 1, 5);
            d.EndDialog(IDCANCEL);
            return true;
        },
    };
    EXPECT_EQ(d.DoModal(), IDCANCEL);

    EXPECT_EQ(none.caption, "编辑");
    EXPECT_EQ(none.text, "请选择要编辑的信息");
    EXPECT_EQ(shownTitle, "修改重发信息");
    EXPECT_EQ(shownText, "沈阳到北京有车电话13912345678");

    // Confirmed: blanks gone, the long number masked, the tail appended anew.
    const std::string body = "沈阳到北京有车电话139123xxxxx 联系人:张三 电话:024-1234 手机:13800001111 ";
    const auto& e = schedule.entries()[1];
    EXPECT_EQ(e.body, body);
    EXPECT_EQ(e.message, "!ADDMSG!|车|" + body + "^");
    EXPECT_EQ(e.remaining, 3);
    EXPECT_EQ(e.interval, 10);
    EXPECT_EQ(e.next.ClockText(), "13:10:00");
    EXPECT_EQ(e.created, "09:10:00");
    EXPECT_EQ(shownKey, "09:10:00");
    // The other rows are untouched.
    EXPECT_EQ(schedule.entries()[0].body, before[0].body);
    EXPECT_EQ(schedule.entries()[2].body, before[2].body);
    EXPECT_EQ(schedule.entries()[2].message, before[2].message);
}

TEST_F(ResendDialogs, EditorKeysAreasAndSpareButtonsWriteAtTheCaret) {
    EditDlg d;
    d.areaFile = areaFile;
    d.configFile = configFile;
    d.entryClass = "货";
    d.thirdArea = "大连";
    d.text = "有车";
    std::string afterKeys, afterAreas, thirdKey;
    std::vector<std::string> cities, captions;
    std::vector<bool> enabled;
    d.steps = {Do<CChongfabj>([&](EditDlg& d) {
        HWND h = d.hwnd();
        SendMessageA(GetDlgItem(h, IDC_RSEDIT_TEXT), EM_SETSEL, 2, 2);
        Click(h, 1042);                       // "2"
        Click(h, 1067);                       // "吨"
        Click(h, IDC_RSEDIT_THIRD_AREA);      // "大连"
        Click(h, IDC_RSEDIT_BACKSPACE);
        afterKeys = fw::GetText(GetDlgItem(h, IDC_RSEDIT_TEXT));
        Choose(h, IDC_RSEDIT_PROVINCE, "辽宁");  // writes nothing
        cities = Items(GetDlgItem(h, IDC_RSEDIT_CITY));
        Choose(h, IDC_RSEDIT_CITY, "沈阳");
        Choose(h, IDC_RSEDIT_COUNTY, "康平");
        afterAreas = fw::GetText(GetDlgItem(h, IDC_RSEDIT_TEXT));
        thirdKey = fw::GetText(GetDlgItem(h, IDC_RSEDIT_THIRD_AREA));
        for (int id : {IDC_RSEDIT_SPARE_1, IDC_RSEDIT_SPARE_2, IDC_RSEDIT_SPARE_3}) {
            captions.push_back(fw::GetText(GetDlgItem(h, id)));
            enabled.push_back(IsWindowEnabled(GetDlgItem(h, id)) != FALSE);
        }
        d.EndDialog(IDCANCEL);
    })};
    EXPECT_EQ(d.DoModal(), IDCANCEL);
    EXPECT_EQ(afterKeys, "有车2吨大");  // backspace took one GBK character
    EXPECT_EQ(cities, (std::vector<std::string>{"沈阳", "大连", "新民"}));
    EXPECT_EQ(afterAreas, "有车2吨大沈阳康平");
    EXPECT_EQ(thirdKey, "大连");
    EXPECT_EQ(captions, (std::vector<std::string>{"常用词2", "货型2", "备用"}));
    EXPECT_EQ(enabled, (std::vector<bool>{true, true, false}));
    EXPECT_EQ(d.text, "有车");  // cancel: the caller's text stays
}

TEST_F(ResendDialogs, EditorOkRefusesWithoutRightsIgnoresBlanksAndMasksDigits) {
    EditDlg d;
    d.areaFile = areaFile;
    d.configFile = configFile;
    d.publishRights = 1;
    d.resendCount = 0;
    d.resendInterval = 10;
    Box refused;
    bool openAfterBlanks = false;
    int countAfterOptionsCancel = -1, intervalAfterOptionsCancel = -1;
    d.steps = {
        Do<CChongfabj>([](EditDlg& d) {
            SetWindowTextA(d.Item(IDC_RSEDIT_TEXT), "电话 13912345678");
            PostClick(d.hwnd(), IDOK);
        }),
        AnswerBox<CChongfabj>(refused),
        // The resend options cancelled: a finished entry stays finished.
        Do<CChongfabj>([](EditDlg& d) { PostClick(d.hwnd(), IDC_RSEDIT_RESEND_OPTIONS); }),
        [&](EditDlg& d) {
            HWND options = OwnedDialog(d.hwnd());
            if (!options) return false;
            PostMessageA(options, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return true;
        },
        [&](EditDlg& d) {
            if (OwnedDialog(d.hwnd())) return false;
            countAfterOptionsCancel = d.resendCount;
            intervalAfterOptionsCancel = d.resendInterval;
            d.publishRights = 0;
            SetWindowTextA(d.Item(IDC_RSEDIT_TEXT), "   ");
            Click(d.hwnd(), IDOK);
            openAfterBlanks = IsWindowVisible(d.hwnd()) != FALSE;
            SetWindowTextA(d.Item(IDC_RSEDIT_TEXT), " 电话 13912345678 ");
            Click(d.hwnd(), IDOK);
            return true;
        },
    };
    EXPECT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(refused.caption, "发送信息");
    EXPECT_EQ(refused.text, "您无权自由发布信息，请联系管理员");
    EXPECT_EQ(countAfterOptionsCancel, 0);
    EXPECT_EQ(intervalAfterOptionsCancel, 10);
    EXPECT_TRUE(openAfterBlanks);
    EXPECT_EQ(d.text, "电话139123xxxxx");
}

}  // namespace
