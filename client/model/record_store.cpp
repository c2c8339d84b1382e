#include "client/model/record_store.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace tovan {
namespace {

const MsgInfo kZeroRecord{};

int ClampRows(std::int64_t n) {
    if (n < 0) return 0;
    if (n > RecordStore::kMaxRows) return RecordStore::kMaxRows;
    return static_cast<int>(n);
}

}  // namespace

MsgInfo* RecordStore::Slot(int row) const {
    if (row < 0 || row >= size_) return nullptr;
    const std::int64_t p = static_cast<std::int64_t>(offset_) + row;
    const Chunk* chunk = dir_[static_cast<std::size_t>(p / kChunkRows)].get();
    return chunk ? chunk->slot[p % kChunkRows].get() : nullptr;
}

std::unique_ptr<MsgInfo>& RecordStore::SlotRef(int row) {
    const std::int64_t p = static_cast<std::int64_t>(offset_) + row;
    std::unique_ptr<Chunk>& chunk = dir_[static_cast<std::size_t>(p / kChunkRows)];
    if (!chunk) chunk = std::make_unique<Chunk>();
    return chunk->slot[p % kChunkRows];
}

const MsgInfo& RecordStore::At(int row) const {
    const MsgInfo* rec = Slot(row);
    return rec ? *rec : kZeroRecord;
}

void RecordStore::Reset(std::int64_t n) {
    std::deque<std::unique_ptr<Chunk>>().swap(dir_);  // frees the storage, not only the rows
    offset_ = 0;
    size_ = 0;
    loaded_ = 0;
    Resize(n);
}

// Drops every record at physical position `from` or later. Rows past the end
// must stay empty, so that growing the list again yields zero rows.
void RecordStore::ClearSlotsFrom(std::int64_t from) {
    for (std::size_t c = static_cast<std::size_t>(from / kChunkRows); c < dir_.size(); ++c) {
        Chunk* chunk = dir_[c].get();
        if (chunk == nullptr) continue;
        const std::int64_t first = static_cast<std::int64_t>(c) * kChunkRows;
        for (int s = static_cast<int>(std::max<std::int64_t>(from - first, 0)); s < kChunkRows; ++s) {
            if (chunk->slot[s]) {
                chunk->slot[s].reset();
                --chunk->used;
                --loaded_;
            }
        }
        if (chunk->used == 0) dir_[c].reset();
    }
}

void RecordStore::TrimDirectory() {
    if (size_ == 0) {
        std::deque<std::unique_ptr<Chunk>>().swap(dir_);
        offset_ = 0;
        return;
    }
    const std::size_t needed =
        static_cast<std::size_t>((static_cast<std::int64_t>(offset_) + size_ + kChunkRows - 1) / kChunkRows);
    while (dir_.size() > needed) dir_.pop_back();
}

void RecordStore::Resize(std::int64_t n) {
    const int rows = ClampRows(n);
    if (rows < size_) {
        ClearSlotsFrom(static_cast<std::int64_t>(offset_) + rows);
        size_ = rows;
        TrimDirectory();
    } else if (rows > size_) {
        size_ = rows;
        dir_.resize(static_cast<std::size_t>(
            (static_cast<std::int64_t>(offset_) + size_ + kChunkRows - 1) / kChunkRows));
    }
}

void RecordStore::InsertTop(const MsgInfo& rec) {
    if (size_ == INT_MAX) return;  // row indexes are ints; unreachable in practice
    if (offset_ == 0) {
        dir_.push_front(nullptr);
        offset_ = kChunkRows;
    }
    --offset_;
    ++size_;
    std::unique_ptr<MsgInfo>& slot = SlotRef(0);  // was past the old front: empty
    slot = std::make_unique<MsgInfo>(rec);
    ++dir_.front()->used;
    ++loaded_;
}

bool RecordStore::Store(int row, const MsgInfo& rec) {
    if (row < 0 || row >= size_) return false;
    std::unique_ptr<MsgInfo>& slot = SlotRef(row);
    if (slot) {
        *slot = rec;
    } else {
        slot = std::make_unique<MsgInfo>(rec);
        const std::int64_t p = static_cast<std::int64_t>(offset_) + row;
        ++dir_[static_cast<std::size_t>(p / kChunkRows)]->used;
        ++loaded_;
    }
    return true;
}

bool RecordStore::Remove(int row) {
    if (row < 0 || row >= size_) return false;
    const std::int64_t p = static_cast<std::int64_t>(offset_) + row;
    const std::size_t at = static_cast<std::size_t>(p / kChunkRows);
    const int slot = static_cast<int>(p % kChunkRows);

    if (Chunk* chunk = dir_[at].get(); chunk && chunk->slot[slot]) {
        chunk->slot[slot].reset();
        --chunk->used;
        --loaded_;
    }
    // The rows on the shorter side of the gap move one place to close it:
    // inside a chunk by moving its pointers, across a chunk boundary by
    // carrying one slot over. Chunks without data cost a check.
    if (row < size_ / 2) {
        CloseGapFromFront(at, slot);
        if (++offset_ == kChunkRows) {  // the first chunk now lies wholly before row 0
            dir_.pop_front();
            offset_ = 0;
        }
    } else {
        CloseGapFromBack(at, slot);
    }
    --size_;
    TrimDirectory();
    return true;
}

// Rows above the empty slot (at, slot) move down one place.
void RecordStore::CloseGapFromFront(std::size_t at, int slot) {
    for (std::size_t c = at;; --c) {
        std::unique_ptr<MsgInfo> carried;
        if (c > 0) {
            if (Chunk* prev = dir_[c - 1].get(); prev && prev->slot[kChunkRows - 1]) {
                carried = std::move(prev->slot[kChunkRows - 1]);
                --prev->used;
            }
        }
        Chunk* chunk = dir_[c].get();
        if (chunk != nullptr) {
            const int end = c == at ? slot : kChunkRows - 1;  // slot[end] is empty
            std::move_backward(chunk->slot, chunk->slot + end, chunk->slot + end + 1);
        } else if (carried) {
            dir_[c] = std::make_unique<Chunk>();
            chunk = dir_[c].get();
        }
        if (carried) {
            chunk->slot[0] = std::move(carried);
            ++chunk->used;
        }
        if (chunk != nullptr && chunk->used == 0) dir_[c].reset();
        if (c == 0) break;
    }
}

// Rows below the empty slot (at, slot) move up one place.
void RecordStore::CloseGapFromBack(std::size_t at, int slot) {
    const std::size_t last =
        static_cast<std::size_t>((static_cast<std::int64_t>(offset_) + size_ - 1) / kChunkRows);
    for (std::size_t c = at; c <= last; ++c) {
        std::unique_ptr<MsgInfo> carried;
        if (c < last) {
            if (Chunk* next = dir_[c + 1].get(); next && next->slot[0]) {
                carried = std::move(next->slot[0]);
                --next->used;
            }
        }
        Chunk* chunk = dir_[c].get();
        if (chunk != nullptr) {
            const int start = c == at ? slot : 0;  // slot[start] is empty
            std::move(chunk->slot + start + 1, chunk->slot + kChunkRows, chunk->slot + start);
        } else if (carried) {
            dir_[c] = std::make_unique<Chunk>();
            chunk = dir_[c].get();
        }
        if (carried) {
            chunk->slot[kChunkRows - 1] = std::move(carried);
            ++chunk->used;
        }
        if (chunk != nullptr && chunk->used == 0) dir_[c].reset();
    }
}

int RecordStore::FindFirstById(std::string_view id) const {
    for (std::size_t c = 0; c < dir_.size(); ++c) {
        const Chunk* chunk = dir_[c].get();
        if (chunk == nullptr) continue;
        for (int s = 0; s < kChunkRows; ++s) {
            const MsgInfo* rec = chunk->slot[s].get();
            if (rec != nullptr && FieldText(rec->ID) == id) {
                return static_cast<int>(static_cast<std::int64_t>(c) * kChunkRows + s - offset_);
            }
        }
    }
    return -1;
}

}  // namespace tovan
