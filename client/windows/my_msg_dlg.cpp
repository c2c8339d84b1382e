#include "client/windows/my_msg_dlg.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "client/model/outgoing_messages.h"
#include "client/windows/logic/my_offers.h"
#include "client/res/resource.h"
#include "client/windows/xiangqing_dlg.h"
#include "fw/scoped_gdi.h"

namespace {
constexpr DWORD kListExStyle = LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE;
constexpr int kFixedColumnsWidth = 250;  // what the body column leaves to the others
constexpr int kTimeColumnWidth = 60;
constexpr const char* kWidestTime = "12-30 20:00";  // month-day hour:minute, as the server sends it
constexpr int kCellPadding = 8;                      // frame line and a little air either side

int TextWidth(HWND window, const char* text) {
    const fw::gdi::WindowFontDc dc(window);
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    return size.cx;
}
}  // namespace

CMyMsg::CMyMsg(HWND parent, MyOffersContext context) : CDialogEx(IDD_MYMSG, parent), ctx_(std::move(context)) {}

void CMyMsg::BindControls() {
    Bind(list_, IDC_MYMSG_LIST);
    Bind(closeDeal_, IDOK);
    Bind(resend_, IDC_MYMSG_RESEND);
    Bind(copy_, IDC_MYMSG_COPY);
    Bind(close_, IDCANCEL);
}

BOOL CMyMsg::OnInitDialog() {
    CDialogEx::OnInitDialog();
    result_.clear();
    countShown_ = 0;
    SendItem(IDC_MYMSG_LIST, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kListExStyle);
    LayOutList();
    SetUpColumns();
    MeasureItems();

    tovan::RecordLists& lists = *ctx_.lists;
    lists.myList.Reset(0);
    SendItem(IDC_MYMSG_LIST, LVM_DELETEALLITEMS);
    list_.SetRecords(&lists.myList);
    lists.myMsgCount = -1;

    ctx_.outbox->Send(tovan::MyRecordCountMessage(ctx_.userId));
    SetTimer(hwnd(), kPagingTimer, kPagingMs, nullptr);
    return TRUE;
}

void CMyMsg::LayOutList() {
    RECT client, list;
    GetClientRect(hwnd(), &client);
    GetWindowRect(Item(IDC_MYMSG_LIST), &list);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&list), 2);
    MoveWindow(Item(IDC_MYMSG_LIST), 0, 0, client.right, list.bottom, TRUE);
}

void CMyMsg::SetUpColumns() {
    RECT r;
    GetClientRect(Item(IDC_MYMSG_LIST), &r);
    // A larger font would cut the time short; the body column gives up the difference.
    const int timeWidth = std::max(kTimeColumnWidth, TextWidth(Item(IDC_MYMSG_LIST), kWidestTime) + kCellPadding);
    struct Column { const char* heading; int width; int format; };
    const Column columns[] = {
        {"", 0, LVCFMT_LEFT},           {"类别", 50, LVCFMT_CENTER},
        {"信    息", r.right - kFixedColumnsWidth - (timeWidth - kTimeColumnWidth), LVCFMT_CENTER},
        {"时间", timeWidth, LVCFMT_CENTER}, {"成交", 60, LVCFMT_CENTER},
        {"选择", 60, LVCFMT_CENTER},
    };
    int i = 0;
    for (const Column& c : columns) {
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        col.fmt = c.format;
        col.cx = c.width;
        col.pszText = const_cast<char*>(c.heading);
        col.iSubItem = i;
        SendItem(IDC_MYMSG_LIST, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&col));
        ++i;
    }
}

// Three lines of the list's font per row; the list asks its parent for the
// height again when told its position changed.
void CMyMsg::MeasureItems() {
    HWND list = Item(IDC_MYMSG_LIST);
    TEXTMETRICA tm = {};
    GetTextMetricsA(fw::gdi::WindowFontDc(list), &tm);
    list_.SetItemHeight(3 * (tm.tmHeight + tm.tmExternalLeading) + 5);

    RECT r;
    GetWindowRect(list, &r);
    WINDOWPOS pos = {};
    pos.hwnd = list;
    pos.cx = r.right - r.left;
    pos.cy = r.bottom - r.top;
    pos.flags = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOOWNERZORDER | SWP_NOZORDER;
    SendMessageA(list, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
}

void CMyMsg::OnTimer() {
    tovan::RecordLists& lists = *ctx_.lists;
    HWND list = Item(IDC_MYMSG_LIST);
    if (lists.myMsgCount >= 0 && countShown_ == 0) {
        char caption[64];
        std::snprintf(caption, sizeof caption, "我的信息    共有%d条", lists.myMsgCount);
        fw::SetText(hwnd(), caption);
        SendMessageA(list, LVM_SETITEMCOUNT, lists.myMsgCount, LVSICF_NOINVALIDATEALL);
        countShown_ = 1;
    }
    if (lists.myList.Empty()) return;

    const int top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
    const int perPage = static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
    const tovan::MyPagingStep step = tovan::StepMyPaging(lists.myList, top, perPage);
    for (int row : step.redraw) list_.RedrawRow(row);
    for (const tovan::MyRowRequest& r : step.requests) {
        ctx_.outbox->Send(tovan::MyMsgRecordMessage(r.first, r.count, ctx_.userId));
        Sleep(5);
    }
    UpdateWindow(list);
}

void CMyMsg::OnOK() {
    result_.clear();
    tovan::RecordLists& lists = *ctx_.lists;
    if (lists.myList.Empty()) {
        EndDialog(IDOK);
        return;
    }
    const std::string message = tovan::ComposeClosedDeal(lists.myList, ctx_.dropResend);
    if (message.empty()) {
        ShowMessage("您没有选中任何信息", "设置成交");
        return;
    }
    result_ = message;
    EndDialog(IDOK);
}

bool CMyMsg::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    if (id == IDC_MYMSG_RESEND) {
        QueueResend();
        return true;
    }
    if (id == IDC_MYMSG_COPY) {
        CopySelected();
        return true;
    }
    return false;
}

void CMyMsg::QueueResend() {
    const int row = list_.SelectedRow();
    if (row < 0) return;
    const tovan::MsgInfo& rec = ctx_.lists->myList.At(row);
    const std::string body(tovan::FieldText(rec.BodyIs));
    const std::string cls(tovan::FieldText(rec.Class));
    SendMessageA(ctx_.frame, tovan::kQueueResendMessage, reinterpret_cast<WPARAM>(body.c_str()),
                 reinterpret_cast<LPARAM>(cls.c_str()));
    ShowMessage("信息已经放置到重发队列,将在0-5分钟内发送", "重发信息");
}

void CMyMsg::CopySelected() {
    const int row = list_.SelectedRow();
    if (row < 0) {
        ShowMessage("请选择要复制的信息", "错误");
        return;
    }
    const tovan::MsgInfo& rec = ctx_.lists->myList.At(row);
    const std::string text = tovan::MyOfferCopyText(tovan::FieldText(rec.BodyIs), ctx_.contacts.name,
                                                    ctx_.contacts.phone, ctx_.contacts.mobile);
    if (OpenClipboard(hwnd())) {
        EmptyClipboard();
        if (HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
            std::memcpy(GlobalLock(mem), text.c_str(), text.size() + 1);
            GlobalUnlock(mem);
            if (!SetClipboardData(CF_TEXT, mem)) GlobalFree(mem);  // else the clipboard owns it
        }
        CloseClipboard();
    }
    ShowMessage("信息已经复制到剪贴板", "复制信息");
}

void CMyMsg::ShowDetails(int row) {
    if (row < 0 || row >= ctx_.lists->myList.Size()) return;
    const tovan::MsgInfo& rec = ctx_.lists->myList.At(row);
    CXiangqing details(hwnd());
    details.text = std::string(tovan::FieldText(rec.BodyIs));
    details.from = std::string(tovan::FieldText(rec.ByName));
    details.DoModal();
}

LRESULT CMyMsg::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        if (wp == kPagingTimer) {
            OnTimer();
            return 0;
        }
        break;
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (mis && mis->CtlType == ODT_LISTVIEW && mis->CtlID == IDC_MYMSG_LIST && list_.ItemHeight() > 0) {
            mis->itemHeight = static_cast<UINT>(list_.ItemHeight());
            return TRUE;
        }
        break;
    }
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lp);
        if (!hdr || hdr->idFrom != IDC_MYMSG_LIST) break;
        if (hdr->code == LVN_GETDISPINFOA) {
            list_.OnGetDispInfo(*reinterpret_cast<NMLVDISPINFOA*>(lp));
            return 0;
        }
        if (hdr->code == NM_CLICK) {
            list_.OnClick(reinterpret_cast<NMITEMACTIVATE*>(lp)->ptAction);
            return 0;
        }
        if (hdr->code == NM_DBLCLK) {
            ShowDetails(reinterpret_cast<NMITEMACTIVATE*>(lp)->iItem);
            return 0;
        }
        break;
    }
    case WM_DESTROY:
        KillTimer(hwnd(), kPagingTimer);
        break;
    }
    return CDialogEx::HandleMessage(msg, wp, lp);
}
