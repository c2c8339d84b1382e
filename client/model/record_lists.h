// The client's three offer lists, each with the grid that shows it.
#pragma once

#include "client/model/record_store.h"
#include "client/model/row_paging.h"

namespace tovan {

// The three offer lists and the my-offers total.
struct RecordLists {
    RecordStore currentList;   // shown by the view's grid
    RecordStore searchList;    // shown by the search pane's grid
    RecordStore myList;        // shown by the my-offers dialog
    int myMsgCount = 0;        // -1 while not yet known
    ListGrid currentGrid;
    ListGrid searchGrid;
};

// What a logon reply does to the lists before anything else: the current and
// the search list are emptied with their grids, and the row requests still
// pending for them go too (a late reply must not land on a row pushed since).
void ClearCurrentAndSearchLists(RecordLists& lists);

}  // namespace tovan
