// The record grid: a CQGrid that shows a list of offer records, one row per
// record, composing every visible cell from its record at paint time. The
// record view shows the current (or watch) list in one, the search pane the
// search results in another.
//
// A host sets it up like this:
//   grid.Create(parent, id, rect);
//   grid.linesPerRow = ...; grid.SetFontSize(..); grid.SetFaceName(..);
//   grid.SetFontWeight(..); grid.gridTextColor = ..; grid.backColor = ..;
//   grid.SetColumnCount(5); grid.SetColumnWidth(0, 0); ... (RecordColumn order)
//   grid.model = &model; grid.isSearchGrid = 1 (search pane only);
//   grid.records = &lists.currentList; lists.currentGrid = {&grid, &grid.pending};
// and handles WM_GRID_CELLDBLCLK (wParam row, lParam column) in the parent.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "client/controls/qgrid.h"
#include "client/model/record_cell.h"
#include "client/model/client_model.h"
#include "client/model/record_grid_view.h"
#include "client/model/record_store.h"
#include "client/model/row_paging.h"

// Sent synchronously to the parent on a cell double-click: wParam row, lParam column.
constexpr UINT WM_GRID_CELLDBLCLK = WM_USER + 76;

class CViewGrid : public CQGrid, public tovan::RecordGridView {
public:
    const tovan::RecordStore* records = nullptr;  // row r shows record r
    int maskDigits = 0;      // the user's masking switch
    const tovan::ClientModel* model = nullptr;  // pictures, watch mode, keywords
    tovan::PendingRequests pending;  // row requests not answered yet
    int isSearchGrid = 0;    // keywords of the search instead of the watch
    int limitedRights = 0;   // the account lacks full rights: mask and hint
    // Settings file of the telephone colour ([Display] PhoneColor), read at
    // every fill. A bare name lies in the Windows directory.
    std::string profileFile = "dmr.ini";
    // Called once, at the end of the first paint that drew a record: what
    // the user waits for at start-up is on the screen then.
    std::function<void()> onFirstRowsPainted;

    // The text masked by the user's switch, and, with applyLimited, also for
    // an account without full rights (the list does; the details window not).
    std::string MaskText(const std::string& source, int applyLimited) const;

    void GetCellText(int row, int column, tovan::CCell* cell) override;
    void OnCellDblClk(int row, int column, tovan::CCell* cell) override;

    // What the record handlers and the paging need of the grid.
    int FirstVisibleRow() const override { return firstVisibleRow; }
    void ResetRows(int count) override;
    void InsertTopRow() override { InsertRow(0); }
    void DeleteRow(int row) override { CQGrid::DeleteRow(row); }
    void RedrawRow(int row) override { InvalidateRow(row); }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // The cell options are made once per paint; the telephone colour in them
    // is read then, so that a change made in the settings dialog shows with
    // the next paint.
    void BeginCellFills() override;
    void EndCellFills() override;

private:
    tovan::Colorref ReadPhoneColor() const;
    tovan::RecordCellOptions CellOptions(tovan::Colorref phoneColor) const;
    bool painting_ = false;
    tovan::RecordCellOptions paintOptions_;
};
