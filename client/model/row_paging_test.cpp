#include "client/model/row_paging.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "client/model/record_handlers.h"
#include "client/model/record_test_fakes.h"
#include "client/model/server_message.h"

namespace tovan {
namespace {

using testing::FakeFrame;
using Strings = std::vector<std::string>;

MsgInfo Loaded(const char* id = "1") {
    MsgInfo r{};
    std::strcpy(r.ID, id);
    r.loaded = 1;
    return r;
}

// A list of `size` rows where the rows of `loaded` hold data.
void Fill(RecordStore& list, int size, const std::vector<int>& loaded) {
    list.Reset(size);
    for (int row : loaded) list.Store(row, Loaded());
}

std::vector<int> Range(int from, int to) {
    std::vector<int> v;
    for (int i = from; i < to; ++i) v.push_back(i);
    return v;
}

TEST(PagingWindow, FirstUnloadedRunInsideTheVisibleWindow) {
    struct Case {
        const char* what;
        int size;
        std::vector<int> loaded;
        int firstVisible;
        int first, count;
    };
    std::vector<int> allBut3to5and7 = Range(0, 20);
    allBut3to5and7.erase(allBut3to5and7.begin() + 7);
    allBut3to5and7.erase(allBut3to5and7.begin() + 3, allBut3to5and7.begin() + 6);
    const Case cases[] = {
        {"rows 0-9 of 25 loaded", 25, Range(0, 10), 0, 10, 15},
        {"3-5 unloaded, 6 loaded, 7 unloaded", 20, allBut3to5and7, 0, 3, 3},
        {"window of 80 rows", 1000, {}, 100, 100, 80},
        {"window cut at the end", 1000, {}, 990, 990, 10},
        {"all in view loaded", 30, Range(0, 30), 0, 0, 0},
        {"rows before the window ignored", 200, Range(100, 180), 100, 0, 0},
        {"first visible beyond the end", 10, {}, 50, 0, 0},
    };
    for (const Case& c : cases) {
        RecordStore list;
        Fill(list, c.size, c.loaded);
        const RowRun run = FindUnloadedRun(list, c.firstVisible);
        EXPECT_EQ(run.count, c.count) << c.what;
        if (c.count > 0) {
            EXPECT_EQ(run.first, c.first) << c.what;
        }
    }
}

class PagingTickTest : public ::testing::Test {
protected:
    FakeFrame f;
    // The session's outbox: every send is tried, a failed one is queued.
    struct Line : Outbox {
        Strings sent, queued;
        bool sendWorks = true;
        void Send(const std::string& m) override {
            sent.push_back(m);
            if (!sendWorks) queued.push_back(m);
        }
        void DropQueuedListRequests() override {}
    } line;
    Strings& sent = line.sent;
    Strings& queued = line.queued;
    bool& sendWorks = line.sendWorks;
    std::vector<int> pauses;
    PagingIo io{line, [this](int ms) { pauses.push_back(ms); }};

    void Tick() {
        RunPagingTick(f.lists.currentList, f.lists.currentGrid, f.lists.searchList, f.lists.searchGrid,
                      f.watchMode != 0, f.currentArea, "WQ", "SQ", io);
    }
};

TEST_F(PagingTickTest, OneRequestPerListForTheVisibleRun) {
    Fill(f.lists.currentList, 25, Range(0, 10));
    Fill(f.lists.searchList, 500, {});
    f.searchGrid.firstVisible = 400;
    Tick();
    EXPECT_EQ(sent, (Strings{"!SINGLERECORD!|10|15|p^", "!SOUSUORECORD!|400|80|SQ^"}));
    EXPECT_EQ(pauses, (std::vector<int>{5, 5}));
    ASSERT_EQ(f.viewPending.Size(), 15u);
    EXPECT_EQ(f.viewPending[0].row, 10);
    EXPECT_EQ(f.viewPending[14].row, 24);
    EXPECT_EQ(f.viewPending[14].listSize, 25);
    EXPECT_EQ(f.searchPending.Size(), 80u);

    f.watchMode = 1;
    sent.clear();
    Tick();  // unanswered rows are asked for again, without further pending entries
    EXPECT_EQ(sent, (Strings{"!GUANZHURECORD!|10|15|WQ^", "!SOUSUORECORD!|400|80|SQ^"}));
    EXPECT_EQ(f.viewPending.Size(), 15u);
    EXPECT_EQ(f.searchPending.Size(), 80u);
}

TEST_F(PagingTickTest, PendingListStaysBoundedWhileTheUserScrollsAndNothingAnswers) {
    Fill(f.lists.currentList, RecordStore::kMaxRows, {});
    for (int tick = 0; tick < 100; ++tick) {
        f.viewGrid.firstVisible = tick * kPagingWindow;
        Tick();
    }
    EXPECT_EQ(sent.size(), 100u) << "every new screenful is asked for";
    EXPECT_EQ(f.viewPending.Size(), PendingRequests::kMaxEntries);
    EXPECT_EQ(f.viewPending[f.viewPending.Size() - 1].row, 100 * kPagingWindow - 1) << "the newest are kept";
}

TEST(PagingWindow, RowsGivenUpEndARunAsLoadedRowsDo) {
    RecordStore list;
    Fill(list, 30, {});
    PendingRequests pending;
    for (int tries = 0; tries < PendingRequests::kMaxRowTries; ++tries) {
        for (int row = 5; row < 10; ++row) pending.Append(row, 30);
    }
    EXPECT_EQ(pending.Size(), 5u);
    RowRun run = FindUnloadedRun(list, 0, &pending);
    EXPECT_EQ(run.first, 0);
    EXPECT_EQ(run.count, 5);

    for (int row = 0; row < 5; ++row) list.Store(row, Loaded());
    list.InsertTop(Loaded("pushed"));  // rows 5 to 9 are now 6 to 10
    run = FindUnloadedRun(list, 0, &pending);
    EXPECT_EQ(run.first, 11);
    EXPECT_EQ(run.count, 20);
    EXPECT_FALSE(pending.GivenUp(5, 31));
    EXPECT_TRUE(pending.GivenUp(10, 31));
}

TEST_F(PagingTickTest, NothingToAskNothingSent) {
    Tick();  // both lists empty
    Fill(f.lists.currentList, 5, Range(0, 5));
    Tick();  // everything in view loaded
    EXPECT_TRUE(sent.empty());
    EXPECT_TRUE(pauses.empty());
    EXPECT_EQ(f.viewPending.Size(), 0u);
}

TEST_F(PagingTickTest, FailedSendIsQueued) {
    Fill(f.lists.currentList, 3, {});
    sendWorks = false;
    Tick();
    EXPECT_EQ(queued, Strings{"!SINGLERECORD!|0|3|p^"});
    EXPECT_EQ(f.viewPending.Size(), 3u);  // the rows are still expected
}

TEST(ReplyLookup, MapsTheRequestedRowToWhereItIsNow) {
    struct Case {
        const char* what;
        int askedRow, askedSize;  // the pending request
        int replyRow, sizeNow;
        int stored;                // -1: nothing stored
        std::size_t pendingLeft;
    };
    const Case cases[] = {
        {"unchanged list", 4, 25, 4, 25, 4, 0},
        {"two pushes since the request", 4, 25, 4, 27, 6, 0},
        {"one deletion, row 0 maps to -1", 0, 10, 0, 9, -1, 0},
        {"row no request names", 4, 25, 5, 25, -1, 1},
        {"last row", 9, 10, 9, 10, 9, 0},
    };
    for (const Case& c : cases) {
        RecordStore list;
        list.Reset(c.sizeNow);
        PendingRequests pending;
        testing::FakeGrid grid;
        pending.Append(c.askedRow, c.askedSize);
        EXPECT_EQ(StoreRequestedRow(list, {&grid, &pending}, c.replyRow, Loaded("9")), c.stored) << c.what;
        EXPECT_EQ(pending.Size(), c.pendingLeft) << c.what;
        EXPECT_EQ(list.LoadedCount(), c.stored >= 0 ? 1 : 0) << c.what;
        if (c.stored >= 0) {
            EXPECT_EQ(grid.calls, Strings{"redraw " + std::to_string(c.stored)}) << c.what;
        } else {
            EXPECT_TRUE(grid.calls.empty()) << c.what;
        }
    }
}

TEST(ReplyLookup, OldestMatchingEntryIsConsumedFirst) {
    PendingRequests pending;
    pending.Append(4, 10);
    pending.Append(4, 12);
    EXPECT_EQ(pending.TakeRow(4, 12), 6);
    EXPECT_EQ(pending.TakeRow(4, 12), 4);
    EXPECT_EQ(pending.TakeRow(4, 12), std::nullopt);
}

// The whole road: tick, pushes, deletions and count replies between a request
// and its reply, through the handlers the session forwards to.
class PagingRoundTrip : public PagingTickTest {
protected:
    RecordHandlers h{f.model, f};
    static std::string Reply(const char* id, int row) {
        return std::string("!SINGLERECORD!|") + id + "|货|u|t|c|b|p|0|p|" + std::to_string(row);
    }
};

TEST_F(PagingRoundTrip, ReplyLandsAfterTwoPushes) {
    h.OnRecordCount("!RECORDCOUNT!|p|当前|25");
    Tick();
    h.OnNewRecord("!NEWRECORD!|n1|车|u|t|c|b|p");
    h.OnNewRecord("!NEWRECORD!|n2|车|u|t|c|b|p");
    f.viewGrid.calls.clear();
    h.OnSingleRecord(Reply("r4", 4).c_str());
    EXPECT_STREQ(f.lists.currentList.At(6).ID, "r4");
    EXPECT_EQ(f.viewGrid.calls, Strings{"redraw 6"});
    EXPECT_EQ(f.viewPending.Size(), 24u);
}

TEST_F(PagingRoundTrip, ReplyAfterADeletionAboveItMapsOutsideAndIsDropped) {
    h.OnRecordCount("!RECORDCOUNT!|p|当前|10");
    Tick();
    h.OnSingleRecord(Reply("gone", 9).c_str());
    h.OnDeleteMsg("!DELETEMSG!|gone");
    h.OnSingleRecord(Reply("r0", 0).c_str());
    EXPECT_EQ(f.lists.currentList.Size(), 9);
    EXPECT_EQ(f.lists.currentList.LoadedCount(), 0);
    EXPECT_EQ(f.viewPending.Size(), 8u);  // rows 0 and 9 consumed
}

// The frame asks for the rows in view as soon as a count reply has sized a
// list: the requests the next tick would have sent, only earlier.
TEST_F(PagingRoundTrip, CountReplyAsksForTheRowsInViewAtOnce) {
    f.whenCounted = [this](const RecordStore& list) {
        if (&list == &f.lists.searchList) {
            RequestSearchListRows(list, f.lists.searchGrid, "SQ", io);
        } else {
            RequestCurrentListRows(list, f.lists.currentGrid, f.watchMode != 0, f.currentArea, "WQ", io);
        }
    };
    h.OnRecordCount("!RECORDCOUNT!|p|当前|25");
    h.OnSousuoCount("!SOUSUOCOUNT!|300");
    EXPECT_EQ(sent, (Strings{"!SINGLERECORD!|0|25|p^", "!SOUSUORECORD!|0|80|SQ^"}));
    EXPECT_EQ(pauses, (std::vector<int>{5, 5}));
    EXPECT_EQ(f.viewPending.Size(), 25u);

    for (int row = 0; row < 25; ++row) h.OnSingleRecord(Reply("r", row).c_str());
    EXPECT_EQ(f.lists.currentList.LoadedCount(), 25);
    sent.clear();
    Tick();  // only the unanswered search rows are asked for again
    EXPECT_EQ(sent, Strings{"!SOUSUORECORD!|0|80|SQ^"});

    sent.clear();
    f.watchMode = 1;
    h.OnGuanzhuCount("!GUANZHUCOUNT!|3");
    EXPECT_EQ(sent, Strings{"!GUANZHURECORD!|0|3|WQ^"});
}

// A server whose count names 20 rows more than it serves, with the last rows
// in view and an offer pushed before every tick: the rows it never sends are
// asked for a few times, then no more; the pending list stays small, and a
// reply that comes after all still lands.
TEST_F(PagingRoundTrip, RowsTheServerNeverSendsAreGivenUp) {
    constexpr int kServed = 100, kCounted = kServed + 20;
    h.OnRecordCount(("!RECORDCOUNT!|p|当前|" + std::to_string(kCounted)).c_str());
    int pushes = 0;
    std::vector<int> ticksWithRequests;
    for (int tick = 0; tick < 1000; ++tick) {
        h.OnNewRecord(("!NEWRECORD!|n" + std::to_string(++pushes) + "|车|u|t|c|b|p").c_str());
        f.viewGrid.firstVisible = f.lists.currentList.Size() - kPagingWindow;
        sent.clear();
        Tick();
        if (!sent.empty()) ticksWithRequests.push_back(tick);
        for (const std::string& request : sent) {  // "!SINGLERECORD!|first|count|p^"
            const std::vector<std::string> field = SplitFields(request);
            const int first = std::stoi(field[1]), count = std::stoi(field[2]);
            for (int r = first; r < first + count && r < kServed + pushes; ++r) {
                h.OnSingleRecord(Reply("r", r).c_str());
            }
        }
    }
    ASSERT_FALSE(ticksWithRequests.empty());
    EXPECT_LE(ticksWithRequests.size(), static_cast<std::size_t>(PendingRequests::kMaxRowTries))
        << "last request at tick " << ticksWithRequests.back();
    EXPECT_LE(f.viewPending.Size(), static_cast<std::size_t>(20 * PendingRequests::kMaxRowTries));
    const int size = f.lists.currentList.Size();
    EXPECT_EQ(size, kCounted + pushes);
    EXPECT_TRUE(f.lists.currentList.IsLoaded(size - 21));
    EXPECT_FALSE(f.lists.currentList.IsLoaded(size - 20)) << "shown as not loaded";

    const RowRequest oldest = f.viewPending[0];
    h.OnSingleRecord(Reply("late", oldest.row).c_str());
    EXPECT_STREQ(f.lists.currentList.At(static_cast<int>(size + oldest.row - oldest.listSize)).ID, "late");
}

TEST_F(PagingRoundTrip, LateReplyAfterANewCountIsDropped) {
    h.OnRecordCount("!RECORDCOUNT!|p|当前|10");
    Tick();
    h.OnRecordCount("!RECORDCOUNT!|p|当前|10");  // new query: the old requests are void
    h.OnSingleRecord(Reply("old", 3).c_str());
    EXPECT_EQ(f.lists.currentList.LoadedCount(), 0);
    sent.clear();
    Tick();  // asks again from the top
    EXPECT_EQ(sent, Strings{"!SINGLERECORD!|0|10|p^"});
}

}  // namespace
}  // namespace tovan
