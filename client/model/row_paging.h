// Row paging: a count reply gives a list its length but no data, so the client
// asks only for the rows in view, one run at a time, and each grid remembers
// what it asked for so that a late reply still finds its row after records
// were pushed in at the top.
#pragma once

#include <cstddef>
#include <cstdint>
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
// reply (Clear) and row replies (TakeRow) remove entries.
class PendingRequests {
public:
    void Append(std::int32_t row, std::int32_t listSize) { entries_.push_back(RowRequest{row, listSize}); }

    // Reply lookup for a reply naming row r, with the list now holding
    // currentSize rows: the oldest entry asking for r is removed and the row
    // it maps to now is returned. Records pushed at the top since the request
    // shift the row down; deletions can shift it up, even below 0, so the
    // caller still checks the result against the list. No entry: nullopt.
    std::optional<std::int64_t> TakeRow(std::int32_t r, std::int64_t currentSize) {
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->row == r) {
                const std::int64_t row = currentSize + r - static_cast<std::int64_t>(it->listSize);
                entries_.erase(it);
                return row;
            }
        }
        return std::nullopt;
    }

    void Clear() { entries_.clear(); }
    std::size_t Size() const { return entries_.size(); }
    const RowRequest& operator[](std::size_t i) const { return entries_[i]; }

private:
    std::vector<RowRequest> entries_;
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
// firstVisible and spans kPagingWindow rows (cut at the list's end).
struct RowRun {
    int first = 0;
    int count = 0;
};
RowRun FindUnloadedRun(const RecordStore& list, int firstVisible);

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
