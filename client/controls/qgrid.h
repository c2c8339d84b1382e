// The client's owner-drawn grid window (class "QGRID"): rows x columns of
// cells with a vertical scroll bar, row selection and cell double-click. It
// keeps no cell contents between paints: every paint asks GetCellText to fill
// the visible cells with runs, lays them out and draws them. Rows are either
// linesPerRow text lines high or as high as their contents need.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "client/model/grid_cell.h"
#include "client/model/grid_layout.h"
#include "client/controls/grid_painter.h"
#include "client/controls/grid_text_drawer.h"
#include "fw/window.h"

class CQGrid : public fw::Window {
public:
    static constexpr const char* kClassName = "QGRID";

    CQGrid() = default;
    ~CQGrid() override = default;

    // Creates the grid as a visible child window with a vertical scroll bar.
    bool Create(HWND parent, int id, const RECT& rect);

    // Fills cell->runs for the cell; called while painting. Default: nothing.
    virtual void GetCellText(int row, int column, tovan::CCell* cell);
    // The user double-clicked the cell. Default: nothing.
    virtual void OnCellDblClk(int row, int column, tovan::CCell* cell);

    // Both drop every cell and reset scrolling and selection.
    void SetColumnCount(int n);  // every column 50 pixels wide
    void SetRowCount(int n);
    void SetColumnWidth(int column, int width);
    int ColumnWidth(int column) const;

    void SetFontSize(int points);              // of the screen's vertical resolution
    void SetFaceName(const std::string& name);  // cut to 31 bytes at a character boundary
    void SetFontWeight(int weight);             // 400 normal, 700 bold
    // Size of text in the grid font; hosts size their columns with it.
    SIZE MeasureText(const std::string& text);

    // Inserts row n (columnCount cells copied from cells, or empty cells).
    // Rows already on the screen stay on it when n is above them.
    void InsertRow(int n, const tovan::CCell* cells = nullptr);
    void DeleteRow(int n);
    // Repaints the row and everything below it, when the row is on the screen.
    void InvalidateRow(int row);

    // While held, the window side of row changes (scroll bar, repaint
    // areas) waits and is done once at the last release, which also paints
    // what changed: a burst of pushed rows then costs one scroll-bar redraw
    // instead of one per row. The grid's own state (rows, first visible row,
    // selection) is always current.
    void HoldWindowUpdates() { ++holds_; }
    void ReleaseWindowUpdates();

    // The cell as the latest paint left it; null for a row it did not draw.
    const tovan::CCell* PaintedCell(int row, int column) const;

    // What WM_PAINT and WM_ERASEBKGND do, usable on any dc of the grid's size.
    void Paint(HDC dc);
    void EraseBackground(HDC dc);

    // Set by the host.
    COLORREF backColor = 0xFFFFFF;
    COLORREF gridTextColor = 0;
    COLORREF lineColor = 0xC8C8C8;
    int linesPerRow = 0;  // 0: rows as high as their contents
    int marginX = 2;
    int marginY = 2;
    tovan::GridFont font;

    // Read by the host and by paging; changed by the grid.
    int columnCount = 0;
    int rowCount = 0;
    int firstVisibleRow = 0;
    int lastPaintedRow = 0;
    int selectedRow = -1;
    // Repaint flags: the grid lines of the latest paint are still on the
    // screen, and the rows filled the client area. They let a scroll in
    // fixed-line mode repaint cell interiors only.
    int linesOnScreen = 0;
    int rowsFillClient = 1;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // Around the GetCellText calls of one paint: for what an owner needs to
    // read once per paint rather than once per cell.
    virtual void BeginCellFills() {}
    virtual void EndCellFills() {}

private:
    void OnLButtonUp(int x, int y);
    void OnLButtonDblClk(int x, int y);
    int ThumbPosition(WPARAM wp) const;
    struct CellColors {
        HDC dc;
        bool selected;
        COLORREF highlightText;
    };
    void DrawCell(const tovan::CCell& cell, const RECT& text, const CellColors& colors, GridTextDrawer& drawer,
                  tovan::CellMeasurer& m);
    std::vector<tovan::CCell>* CachedRow(int row);
    const std::vector<tovan::CCell>* CachedRow(int row) const;
    void InvalidateBand(int row, bool erase);
    void SetScrollRangeForRows();
    // Row changes go through these two, so that a hold can collect them.
    void InvalidateRows(const RECT* area, bool erase);  // area null: the whole window
    void SyncScrollBar(bool moveThumb);

    int holds_ = 0;
    bool heldScroll_ = false;     // scroll range and thumb to set at the release
    bool heldInvalid_ = false;    // heldArea_ to repaint at the release
    bool heldErase_ = false;
    RECT heldArea_ = {};

    // Set by a background erase, used up by the next paint: where the dc
    // already holds backColor, unselected rows need no fill of their own.
    HDC erasedDc_ = nullptr;
    RECT erasedBox_ = {};
    COLORREF erasedColor_ = 0;

    std::vector<int> columnWidths_;
    // Character sizes of charSizesFont_ (the grid font of the latest paint).
    CharSizeCache charSizes_;
    tovan::GridFont charSizesFont_;
    // Cells exist only for the rows the latest paint drew: a list may count
    // millions of rows, and a cell holds nothing between paints but its runs
    // and rectangle. Row r is cells_[r - cellsFirstRow_].
    int cellsFirstRow_ = 0;
    std::deque<std::vector<tovan::CCell>> cells_;
};
