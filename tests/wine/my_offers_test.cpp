// The my-offers dialog and the offer details dialog on the display with the
// client's templates: the count and row requests as the dialog opens, rows
// fed through the frame's record handlers, the check column, the closed-deal
// message, the resend, copy and details of a row, and the details box that
// takes no keys.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/wine/gui_test_util.h"
#include "client/windows/my_msg_dlg.h"
#include "client/model/record_handlers.h"
#include "client/res/resource.h"
#include "client/windows/xiangqing_dlg.h"

namespace {

using testutil::Box;
using testutil::OwnedDialog;
using MyMsg = testutil::Scripted<CMyMsg>;

MyMsg::Step AnswerBox(Box& seen) { return testutil::AnswerBox<CMyMsg>(seen); }
MyMsg::Step Do(std::function<void(MyMsg&)> f) { return testutil::Do<CMyMsg>(std::move(f)); }
MyMsg::Step PostClick(int id) {
    return Do([id](MyMsg& d) { testutil::PostClick(d.hwnd(), id); });
}

// The user clicks the cell of the list (as the list reports it to the dialog).
void ClickCell(HWND dlg, int row, int column) {
    HWND list = GetDlgItem(dlg, IDC_MYMSG_LIST);
    RECT cell = {};
    cell.top = column;
    cell.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
    NMITEMACTIVATE nm = {};
    nm.hdr.hwndFrom = list;
    nm.hdr.idFrom = IDC_MYMSG_LIST;
    nm.hdr.code = NM_CLICK;
    nm.iItem = row;
    nm.ptAction = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    SendMessageA(dlg, WM_NOTIFY, IDC_MYMSG_LIST, reinterpret_cast<LPARAM>(&nm));
}

std::string CellText(HWND dlg, int row, int column) {
    char buf[900] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    SendDlgItemMessageA(dlg, IDC_MYMSG_LIST, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return buf;
}

std::string RowReply(int row, const char* id, const char* body, int status) {
    return std::string("!MYMSGRECORD!|") + id + "|货|u1|12:30|沈阳|" + body + "|辽宁|" + std::to_string(status) +
           "|key|" + std::to_string(row);
}

class NoEffects : public tovan::RecordFrameEffects {
public:
    std::string FrameTitle() const override { return {}; }
    void SetFrameTitle(const std::string&) override {}
    std::string SearchPaneCaption() const override { return {}; }
    void SetSearchPaneCaption(const std::string&) override {}
    bool SearchPaneVisible() const override { return false; }
    void Notify(const std::string&) override {}
};

// The frame's part: a window that takes the resend request, the record
// handlers over the lists, and a send that records what goes out.
struct QueuedResend { std::string body, cls; int count = 0; };
QueuedResend g_queued;
LRESULT CALLBACK FrameProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == tovan::kQueueResendMessage) {
        g_queued.body = reinterpret_cast<const char*>(wp);
        g_queued.cls = reinterpret_cast<const char*>(lp);
        ++g_queued.count;
        return 0;
    }
    return DefWindowProcA(h, msg, wp, lp);
}

class MyOffersTest : public ::testing::Test, public tovan::Outbox {
protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = FrameProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "MyOffersTestFrame";
        RegisterClassA(&wc);
        frame = CreateWindowA("MyOffersTestFrame", "frame", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                              wc.hInstance, nullptr);
        g_queued = {};
    }
    void TearDown() override { DestroyWindow(frame); }

    MyOffersContext Context() {
        MyOffersContext c;
        c.lists = &lists;
        c.outbox = this;
        c.dropResend = [this](const std::string& body) { dropped.push_back(body); };
        c.userId = "u1";
        c.contacts = {"王五", "0101234", "139000"};
        c.frame = frame;
        return c;
    }
    // The session's outbox: every send fails while `down`, and the message waits.
    void Send(const std::string& m) override { (down ? unsent : sent).push_back(m); }
    void DropQueuedListRequests() override {}
    bool down = false;

    bool Sent(const std::string& prefix) const {
        for (const std::string& m : sent)
            if (m.compare(0, prefix.size(), prefix) == 0) return true;
        return false;
    }
    // Count and rows arrive as the frame's handlers store them.
    MyMsg::Step Reply(int total, std::vector<std::string> rows) {
        return [this, total, rows](MyMsg&) {
            if (!Sent("!MYRECORDCOUNT!|u1^")) return false;
            handlers.OnMyRecordCount(("!MYRECORDCOUNT!|" + std::to_string(total)).c_str());
            for (const std::string& r : rows) handlers.OnMyMsgRecord(r.c_str());
            return true;
        };
    }
    MyMsg::Step WaitForRows(int n) {
        return [n](MyMsg& d) {
            return SendDlgItemMessageA(d.hwnd(), IDC_MYMSG_LIST, LVM_GETITEMCOUNT, 0, 0) == n &&
                   fw::GetText(d.hwnd()) == "我的信息    共有" + std::to_string(n) + "条";
        };
    }

    HWND frame = nullptr;
    tovan::ClientModel model;
    tovan::RecordLists& lists = model.lists;
    NoEffects effects;
    tovan::RecordHandlers handlers{model, effects};
    std::vector<std::string> sent, unsent, dropped;
};

TEST_F(MyOffersTest, PagesRowsInAndChecksComposeTheClosedDeal) {
    lists.myList.Reset(5);  // a previous opening's rows go
    MyMsg dlg(frame, Context());
    std::string body0, closed1, choice1;
    int rowHeight = 0, lineHeight = 0;
    dlg.steps = {
        Reply(3, {}),
        [this](MyMsg&) { return Sent("!MYMSGRECORD!|0|3|SELECT "); },
        Do([this](MyMsg&) {
            handlers.OnMyMsgRecord(RowReply(0, "30", "沈阳到北京 有货", 0).c_str());
            handlers.OnMyMsgRecord(RowReply(1, "20", "已成交的货", 1).c_str());
            handlers.OnMyMsgRecord(RowReply(2, "10", "大连到长春", 0).c_str());
        }),
        WaitForRows(3),
        [this](MyMsg&) { return lists.myList.At(2).redraw == 0; },  // a tick repainted the arrived rows
        Do([&](MyMsg& d) {
            HWND list = d.Item(IDC_MYMSG_LIST);
            RECT r = {LVIR_BOUNDS, 0, 0, 0};
            SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
            rowHeight = r.bottom - r.top;
            HDC dc = GetDC(list);
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
            TEXTMETRICA tm = {};
            GetTextMetricsA(dc, &tm);
            SelectObject(dc, old);
            ReleaseDC(list, dc);
            lineHeight = tm.tmHeight + tm.tmExternalLeading;
            body0 = CellText(d.hwnd(), 0, 2);
            closed1 = CellText(d.hwnd(), 1, 4);
            ClickCell(d.hwnd(), 0, CMyMsgGrid::kChoiceColumn);
            ClickCell(d.hwnd(), 1, CMyMsgGrid::kChoiceColumn);  // closed: stays 1
            ClickCell(d.hwnd(), 2, CMyMsgGrid::kChoiceColumn);
            ClickCell(d.hwnd(), 2, 2);                           // not the check column
            choice1 = CellText(d.hwnd(), 1, CMyMsgGrid::kChoiceColumn);
        }),
        PostClick(IDOK),
    };
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(rowHeight, 3 * lineHeight + 5) << "rows are three lines high";
    EXPECT_EQ(body0, "沈阳到北京 有货");
    EXPECT_EQ(closed1, "是");
    EXPECT_EQ(choice1, "1");
    EXPECT_EQ(dlg.Result(), "!CHENGJIAO!|30,10^");
    EXPECT_EQ(dropped, (std::vector<std::string>{"沈阳到北京 有货", "大连到长春"}));
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent[0], "!MYRECORDCOUNT!|u1^");
    EXPECT_EQ(std::count_if(sent.begin(), sent.end(), [](const std::string& m) { return m.rfind("!MYMSGRECORD!", 0) == 0; }), 1)
        << "each row is asked for once";
    EXPECT_EQ(sent[1],
              "!MYMSGRECORD!|0|3|SELECT [ID],[Class],[ByName],[AddTime],[Area],[Sheng],[Status],[BodyIs],[xian] "
              "FROM msgis WHERE Byname='u1' ORDER BY ID DESC^");
    EXPECT_TRUE(unsent.empty());
}

TEST_F(MyOffersTest, NothingCheckedStaysOpenAndAnEmptyListClosesWithNothing) {
    {
        MyMsg dlg(frame, Context());
        Box box;
        dlg.steps = {Reply(1, {RowReply(0, "5", "x", 0)}), WaitForRows(1), PostClick(IDOK), AnswerBox(box),
                     PostClick(IDCANCEL)};
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(box.caption, "设置成交");
        EXPECT_EQ(box.text, "您没有选中任何信息");
        EXPECT_EQ(dlg.Result(), "");
    }
    {
        MyMsg dlg(frame, Context());
        dlg.steps = {PostClick(IDOK)};  // before the count came: the list is empty
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.Result(), "");
    }
}

// The time column fits a month-day hour:minute text as the list's font
// measures it.
TEST_F(MyOffersTest, TimeColumnFitsItsText) {
    MyMsg dlg(frame, Context());
    int timeWidth = 0, textWidth = 0;
    dlg.steps = {Do([&](MyMsg& d) {
                     HWND list = GetDlgItem(d.hwnd(), IDC_MYMSG_LIST);
                     timeWidth = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 3, 0));
                     HDC dc = GetDC(list);
                     HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
                     SIZE size = {};
                     GetTextExtentPoint32A(dc, "12-10 00:30", 11, &size);
                     SelectObject(dc, old);
                     ReleaseDC(list, dc);
                     textWidth = size.cx;
                 }),
                 PostClick(IDCANCEL)};
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_GT(textWidth, 0);
    EXPECT_GE(timeWidth, textWidth + 2);  // the frame line and a pixel of air
}

TEST_F(MyOffersTest, FailedSendsWaitInTheUnsentQueue) {
    down = true;
    MyMsg dlg(frame, Context());
    dlg.steps = {[this](MyMsg&) { return !unsent.empty(); }, PostClick(IDCANCEL)};
    dlg.DoModal();
    ASSERT_FALSE(unsent.empty());
    EXPECT_EQ(unsent[0], "!MYRECORDCOUNT!|u1^");
}

TEST_F(MyOffersTest, ResendCopyAndDetailsOfTheSelectedOffer) {
    MyMsg dlg(frame, Context());
    Box none, resent, copied, details;
    NMITEMACTIVATE dbl = {};
    const char* body = "北京到上海 有货 联系人:王五 电话:0101234 手机:139000 ";
    dlg.steps = {
        Reply(1, {RowReply(0, "7", body, 0)}),
        WaitForRows(1),
        PostClick(IDC_MYMSG_RESEND),  // nothing selected: nothing happens
        PostClick(IDC_MYMSG_COPY),
        AnswerBox(none),
        Do([](MyMsg& d) {
            LVITEMA item = {};
            item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendDlgItemMessageA(d.hwnd(), IDC_MYMSG_LIST, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
        }),
        PostClick(IDC_MYMSG_RESEND),
        AnswerBox(resent),
        PostClick(IDC_MYMSG_COPY),
        AnswerBox(copied),
        Do([&dbl](MyMsg& d) {  // the details open modally: posted, so this step returns
            dbl.hdr.hwndFrom = d.Item(IDC_MYMSG_LIST);
            dbl.hdr.idFrom = IDC_MYMSG_LIST;
            dbl.hdr.code = NM_DBLCLK;
            dbl.iItem = 0;
            PostMessageA(d.hwnd(), WM_NOTIFY, IDC_MYMSG_LIST, reinterpret_cast<LPARAM>(&dbl));
        }),
        [&details](MyMsg& d) {
            HWND box = OwnedDialog(d.hwnd());
            if (!box) return false;
            details.caption = fw::GetText(box);
            details.text = fw::GetText(GetDlgItem(box, IDC_XIANGQING_TEXT));
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return true;
        },
        PostClick(IDCANCEL),
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(none.caption, "错误");
    EXPECT_EQ(none.text, "请选择要复制的信息");
    EXPECT_EQ(g_queued.count, 1);
    EXPECT_EQ(g_queued.body, body);
    EXPECT_EQ(g_queued.cls, "货");
    EXPECT_EQ(resent.caption, "重发信息");
    EXPECT_EQ(resent.text, "信息已经放置到重发队列,将在0-5分钟内发送");
    EXPECT_EQ(copied.caption, "复制信息");
    EXPECT_EQ(copied.text, "信息已经复制到剪贴板");
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_TEXT);
    const std::string clip = data ? static_cast<const char*>(GlobalLock(data)) : "";
    if (data) GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(clip, "北京到上海有货");
    EXPECT_EQ(details.caption, "信息详情-- 来自 u1");
    EXPECT_EQ(details.text, body);
}

// ---------------------------------------------------------------- details

class Details : public CXiangqing {
public:
    using CXiangqing::CXiangqing;
    std::string caption, shown, afterKeys;

protected:
    BOOL OnInitDialog() override {
        const BOOL r = CXiangqing::OnInitDialog();
        caption = fw::GetText(hwnd());
        shown = ItemText(IDC_XIANGQING_TEXT);
        HWND edit = Item(IDC_XIANGQING_TEXT);
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        for (WPARAM key : {WPARAM(VK_DELETE), WPARAM('X'), WPARAM(VK_BACK)}) PostMessageA(edit, WM_KEYDOWN, key, 1);
        SetTimer(hwnd(), 5, 300, Done);
        return r;
    }

private:
    static void CALLBACK Done(HWND h, UINT, UINT_PTR id, DWORD) {
        KillTimer(h, id);
        auto* self = static_cast<Details*>(fw::Window::FromHandle(h));
        self->afterKeys = self->ItemText(IDC_XIANGQING_TEXT);
        self->EndDialog(IDOK);
    }
};

// Only the key the test posts to the box; the timer ends a dialog the key
// did not close.
class DetailsKey : public CXiangqing {
public:
    explicit DetailsKey(WPARAM key) : key_(key) {}

protected:
    BOOL OnInitDialog() override {
        const BOOL r = CXiangqing::OnInitDialog();
        HWND edit = Item(IDC_XIANGQING_TEXT);
        SetFocus(edit);
        PostMessageA(edit, WM_KEYDOWN, key_, 1);
        SetTimer(hwnd(), 5, 1500, NotClosed);
        return r;
    }

private:
    static void CALLBACK NotClosed(HWND h, UINT, UINT_PTR id, DWORD) {
        KillTimer(h, id);
        static_cast<CXiangqing*>(fw::Window::FromHandle(h))->EndDialog(-5);
    }

    WPARAM key_;
};

TEST(OfferDetails, EscAndEnterCloseIt) {
    DetailsKey esc(VK_ESCAPE);
    EXPECT_EQ(esc.DoModal(), IDCANCEL);
    DetailsKey enter(VK_RETURN);
    EXPECT_EQ(enter.DoModal(), IDOK);
}

TEST(OfferDetails, CaptionTextWithoutMarksAndNoKeys) {
    struct Case { std::string from, text, caption, shown; };
    const Case cases[] = {
        {"", "北京\x02*38***\x03到上海", "信息详情-- 来自 ", "北京*38***到上海"},
        {"u7", "车找货", "信息详情-- 来自 u7", "车找货"},
    };
    for (const Case& c : cases) {
        Details d;
        d.from = c.from;
        d.text = c.text;
        ASSERT_EQ(d.DoModal(), IDOK);
        EXPECT_EQ(d.caption, c.caption);
        EXPECT_EQ(d.shown, c.shown);
        EXPECT_EQ(d.afterKeys, c.shown) << "the box took a key";
    }
}

}  // namespace
