// Row paging: a count reply gives a list its length but no data, so the client
// asks only for the rows in view, one run at a time, and each grid remembers
// what it asked for so that a late reply still finds its row after records
// were pushed in at the top.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "client/model/msg_info.h"
#include "client/model/outbox.h"
#include "client/model/record_grid_view.h"
#include "client/model/record_store.h"

namespace tovan {

// One pending row request: the row asked for and the list's size at that time
// (the row request, _M in the protocol notes).
struct RowRequest {
    std::int32_t row;
    std::int32_t listSize;
};
static_assert(sizeof(RowRequest) == 8, "a pending row request is 8 bytes");

// A grid's pending row requests, in the order they were made. Only a count
// reply (Clear) and row replies (TakeRow) remove entries, besides the bound.
//
// A server may count rows it never sends (a row deleted between the count
// and the request, a server bug), so unanswered rows are not asked for
// without end: a row asked for again under the same numbering counts one
// more try instead of a second entry, a row tried kMaxRowTries times is given
// up (it stays unloaded, its entries wait for a late reply until the next
// count reply), and the oldest entries go beyond kMaxEntries.
class PendingRequests {
public:
    static constexpr int kMaxRowTries = 5;
    static constexpr std::size_t kMaxEntries = 1000;

    // Notes a request for the `count` rows from `first` of a list then
    // listSize rows long.
    void Append(std::int32_t first, std::int32_t count, std::int32_t listSize);
    void Append(std::int32_t row, std::int32_t listSize) { Append(row, 1, listSize); }

    // Whether each of the `count` rows from `first`, as a list of listSize
    // rows numbers them now, has been asked for kMaxRowTries times without
    // an answer. Records pushed at the top since a request keep it the same row.
    std::vector<bool> GivenUp(std::int32_t first, std::int32_t count, std::int32_t listSize) const;
    bool GivenUp(std::int32_t row, std::int32_t listSize) const { return GivenUp(row, 1, listSize)[0]; }

    // Reply lookup for a reply naming row r, with the list now holding
    // currentSize rows: the oldest entry asking for r is removed and the row
    // it maps to now is returned. Records pushed at the top since the request
    // shift the row down; deletions can shift it up, even below 0, so the
    // caller still checks the result against the list. No entry: nullopt.
    std::optional<std::int64_t> TakeRow(std::int32_t r, std::int64_t currentSize);

    void Clear() { entries_.clear(); }
    std::size_t Size() const { return entries_.size(); }
    const RowRequest& operator[](std::size_t i) const { return entries_[i].request; }

private:
    struct Entry {
        RowRequest request;
        int tries;  // of the row it stands for, this request included
    };
    // For each of the `count` rows from `first` as numbered now: the most
    // tries of an entry standing for it, and the entry of the same numbering.
    struct RowState {
        int tries = 0;
        std::size_t same = kNone;  // index in entries_
    };
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::vector<RowState> Scan(std::int32_t first, std::int32_t count, std::int32_t listSize) const;

    std::deque<Entry> entries_;
};

// A list's grid and the grid's pending row requests; both null until the
// grid window exists.
struct ListGrid {
    RecordGridView* view = nullptr;
    PendingRequests* pending = nullptr;
};

// Rows asked for per request at most: about a screenful.
constexpr int kPagingWindow = 80;

// The first run of consecutive unloaded rows inside the window that starts at
// firstVisible and spans kPagingWindow rows (cut at the list's end). Rows the
// pending requests have given up end a run as loaded rows do.
struct RowRun {
    int first = 0;
    int count = 0;
};
RowRun FindUnloadedRun(const RecordStore& list, int firstVisible, const PendingRequests* pending = nullptr);

// Reply lookup of a row reply naming row r: the oldest pending request for r
// says where that row is now; the record is stored there and the grid row
// redrawn when it is still inside the list. The pending entry is consumed
// either way. Returns the row stored, or -1.
int StoreRequestedRow(RecordStore& list, const ListGrid& grid, std::int32_t r, const MsgInfo& rec);

// What one paging tick sends through, supplied by the frame.
struct PagingIo {
    Outbox& outbox;                    // the session: a failed send waits in its queue
    std::function<void(int)> sleepMs;  // the short pause after each request
};

// The first unloaded run in view of the current list, asked for with the
// watch record query in watch mode, else with the current area key; of the
// search list, with the search record query. True when a request went out
// (or was queued).
bool RequestCurrentListRows(const RecordStore& currentList, const ListGrid& currentGrid, bool watchMode,
                            std::string_view currentArea, std::string_view watchRecordQuery,
                            const PagingIo& io);
bool RequestSearchListRows(const RecordStore& searchList, const ListGrid& searchGrid,
                           std::string_view searchRecordQuery, const PagingIo& io);

// One tick of the paging timer (500 ms, stopped before and re-armed after by
// the caller): at most one request for the current list (watch record query
// in watch mode, else the current area key) and one for the search list, each
// for the first unloaded run in view.
void RunPagingTick(const RecordStore& currentList, const ListGrid& currentGrid,
                   const RecordStore& searchList, const ListGrid& searchGrid,
                   bool watchMode, std::string_view currentArea,
                   std::string_view watchRecordQuery, std::string_view searchRecordQuery,
                   const PagingIo& io);

}  // namespace tovan
