#include "client/core/record_columns.h"

#include <algorithm>

#include "client/controls/bitmap_width.h"
#include "client/model/record_cell.h"
#include "client/res/resource.h"

namespace {

constexpr int kMinTextColumn = 150;
constexpr int kColumnLines = 4;  // the one-pixel lines between the five columns

int TextColumnWidth(const RecordColumnWidths& w, int width) {
    return width - (w.cls + w.place + w.chat + GetSystemMetrics(SM_CXVSCROLL) + kColumnLines);
}

}  // namespace

RecordColumnWidths MeasureRecordColumns(CQGrid& grid, bool pictures) {
    RecordColumnWidths w;
    w.cls = grid.MeasureText("车").cx + 4;
    w.place = grid.MeasureText("北京").cx + 4;
    w.chat = w.place;
    if (pictures) w.cls = w.chat = BitmapWidth(IDB_CLASS_CARGO) + 4;
    return w;
}

void SetRecordColumns(CQGrid& grid, const RecordColumnWidths& w, int width) {
    grid.SetColumnCount(5);
    grid.SetColumnWidth(tovan::kIdColumn, 0);
    grid.SetColumnWidth(tovan::kClassColumn, w.cls);
    grid.SetColumnWidth(tovan::kBodyColumn, TextColumnWidth(w, width));
    grid.SetColumnWidth(tovan::kPlaceColumn, w.place);
    grid.SetColumnWidth(tovan::kChatColumn, w.chat);
}

void FitTextColumn(CQGrid& grid, const RecordColumnWidths& w, int width) {
    grid.SetColumnWidth(tovan::kBodyColumn, std::max(TextColumnWidth(w, width), kMinTextColumn));
}
