#include "client/windows/resend_list_dlg.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "client/windows/resend_edit_dlg.h"
#include "client/res/resource.h"
#include "fw/scoped_gdi.h"

namespace {

constexpr int kColumns = 6;
constexpr int kBodyColumn = 1;
constexpr int kKeyColumn = 5;

tovan::ContactDetails Contacts(const tovan::AccountState& a) {
    return {a.contactName, a.contactPhone, a.contactMobile};
}

}  // namespace

// ---------------------------------------------------------------- grid

void CChongfaGrid::InsertColumns(int clientWidth) {
    struct Column { const char* header; int width; };
    const Column columns[kColumns] = {
        {"类别", 50}, {"信    息", clientWidth - 310}, {"剩余次数", 80},
        {"下次发送", 80}, {"发送间隔", 80}, {"", 0},
    };
    for (int i = 0; i < kColumns; ++i) {
        LVCOLUMNA c = {};
        c.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        c.fmt = LVCFMT_CENTER;
        c.cx = columns[i].width;
        c.pszText = const_cast<char*>(columns[i].header);
        c.iSubItem = i;
        SendMessageA(hwnd(), LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
    }
}

void CChongfaGrid::SetRowLines(int lines) {
    TEXTMETRICA tm = {};
    GetTextMetricsA(fw::gdi::WindowFontDc(hwnd()), &tm);
    rowHeight = lines * (tm.tmHeight + tm.tmExternalLeading) + 5;

    // The list asks for the item height again when it hears of a new size.
    RECT r;
    GetWindowRect(hwnd(), &r);
    WINDOWPOS pos = {};
    pos.hwnd = hwnd();
    pos.cx = r.right - r.left;
    pos.cy = r.bottom - r.top;
    pos.flags = SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOOWNERZORDER;
    SendMessageA(hwnd(), WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
}

void CChongfaGrid::Reload() {
    SendMessageA(hwnd(), LVM_DELETEALLITEMS, 0, 0);
    const std::size_t n = entries ? entries->entries().size() : 0;
    SendMessageA(hwnd(), LVM_SETITEMCOUNT, static_cast<WPARAM>(n), 0);
}

LRESULT CChongfaGrid::OnGetDispInfo(NMLVDISPINFOA& info) const {
    LVITEMA& item = info.item;
    if (!entries || !(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return 0;
    const auto& list = entries->entries();
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= list.size()) return 0;
    const std::string text = tovan::ResendColumnText(list[static_cast<std::size_t>(item.iItem)], item.iSubItem);
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
    std::memcpy(item.pszText, text.data(), n);
    item.pszText[n] = '\0';
    return 0;
}

void CChongfaGrid::OnMeasureItem(MEASUREITEMSTRUCT& item) const {
    if (rowHeight > 0) item.itemHeight = static_cast<UINT>(rowHeight);
}

void CChongfaGrid::DrawItem(const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1) || !entries) return;
    const auto& list = entries->entries();
    if (item.itemID >= list.size()) return;
    const tovan::ChongfaXinxi& entry = list[item.itemID];
    HDC dc = item.hDC;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const COLORREF fill = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    const fw::gdi::Pen pen(CreatePen(PS_SOLID, 1, RGB(192, 192, 192)));
    const fw::gdi::Brush brush(CreateSolidBrush(fill));
    const fw::gdi::SavedState saved(dc);  // after the pen and brush: restored before they go

    SetBkColor(dc, fill);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SelectObject(dc, pen);
    SelectObject(dc, brush);

    int left = item.rcItem.left;
    for (int col = 0; col < kColumns; ++col) {
        const int width = static_cast<int>(SendMessageA(hwnd(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(col), 0));
        RECT cell = {left, item.rcItem.top, left + width, item.rcItem.bottom};
        left += width;
        if (width <= 0) continue;
        Rectangle(dc, cell.left - 1, cell.top - 1, cell.right, cell.bottom);
        const std::string text = tovan::ResendColumnText(entry, col);
        if (col == kBodyColumn) {
            cell.left += 3;
            cell.top += 5;
            DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &cell, DT_WORDBREAK | DT_LEFT | DT_TOP);
        } else {
            DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &cell,
                      DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        }
    }
}

LRESULT CChongfaGrid::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == fw::kReflect + WM_DRAWITEM) {
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    }
    return Window::HandleMessage(msg, wp, lp);
}

// ---------------------------------------------------------------- dialog

CCongfaDlg::CCongfaDlg(tovan::ResendSchedule& schedule, const tovan::AccountState& account,
                       HWND parent)
    : CDialogEx(IDD_RESEND_LIST, parent), schedule_(schedule), account_(account) {}

void CCongfaDlg::BindControls() {
    Bind(grid_, IDC_RESEND_GRID);
    Bind(deleteButton_, IDOK);
    Bind(editButton_, IDC_RESEND_EDIT_ENTRY);
    Bind(closeButton_, IDCANCEL);
}

BOOL CCongfaDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();
    HWND list = grid_.hwnd();
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);

    // The list takes the top of the client area over its full width.
    RECT client, r;
    GetClientRect(hwnd(), &client);
    GetWindowRect(list, &r);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
    MoveWindow(list, 0, 0, client.right, r.bottom, TRUE);

    grid_.InsertColumns(client.right);
    grid_.SetRowLines(3);
    grid_.entries = &schedule_;
    grid_.Reload();
    return TRUE;
}

LRESULT CCongfaDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_MEASUREITEM: {
        auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (mi && mi->CtlType == ODT_LISTVIEW && mi->CtlID == IDC_RESEND_GRID) {
            grid_.OnMeasureItem(*mi);
            return TRUE;
        }
        break;
    }
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lp);
        if (!hdr || hdr->idFrom != IDC_RESEND_GRID) break;
        if (hdr->code == LVN_GETDISPINFOA)
            return grid_.OnGetDispInfo(*reinterpret_cast<NMLVDISPINFOA*>(lp));
        if (hdr->code == NM_DBLCLK) {
            EditFirstSelected();
            return 0;
        }
        break;
    }
    }
    return CDialogEx::HandleMessage(msg, wp, lp);
}

void CCongfaDlg::OnOK() { DeleteSelected(); }

bool CCongfaDlg::OnCommand(int id, int code, HWND) {
    if (id == IDC_RESEND_EDIT_ENTRY && code == BN_CLICKED) {
        EditFirstSelected();
        return true;
    }
    return false;
}

void CCongfaDlg::DeleteSelected() {
    const auto& list = schedule_.entries();
    std::vector<std::string> keys;
    for (LRESULT i = SendItem(IDC_RESEND_GRID, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
         i >= 0 && static_cast<std::size_t>(i) < list.size();
         i = SendItem(IDC_RESEND_GRID, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))
        keys.push_back(list[static_cast<std::size_t>(i)].created);
    if (keys.empty()) return;
    schedule_.RemoveByCreated(keys);
    grid_.Reload();
}

void CCongfaDlg::EditFirstSelected() {
    const LRESULT row = SendItem(IDC_RESEND_GRID, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    const auto& list = schedule_.entries();
    if (row < 0 || static_cast<std::size_t>(row) >= list.size()) {
        ShowMessage("请选择要编辑的信息", "编辑");
        return;
    }
    const std::string key = list[static_cast<std::size_t>(row)].created;
    const tovan::ContactDetails contacts = Contacts(account_);

    CChongfabj editor(hwnd());
    if (!areaFile.empty()) editor.areaFile = areaFile;
    if (!configFile.empty()) editor.configFile = configFile;
    editor.publishRights = account_.publishRights;
    editor.thirdArea = account_.thirdArea;
    if (const tovan::ChongfaXinxi* entry = schedule_.FindByCreated(key)) {
        editor.text = tovan::EditorTextFromBody(entry->body, contacts);
        editor.resendCount = entry->remaining;
        editor.resendInterval = entry->interval;
        editor.entryClass = entry->offerClass;
    }
    // Only a confirmed edit is written back (a failed showing is no edit).
    if (editor.DoModal() != IDOK) return;
    if (const auto index = schedule_.ApplyEdit(key, editor.text, editor.resendCount,
                                               editor.resendInterval, contacts))
        SendItem(IDC_RESEND_GRID, LVM_REDRAWITEMS, *index, *index);
}
