// The offer details of one row of a record grid, as a double-click on any
// column but the talk column opens them in the record view and the search
// pane.
#pragma once

#include <windows.h>

#include <string>

#include "view_grid.h"

// The text the details show: body and time, masked by the user's own switch
// only (not the limited-rights masking), the masked digits left out.
std::string RecordDetailsText(const CViewGrid& grid, const tovan::MsgInfo& record);

// A double-click on a cell of a record grid (WM_USER+76), in the record view
// and the search pane alike: the talk column opens a chat with the author,
// every other column the details dialog, modally over owner. Rows outside
// the grid's records do nothing.
void OpenRecordCell(HWND owner, const CViewGrid& grid, int row, int column);
