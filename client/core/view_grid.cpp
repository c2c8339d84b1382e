#include "client/core/view_grid.h"

#include <cstdlib>

#include "client/core/logic/record_cell.h"

std::string CViewGrid::MaskText(const std::string& source, int applyLimited) const {
    return tovan::MaskText(source, maskDigits != 0, limitedRights != 0, applyLimited != 0);
}

tovan::Colorref CViewGrid::ReadPhoneColor() const {
    char value[19] = {};
    GetPrivateProfileStringA("Display", "PhoneColor", "255", value, sizeof value, profileFile.c_str());
    return static_cast<tovan::Colorref>(std::atol(value));
}

void CViewGrid::GetCellText(int row, int column, tovan::CCell* cell) {
    if (!records || row < 0 || row > records->Size() - 1) return;
    const tovan::MsgInfo record = records->At(row);

    tovan::RecordCellOptions o;
    o.font = font;
    o.maskDigits = maskDigits != 0;
    o.limitedRights = limitedRights != 0;
    if (mainFrame) {
        o.pictures = mainFrame->UsePictures();
        o.highlight = isSearchGrid != 0 || mainFrame->InWatchMode();
    } else {
        o.highlight = isSearchGrid != 0;
    }
    if (column == tovan::kBodyColumn) {
        o.phoneColor = painting_ ? paintPhoneColor_ : ReadPhoneColor();
        if (o.highlight && mainFrame) {
            o.keyword = isSearchGrid ? mainFrame->SearchText() : mainFrame->WatchKeywords();
            o.destinations = isSearchGrid ? mainFrame->SearchDestinations() : mainFrame->WatchDestinations();
        }
    }
    tovan::FillRecordCell(record, column, o, cell);
}

void CViewGrid::BeginCellFills() {
    paintPhoneColor_ = ReadPhoneColor();
    painting_ = true;
}

void CViewGrid::OnCellDblClk(int row, int column, tovan::CCell*) {
    SendMessageA(GetParent(hwnd()), WM_GRID_CELLDBLCLK, static_cast<WPARAM>(row), static_cast<LPARAM>(column));
}

void CViewGrid::ResetRows(int count) {
    pending.Clear();
    SetRowCount(count);
}

LRESULT CViewGrid::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // The wheel scrolls the grid under the mouse.
    if (msg == WM_MOUSEMOVE) SetFocus(hwnd());
    return CQGrid::HandleMessage(msg, wp, lp);
}
