// The offer details of one row of a record grid, for the record view and the
// search pane alike.
#pragma once

#include <windows.h>

#include <string>

#include "client/core/view_grid.h"

// The text the details show: body and time, masked by the user's own switch
// only (not the limited-rights masking), the masked digits left out.
std::string RecordDetailsText(const CViewGrid& grid, const tovan::MsgInfo& record);

// The details dialog of a row, modally over owner, as a double-click on any
// column but the talk column opens it; rows outside the records do nothing.
void ShowRecordDetails(HWND owner, const CViewGrid& grid, int row);
