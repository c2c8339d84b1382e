#include "client/model/record_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace tovan {
namespace {

MsgInfo Rec(const std::string& id) {
    MsgInfo r{};
    std::strncpy(r.ID, id.c_str(), sizeof r.ID - 1);
    r.loaded = 1;
    return r;
}

bool IsZero(const MsgInfo& r) {
    static const MsgInfo zero{};
    return std::memcmp(&r, &zero, sizeof r) == 0;
}

TEST(RecordStore, CountOnlyRowsReadAsZeroRecords) {
    RecordStore list;
    list.Reset(1000);
    EXPECT_EQ(list.Size(), 1000);
    EXPECT_EQ(list.LoadedCount(), 0);
    for (int row : {0, 255, 256, 999}) {
        EXPECT_TRUE(IsZero(list.At(row))) << row;
        EXPECT_FALSE(list.IsLoaded(row)) << row;
    }
    // Outside the list: still a zero record, never a fault.
    EXPECT_TRUE(IsZero(list.At(-1)));
    EXPECT_TRUE(IsZero(list.At(1000)));
}

TEST(RecordStore, SizesAreClampedToWhatTheListHolds) {
    struct Case { std::int64_t n; int size; };
    const Case cases[] = {
        {-5, 0},
        {0, 0},
        {RecordStore::kMaxRows, RecordStore::kMaxRows},
        {RecordStore::kMaxRows + 1LL, RecordStore::kMaxRows},
        {99999999999LL, RecordStore::kMaxRows},
        {INT64_MIN, 0},
    };
    for (const Case& c : cases) {
        RecordStore reset;
        reset.Reset(c.n);
        EXPECT_EQ(reset.Size(), c.size) << c.n;
        RecordStore resized;
        resized.Resize(3);
        resized.Resize(c.n);
        EXPECT_EQ(resized.Size(), c.size) << c.n;
    }
}

TEST(RecordStore, BoundsCheckedStoreAndRemove) {
    RecordStore list;
    list.Reset(3);
    for (int row : {-1, 3, 1 << 30}) {
        EXPECT_FALSE(list.Store(row, Rec("x"))) << row;
        EXPECT_FALSE(list.Remove(row)) << row;
    }
    EXPECT_EQ(list.Size(), 3);
    EXPECT_EQ(list.LoadedCount(), 0);
}

TEST(RecordStore, ResetDropsRowsAndShrinkingDoesNotResurrectThem) {
    RecordStore list;
    list.Reset(600);
    list.Store(599, Rec("a"));
    list.Store(300, Rec("b"));
    list.Resize(301);  // keeps "b", drops "a"
    EXPECT_EQ(list.LoadedCount(), 1);
    list.Resize(600);
    EXPECT_TRUE(IsZero(list.At(599)));
    EXPECT_STREQ(list.At(300).ID, "b");

    list.Reset(600);
    EXPECT_EQ(list.LoadedCount(), 0);
    EXPECT_TRUE(IsZero(list.At(300)));
}

// The chunked storage against a plain vector, over random operations that
// cross chunk boundaries from both ends.
TEST(RecordStore, BehavesLikeAPlainArray) {
    std::mt19937 rng(12345);
    RecordStore list;
    std::vector<std::string> model;  // "" = no data
    int next = 0;
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };

    for (int step = 0; step < 6000; ++step) {
        const int op = pick(100);
        const int size = static_cast<int>(model.size());
        if (op < 35) {
            const std::string id = std::to_string(++next);
            list.InsertTop(Rec(id));
            model.insert(model.begin(), id);
        } else if (op < 60 && size > 0) {
            const int row = pick(size);
            const std::string id = std::to_string(++next);
            ASSERT_TRUE(list.Store(row, Rec(id)));
            model[row] = id;
        } else if (op < 85 && size > 0) {
            const int row = pick(size);
            ASSERT_TRUE(list.Remove(row));
            model.erase(model.begin() + row);
        } else if (op < 97) {
            const int n = pick(1200);
            list.Resize(n);
            model.resize(n);
        } else {
            const int n = pick(700);
            list.Reset(n);
            model.assign(n, "");
        }

        ASSERT_EQ(list.Size(), static_cast<int>(model.size())) << step;
        int loaded = 0;
        for (int row = 0; row < list.Size(); ++row) {
            ASSERT_EQ(std::string(list.At(row).ID), model[row]) << "step " << step << " row " << row;
            ASSERT_EQ(list.IsLoaded(row), !model[row].empty());
            loaded += !model[row].empty();
        }
        ASSERT_EQ(list.LoadedCount(), loaded) << step;
        std::vector<int> seen;
        list.ForEachLoaded([&](int row, MsgInfo& rec) {
            seen.push_back(row);
            ASSERT_EQ(std::string(rec.ID), model[row]);
        });
        ASSERT_EQ(static_cast<int>(seen.size()), loaded);
        ASSERT_TRUE(std::is_sorted(seen.begin(), seen.end()));
        if (!model.empty()) {
            const int probe = pick(static_cast<int>(model.size()));
            if (!model[probe].empty()) {
                ASSERT_EQ(list.FindFirstById(model[probe]), probe);  // IDs are unique
            }
        }
    }
}

TEST(RecordStore, FindFirstByIdMatchesWholeIdsOfLoadedRowsOnly) {
    RecordStore list;
    list.Reset(5);
    list.Store(1, Rec("12"));
    list.Store(3, Rec("12"));
    list.Store(4, Rec("123"));
    EXPECT_EQ(list.FindFirstById("12"), 1);
    EXPECT_EQ(list.FindFirstById("123"), 4);
    EXPECT_EQ(list.FindFirstById("1"), -1);
    EXPECT_EQ(list.FindFirstById(""), -1);  // count-only rows have no ID
}

TEST(RecordStore, MovedFromListIsEmpty) {
    RecordStore a;
    a.Reset(300);
    a.InsertTop(Rec("1"));
    RecordStore b = std::move(a);
    EXPECT_EQ(b.Size(), 301);
    EXPECT_STREQ(b.At(0).ID, "1");
    EXPECT_EQ(a.Size(), 0);  // NOLINT(bugprone-use-after-move): a moved-from list is usable
    EXPECT_TRUE(IsZero(a.At(0)));
    a.InsertTop(Rec("2"));
    EXPECT_EQ(a.Size(), 1);
}

TEST(RecordStore, FieldTextStopsAtTheFieldWidth) {
    MsgInfo r{};
    std::memset(r.ID, '7', sizeof r.ID);  // no NUL inside the field
    EXPECT_EQ(FieldText(r.ID).size(), sizeof r.ID);
}

}  // namespace
}  // namespace tovan
