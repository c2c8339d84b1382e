#include "client/model/row_paging.h"

#include <algorithm>

#include "client/model/outgoing_messages.h"

namespace tovan {

RowRun FindUnloadedRun(const RecordStore& list, int firstVisible) {
    RowRun run;
    const int start = std::max(firstVisible, 0);
    const int end = static_cast<int>(
        std::min<std::int64_t>(static_cast<std::int64_t>(start) + kPagingWindow, list.Size()));
    for (int row = start; row < end; ++row) {
        if (!list.IsLoaded(row)) {
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
    const RowRun run = FindUnloadedRun(list, grid.view->FirstVisibleRow());
    for (int i = 0; i < run.count; ++i) grid.pending->Append(run.first + i, list.Size());
    if (run.count == 0) return false;

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
