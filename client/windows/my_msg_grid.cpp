#include "client/windows/my_msg_grid.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "fw/dialog.h"
#include "client/windows/logic/my_offers.h"
#include "fw/scoped_gdi.h"

namespace {
constexpr COLORREF kCellFrame = RGB(0xC0, 0xC0, 0xC0);
constexpr int kColumns = 6;
constexpr int kCheckSize = 13;
}  // namespace

int CMyMsgGrid::SelectedRow() const {
    return static_cast<int>(SendMessageA(hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void CMyMsgGrid::RedrawRow(int row) const {
    SendMessageA(hwnd(), LVM_REDRAWITEMS, row, row);
}

void CMyMsgGrid::OnGetDispInfo(NMLVDISPINFOA& info) const {
    LVITEMA& item = info.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0 || !records_) return;
    const std::string text = tovan::MyOfferColumnText(records_->At(item.iItem), item.iSubItem);
    const std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
    std::memcpy(item.pszText, text.data(), n);
    item.pszText[n] = '\0';
}

void CMyMsgGrid::OnClick(POINT at) {
    LVHITTESTINFO hit = {};
    hit.pt = at;
    if (SendMessageA(hwnd(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0) return;
    if (hit.iItem < 0 || hit.iSubItem != kChoiceColumn || !records_) return;
    if (tovan::ToggleMyOfferChoice(*records_, hit.iItem)) RedrawRow(hit.iItem);
}

void CMyMsgGrid::DrawItem(const DRAWITEMSTRUCT& item) const {
    if (!records_ || item.itemID >= static_cast<UINT>(records_->Size())) return;
    const tovan::MsgInfo& rec = records_->At(static_cast<int>(item.itemID));
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    const COLORREF fore = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    HDC dc = item.hDC;
    const fw::gdi::Pen pen(CreatePen(PS_SOLID, 1, kCellFrame));
    const fw::gdi::Brush brush(CreateSolidBrush(back));
    const fw::gdi::SavedState saved(dc);  // after the pen and brush: restored before they go
    SelectObject(dc, pen);
    SelectObject(dc, brush);
    SetTextColor(dc, fore);
    SetBkMode(dc, TRANSPARENT);

    int left = item.rcItem.left;
    for (int col = 0; col < kColumns; ++col) {
        const int width = static_cast<int>(SendMessageA(hwnd(), LVM_GETCOLUMNWIDTH, col, 0));
        RECT cell = {left, item.rcItem.top, left + width, item.rcItem.bottom};
        left += width;
        if (width <= 0) continue;
        Rectangle(dc, cell.left - 1, cell.top - 1, cell.right, cell.bottom);
        const std::string text = tovan::MyOfferColumnText(rec, col);
        if (col == kChoiceColumn) {
            const int x = (cell.left + cell.right - kCheckSize) / 2;
            const int y = (cell.top + cell.bottom - kCheckSize) / 2;
            RECT box = {x, y, x + kCheckSize, y + kCheckSize};
            UINT state = DFCS_BUTTONCHECK | DFCS_FLAT;
            if (text == "2") state |= DFCS_CHECKED;
            if (text == "1") state |= DFCS_CHECKED | DFCS_INACTIVE;
            DrawFrameControl(dc, &box, DFC_BUTTON, state);
        } else if (col == 2) {
            RECT r = {cell.left + 3, cell.top + 5, cell.right, cell.bottom};
            DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
        } else {
            DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &cell,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
    }
}

LRESULT CMyMsgGrid::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == fw::kReflect + WM_DRAWITEM) {
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
    }
    if (msg == WM_NOTIFY) {
        const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
        // the columns keep their widths
        if (hdr && (hdr->code == HDN_BEGINTRACKA || hdr->code == HDN_BEGINTRACKW)) return TRUE;
    }
    return DefaultProc(msg, wp, lp);
}
