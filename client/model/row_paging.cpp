#include "client/model/row_paging.h"

#include <algorithm>

#include "client/model/outgoing_messages.h"

namespace tovan {
namespace {

// Where the row a request asked for is in a list now listSize rows long,
// when only pushes at the top came between.
std::int64_t RowNow(const RowRequest& request, std::int32_t listSize) {
    return static_cast<std::int64_t>(request.row) + listSize - request.listSize;
}

}  // namespace

std::vector<PendingRequests::RowState> PendingRequests::Scan(std::int32_t first, std::int32_t count,
                                                            std::int32_t listSize) const {
    std::vector<RowState> rows(static_cast<std::size_t>(std::max(count, 0)));
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        const std::int64_t at = RowNow(e.request, listSize) - first;
        if (at < 0 || at >= count) continue;
        RowState& row = rows[static_cast<std::size_t>(at)];
        row.tries = std::max(row.tries, e.tries);
        if (e.request.listSize == listSize) row.same = i;
    }
    return rows;
}

void PendingRequests::Append(std::int32_t first, std::int32_t count, std::int32_t listSize) {
    const std::vector<RowState> rows = Scan(first, count, listSize);
    for (std::int32_t i = 0; i < count; ++i) {
        const RowState& row = rows[static_cast<std::size_t>(i)];
        if (row.same != kNone) {  // its reply still finds that entry
            entries_[row.same].tries = row.tries + 1;
        } else {
            entries_.push_back(Entry{RowRequest{first + i, listSize}, row.tries + 1});
        }
    }
    while (entries_.size() > kMaxEntries) entries_.pop_front();
}

std::vector<bool> PendingRequests::GivenUp(std::int32_t first, std::int32_t count, std::int32_t listSize) const {
    std::vector<bool> givenUp;
    for (const RowState& row : Scan(first, count, listSize)) givenUp.push_back(row.tries >= kMaxRowTries);
    return givenUp;
}

std::optional<std::int64_t> PendingRequests::TakeRow(std::int32_t r, std::int64_t currentSize) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->request.row == r) {
            const std::int64_t row = currentSize + r - static_cast<std::int64_t>(it->request.listSize);
            entries_.erase(it);
            return row;
        }
    }
    return std::nullopt;
}

RowRun FindUnloadedRun(const RecordStore& list, int firstVisible, const PendingRequests* pending) {
    RowRun run;
    const int start = std::max(firstVisible, 0);
    const int end = static_cast<int>(
        std::min<std::int64_t>(static_cast<std::int64_t>(start) + kPagingWindow, list.Size()));
    const std::vector<bool> givenUp =
        pending != nullptr ? pending->GivenUp(start, std::max(end - start, 0), list.Size()) : std::vector<bool>();
    for (int row = start; row < end; ++row) {
        if (!list.IsLoaded(row) && (givenUp.empty() || !givenUp[static_cast<std::size_t>(row - start)])) {
            if (run.count == 0) run.first = row;
            ++run.count;
        } else if (run.count > 0) {
            break;  // one run per tick; the rest waits for the next one
        }
    }
    return run;
}

int StoreRequestedRow(RecordStore& list, const ListGrid& grid, std::int32_t r, const MsgInfo& rec) {
    if (grid.pending == nullptr) return -1;
    const std::optional<std::int64_t> row = grid.pending->TakeRow(r, list.Size());
    if (!row || *row < 0 || *row >= list.Size()) return -1;
    const int target = static_cast<int>(*row);
    list.Store(target, rec);
    if (grid.view != nullptr) grid.view->RedrawRow(target);
    return target;
}

namespace {

// Asks for the first unloaded run in view of one list; true when a request
// went out (or was queued).
bool RequestVisibleRun(const RecordStore& list, const ListGrid& grid,
                       std::string (*request)(int first, int count, std::string_view selector),
                       std::string_view selector, const PagingIo& io) {
    if (list.Empty() || grid.view == nullptr || grid.pending == nullptr) return false;
    const RowRun run = FindUnloadedRun(list, grid.view->FirstVisibleRow(), grid.pending);
    if (run.count == 0) return false;
    grid.pending->Append(run.first, run.count, list.Size());

    io.outbox.Send(request(run.first, run.count, selector));
    if (io.sleepMs) io.sleepMs(5);  // lets the server take one request at a time
    return true;
}

}  // namespace

bool RequestCurrentListRows(const RecordStore& currentList, const ListGrid& currentGrid, bool watchMode,
                            std::string_view currentArea, std::string_view watchRecordQuery,
                            const PagingIo& io) {
    return watchMode ? RequestVisibleRun(currentList, currentGrid, GuanzhuRecordMessage, watchRecordQuery, io)
                     : RequestVisibleRun(currentList, currentGrid, SingleRecordMessage, currentArea, io);
}

bool RequestSearchListRows(const RecordStore& searchList, const ListGrid& searchGrid,
                           std::string_view searchRecordQuery, const PagingIo& io) {
    return RequestVisibleRun(searchList, searchGrid, SousuoRecordMessage, searchRecordQuery, io);
}

void RunPagingTick(const RecordStore& currentList, const ListGrid& currentGrid,
                   const RecordStore& searchList, const ListGrid& searchGrid,
                   bool watchMode, std::string_view currentArea,
                   std::string_view watchRecordQuery, std::string_view searchRecordQuery,
                   const PagingIo& io) {
    RequestCurrentListRows(currentList, currentGrid, watchMode, currentArea, watchRecordQuery, io);
    RequestSearchListRows(searchList, searchGrid, searchRecordQuery, io);
}

}  // namespace tovan
