#include "client/core/search_pane.h"

#include <algorithm>

#include "client/model/display_settings.h"
#include "client/core/grid_display_settings.h"
#include "client/core/record_columns.h"
#include "client/model/record_cell.h"
#include "client/core/record_details.h"
#include "client/res/resource.h"
#include "client/controls/win_profile_reader.h"
#include "fw/window.h"

CGridDialog::CGridDialog() { margins = {0, 5, 4, 0}; }

RecordColumnWidths CGridDialog::Measure() {
    return MeasureRecordColumns(grid, grid.model && grid.model->usePictures);
}

bool CGridDialog::CreatePane(HWND frameWindow, UINT id, const tovan::ClientModel& model) {
    if (!CreateBar(kTitle, frameWindow, id, Dock::Bottom)) return false;
    const RECT start = {0, 0, 10, 10};
    if (!grid.Create(hwnd(), static_cast<int>(kGridId), start)) return false;

    WinProfileReader profiles;
    const tovan::DisplaySettings d = tovan::ReadDisplaySettings(profiles);
    linesPerRow = d.lineSpacing;
    ApplyDisplaySettings(grid, d);
    grid.marginX = 2;
    grid.marginY = 2;
    grid.model = &model;
    grid.isSearchGrid = 1;

    RECT r;
    GetClientRect(grid.hwnd(), &r);
    SetRecordColumns(grid, Measure(), r.right);
    return true;
}

void CGridDialog::BindRecords(const tovan::RecordStore& list) {
    grid.records = &list;
    grid.SetRowCount(list.Size());
}

void CGridDialog::OnSize(int cx, int cy) {
    if (!grid.hwnd()) return;
    const RecordColumnWidths w = Measure();
    MoveWindow(grid.hwnd(), 0, 0, cx, cy, TRUE);
    FitTextColumn(grid, w, cx);
}

void CGridDialog::OnRowAction(int row, int column) {
    if (!grid.records || row < 0 || row >= grid.records->Size()) return;
    if (column == tovan::kChatColumn) {
        if (onTalk) onTalk(std::string(tovan::FieldText(grid.records->At(row).ByName)));
        return;
    }
    ShowRecordDetails(GetParent(hwnd()), grid, row);
}

bool CGridDialog::OnPaneMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_SIZE:
        OnSize(LOWORD(lp), HIWORD(lp));
        result = 0;
        return true;
    case WM_GRID_CELLDBLCLK:
        OnRowAction(static_cast<int>(wp), static_cast<int>(lp));
        result = 0;
        return true;
    default:
        return false;
    }
}
