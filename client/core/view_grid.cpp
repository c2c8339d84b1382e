#include "client/core/view_grid.h"

#include <cstdlib>

#include "client/model/record_cell.h"
#include "client/core/startup_trace.h"

std::string CViewGrid::MaskText(const std::string& source, int applyLimited) const {
    return tovan::MaskText(source, maskDigits != 0, limitedRights != 0, applyLimited != 0);
}

tovan::Colorref CViewGrid::ReadPhoneColor() const {
    char value[19] = {};
    GetPrivateProfileStringA("Display", "PhoneColor", "255", value, sizeof value, profileFile.c_str());
    return static_cast<tovan::Colorref>(std::atol(value));
}

tovan::RecordCellOptions CViewGrid::CellOptions(tovan::Colorref phoneColor) const {
    tovan::RecordCellOptions o;
    o.font = font;
    o.maskDigits = maskDigits != 0;
    o.limitedRights = limitedRights != 0;
    if (model) {
        const tovan::RecordGridLook look = tovan::GridLook(*model, isSearchGrid != 0);
        o.pictures = look.pictures;
        o.highlight = look.highlight;
        o.keyword = look.keyword;
        o.destinations = look.destinations;
    } else {
        o.highlight = isSearchGrid != 0;
    }
    o.phoneColor = phoneColor;
    return o;
}

void CViewGrid::GetCellText(int row, int column, tovan::CCell* cell) {
    if (!records || row < 0 || row > records->Size() - 1) return;
    // The record is read where the list keeps it.
    const tovan::MsgInfo& record = records->At(row);
    if (painting_) {
        tovan::FillRecordCell(record, column, paintOptions_, cell);
        return;
    }
    const tovan::Colorref phone = column == tovan::kBodyColumn ? ReadPhoneColor() : tovan::kDefaultPhoneColor;
    tovan::FillRecordCell(record, column, CellOptions(phone), cell);
}

void CViewGrid::BeginCellFills() {
    paintOptions_ = CellOptions(ReadPhoneColor());
    painting_ = true;
}

void CViewGrid::EndCellFills() {
    painting_ = false;
    TraceStartupStep("grid painted");
    if (!onFirstRowsPainted || !records || !records->IsLoaded(firstVisibleRow)) return;
    TraceStartupStep("first rows painted");
    const std::function<void()> firstRows = std::move(onFirstRowsPainted);
    onFirstRowsPainted = nullptr;
    firstRows();
}

void CViewGrid::OnCellDblClk(int row, int column, tovan::CCell*) {
    SendMessageA(GetParent(hwnd()), WM_GRID_CELLDBLCLK, static_cast<WPARAM>(row), static_cast<LPARAM>(column));
}

void CViewGrid::ResetRows(int count) {
    pending.Clear();
    SetRowCount(count);
}

LRESULT CViewGrid::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // The wheel scrolls the grid under the mouse; but the focus is taken
    // only inside the active window, never from another one the user types in
    // (taking it would activate the grid's window too).
    if (msg == WM_MOUSEMOVE && GetActiveWindow() == GetAncestor(hwnd(), GA_ROOT) && GetFocus() != hwnd())
        SetFocus(hwnd());
    return CQGrid::HandleMessage(msg, wp, lp);
}
