#include "client/core/tovan_client_view.h"

#include <algorithm>
#include <string>

#include "client/core/record_details.h"

#include "client/controls/bitmap_width.h"
#include "client/core/logic/display_settings.h"
#include "client/core/grid_display_settings.h"
#include "client/core/logic/record_cell.h"
#include "client/res/resource.h"
#include "client/controls/win_profile_reader.h"

namespace {

constexpr const char kViewClass[] = "TovanRecordView";
constexpr int kMinTextColumn = 150;
constexpr int kColumnLines = 4;  // the one-pixel lines between the five columns

}  // namespace

bool CTovanClientView::Create(HWND parent, const tovan::ClientModel& model, const RECT& rect) {
    owner_ = parent;
    if (!fw::Window::Create(kViewClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, rect.left,
                            rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                            nullptr)) {
        return false;
    }
    OnInitialUpdate(model);
    return true;
}

int CTovanClientView::PlaceColumnWidth() { return grid_.MeasureText("北京").cx + 4; }

void CTovanClientView::OnInitialUpdate(const tovan::ClientModel& model) {
    RECT client;
    GetClientRect(hwnd(), &client);
    grid_.Create(hwnd(), 0, client);

    WinProfileReader profiles;
    const tovan::DisplaySettings d = tovan::ReadDisplaySettings(profiles);
    ApplyDisplaySettings(grid_, d);
    grid_.marginX = 2;
    grid_.marginY = 2;

    int w1 = grid_.MeasureText("车").cx + 4;
    const int w3 = PlaceColumnWidth();
    int w4 = w3;
    if (model.usePictures) w1 = w4 = BitmapWidth(IDB_CLASS_CARGO) + 4;
    const int scroll = GetSystemMetrics(SM_CXVSCROLL);

    grid_.SetRowCount(0);
    grid_.SetColumnCount(5);
    grid_.SetColumnWidth(tovan::kIdColumn, 0);
    grid_.SetColumnWidth(tovan::kClassColumn, w1);
    grid_.SetColumnWidth(tovan::kBodyColumn, client.right - (w1 + w3 + w4 + scroll + kColumnLines));
    grid_.SetColumnWidth(tovan::kPlaceColumn, w3);
    grid_.SetColumnWidth(tovan::kChatColumn, w4);
}

void CTovanClientView::ToggleMask() {
    grid_.maskDigits = !grid_.maskDigits;
    InvalidateRect(grid_.hwnd(), nullptr, TRUE);
}

void CTovanClientView::OnSize(int cx, int cy) {
    if (!grid_.hwnd()) return;
    MoveWindow(grid_.hwnd(), 0, 0, cx, cy, TRUE);
    const int text = cx - grid_.ColumnWidth(tovan::kClassColumn) -
                     grid_.ColumnWidth(tovan::kChatColumn) - PlaceColumnWidth() -
                     GetSystemMetrics(SM_CXVSCROLL) - kColumnLines;
    grid_.SetColumnWidth(tovan::kBodyColumn, std::max(text, kMinTextColumn));
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
