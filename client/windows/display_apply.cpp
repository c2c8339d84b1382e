#include "client/windows/display_apply.h"

#include <algorithm>

#include "client/controls/bitmap_width.h"
#include "client/model/record_cell.h"
#include "client/res/resource.h"
#include "fw/window.h"

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
    // A two-character place name in the new font; without pictures the talk
    // column is as wide, as when the grid was made.
    const int place = grid.MeasureText("北京").cx + 2 * grid.marginX;
    grid.SetColumnWidth(tovan::kPlaceColumn, place);
    if (!classPictures) grid.SetColumnWidth(tovan::kChatColumn, place);
    RECT client;
    GetClientRect(grid.hwnd(), &client);
    const int lines = grid.columnCount - 1;  // a pixel between neighbouring columns
    const int text = client.right - cls - place - grid.ColumnWidth(tovan::kChatColumn) -
                     GetSystemMetrics(SM_CXVSCROLL) - lines;
    grid.SetColumnWidth(tovan::kBodyColumn, std::max(text, kMinTextColumn));
    InvalidateRect(grid.hwnd(), nullptr, TRUE);
}
