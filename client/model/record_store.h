// A growable list of offer records in which most rows exist only as a count.
//
// A count reply can announce a million rows while the user only ever scrolls
// through a few hundred, and pushed offers arrive at the top of the list. So
// rows are kept sparsely: the list is a directory of 256-row chunks, a chunk
// exists only once one of its rows holds data, and each loaded row is its own
// heap record. Row 0 sits at an offset inside the first chunk, so inserting at
// the top moves that offset (adding a chunk in front when it runs out) instead
// of moving every row. Removing a row moves the rows on its shorter side, a
// pointer each, and skips chunks without data. An unloaded row reads as an
// all-zero record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <string_view>
#include <utility>

#include "client/model/msg_info.h"

namespace tovan {

// A record's text field up to its NUL, never beyond the field's width.
template <std::size_t N>
std::string_view FieldText(const char (&field)[N]) {
    const void* nul = std::memchr(field, '\0', N);
    return std::string_view(field, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : N);
}

class RecordStore {
public:
    // Most rows a list will hold. Counts above this are held as this many rows:
    // it keeps row indexes, row counts and a grid's pixel arithmetic
    // (rows x row height) well inside 32 bits, while costing only a few
    // hundred kilobytes of directory.
    static constexpr int kMaxRows = 10'000'000;

    RecordStore() = default;
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;
    RecordStore(RecordStore&& other) noexcept { *this = std::move(other); }
    RecordStore& operator=(RecordStore&& other) noexcept {
        if (this == &other) return *this;
        dir_ = std::move(other.dir_);
        offset_ = std::exchange(other.offset_, 0);
        size_ = std::exchange(other.size_, 0);
        loaded_ = std::exchange(other.loaded_, 0);
        other.dir_.clear();
        return *this;
    }

    int Size() const { return size_; }
    bool Empty() const { return size_ == 0; }

    // The row's record; an all-zero record for a row that holds no data or is
    // outside the list.
    const MsgInfo& At(int row) const;
    // The row's loaded flag (false outside the list).
    bool IsLoaded(int row) const { return At(row).loaded != 0; }
    // True when the row holds data of its own (has been stored or inserted).
    bool HasData(int row) const { return Slot(row) != nullptr; }

    // Empties the list, frees its storage and sizes it to n zero rows.
    // n is clamped to [0, kMaxRows].
    void Reset(std::int64_t n);
    // Sizes the list to n rows, keeping the rows already there; new rows are
    // zero. n is clamped to [0, kMaxRows].
    void Resize(std::int64_t n);
    // Inserts rec at row 0; every other row moves down by one.
    void InsertTop(const MsgInfo& rec);
    // Overwrites the row. False (nothing stored) when row is outside the list.
    bool Store(int row, const MsgInfo& rec);
    // Removes the row; later rows move up by one. False when outside the list.
    bool Remove(int row);

    // The first row whose ID equals id exactly, or -1. Rows without data
    // never match.
    int FindFirstById(std::string_view id) const;

    // Calls fn(row, record) for every row that holds data, top to bottom.
    // fn may change the record but not the list.
    template <typename Fn>
    void ForEachLoaded(Fn&& fn) {
        for (std::size_t c = 0; c < dir_.size(); ++c) {
            Chunk* chunk = dir_[c].get();
            if (chunk == nullptr) continue;
            for (int s = 0; s < kChunkRows; ++s) {
                if (MsgInfo* rec = chunk->slot[s].get()) {
                    fn(static_cast<int>(static_cast<std::int64_t>(c) * kChunkRows + s - offset_), *rec);
                }
            }
        }
    }

    // Number of rows that hold data (for tests and measurements).
    int LoadedCount() const { return loaded_; }

private:
    static constexpr int kChunkRows = 256;
    struct Chunk {
        std::unique_ptr<MsgInfo> slot[kChunkRows];
        int used = 0;  // slots holding a record
    };

    MsgInfo* Slot(int row) const;
    std::unique_ptr<MsgInfo>& SlotRef(int row);  // creates the chunk if needed
    void TrimDirectory();
    void CloseGapFromFront(std::size_t chunk, int slot);
    void CloseGapFromBack(std::size_t chunk, int slot);
    void ClearSlotsFrom(std::int64_t physical);

    std::deque<std::unique_ptr<Chunk>> dir_;
    int offset_ = 0;   // physical position of row 0 inside the first chunk
    int size_ = 0;
    int loaded_ = 0;
};

}  // namespace tovan
