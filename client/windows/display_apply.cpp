#include "display_apply.h"

#include <algorithm>

#include "bitmap_width.h"
#include "record_cell.h"
#include "resource.h"
#include "window.h"

namespace {

constexpr int kMinTextColumn = 150;  // as the record view and the search pane keep it

int ClassPictureWidth() { return BitmapWidth(IDB_CLASS_CARGO); }

}  // namespace

void ApplyDisplayChoice(CQGrid& grid, const tovan::DisplayChoice& d, bool classPictures) {
    grid.linesPerRow = d.lines;
    grid.SetFontSize(d.fontSize);
    grid.SetFaceName(d.fontFamily);
    grid.SetFontWeight(d.bold ? 700 : 400);
    grid.gridTextColor = d.fontColor;
    grid.backColor = d.backColor;
    if (!grid.hwnd() || grid.columnCount <= tovan::kChatColumn) return;

    const int cls = classPictures ? ClassPictureWidth() + 4 : grid.MeasureText("车").cx + 2 * grid.marginX;
    grid.SetColumnWidth(tovan::kClassColumn, cls);
    RECT client;
    GetClientRect(grid.hwnd(), &client);
    const int text = client.right - cls - grid.ColumnWidth(tovan::kPlaceColumn) -
                     grid.ColumnWidth(tovan::kChatColumn) - GetSystemMetrics(SM_CXVSCROLL);
    grid.SetColumnWidth(tovan::kBodyColumn, std::max(text, kMinTextColumn));
    InvalidateRect(grid.hwnd(), nullptr, TRUE);
}
