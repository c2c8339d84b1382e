#include "client/core/tovan_client_view.h"

#include <algorithm>
#include <string>

#include "client/core/record_details.h"

#include "client/model/display_settings.h"
#include "client/core/grid_display_settings.h"
#include "client/core/record_columns.h"
#include "client/model/record_cell.h"
#include "client/res/resource.h"

namespace {

constexpr const char kViewClass[] = "TovanRecordView";

}  // namespace

bool CTovanClientView::Create(HWND parent, const tovan::ClientModel& model, const RECT& rect,
                              tovan::ProfileReader& settings) {
    owner_ = parent;
    if (!fw::Window::Create(kViewClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, rect.left,
                            rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                            nullptr)) {
        return false;
    }
    OnInitialUpdate(model, settings);
    return true;
}

void CTovanClientView::OnInitialUpdate(const tovan::ClientModel& model, tovan::ProfileReader& settings) {
    RECT client;
    GetClientRect(hwnd(), &client);
    grid_.Create(hwnd(), 0, client);

    const tovan::DisplaySettings d = tovan::ReadDisplaySettings(settings);
    ApplyDisplaySettings(grid_, d);
    grid_.marginX = 2;
    grid_.marginY = 2;

    grid_.SetRowCount(0);
    SetRecordColumns(grid_, MeasureRecordColumns(grid_, model.usePictures), client.right);
}

void CTovanClientView::ToggleMask() {
    grid_.maskDigits = !grid_.maskDigits;
    InvalidateRect(grid_.hwnd(), nullptr, TRUE);
}

void CTovanClientView::OnSize(int cx, int cy) {
    if (!grid_.hwnd()) return;
    MoveWindow(grid_.hwnd(), 0, 0, cx, cy, TRUE);
    // The class and talk columns keep the widths they were given; the place
    // column follows the font.
    RecordColumnWidths w = MeasureRecordColumns(grid_, false);
    w.cls = grid_.ColumnWidth(tovan::kClassColumn);
    w.chat = grid_.ColumnWidth(tovan::kChatColumn);
    FitTextColumn(grid_, w, cx);
}

LRESULT CTovanClientView::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        OnSize(LOWORD(lp), HIWORD(lp));
        return 0;
    case WM_GRID_CELLDBLCLK:
        OnGridCellDblClk(static_cast<int>(wp), static_cast<int>(lp));
        return 0;
    default:
        return DefaultProc(msg, wp, lp);
    }
}

void CTovanClientView::OnGridCellDblClk(int row, int column) {
    if (!grid_.records || row < 0 || row >= grid_.records->Size()) return;
    const tovan::MsgInfo& rec = grid_.records->At(row);
    // The talk column opens a chat with the author, every other column the details.
    if (column == tovan::kChatColumn) {
        if (onTalk) onTalk(std::string(tovan::FieldText(rec.ByName)));
        return;
    }
    ShowRecordDetails(owner_, grid_, row);
}
