// What the record stores and the row paging need of a grid that shows a list.
// The record grid window implements it; tests use a fake.
#pragma once

namespace tovan {

class RecordGridView {
public:
    virtual ~RecordGridView() = default;
    virtual int FirstVisibleRow() const = 0;
    // The grid is bound to its list again with count rows (count reply).
    virtual void ResetRows(int count) = 0;
    // A record was inserted at index 0 of the list.
    virtual void InsertTopRow() = 0;
    // The list's row was removed.
    virtual void DeleteRow(int row) = 0;
    // The list's row changed (data arrived, deal closed).
    virtual void RedrawRow(int row) = 0;
};

}  // namespace tovan
