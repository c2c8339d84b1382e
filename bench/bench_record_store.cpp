// Offer list costs that users feel: a count reply for a huge list, offers
// pushed at the top of lists from 1,000 to 10,000,000 rows, and a row reply
// finding its row. Heap use is reported beside the count reply's time (glibc
// mallinfo2: bytes in use; /proc/self/statm: resident set), measured outside
// the timed loop. Build with the bench preset (release).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "client/model/record_handlers.h"
#include "client/model/record_store.h"
#include "client/model/row_paging.h"

namespace {

double HeapMB() { return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0); }

double ResidentMB() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

tovan::MsgInfo Offer(int id) {
    tovan::MsgInfo r{};
    std::snprintf(r.ID, sizeof r.ID, "%d", id);
    std::strcpy(r.Class, "货");
    std::strcpy(r.Area, "武汉");
    std::strcpy(r.Sheng, "湖北");
    std::strcpy(r.BodyIs, "武汉到广州，有9.6米高栏车一辆，求货，电话138****1234，可长期合作。");
    r.loaded = 1;
    return r;
}

// A count reply of 1,000,000 rows: the list is emptied and sized. The heap
// and resident figures come from one more count reply after the timed loop.
void BM_CountReset1M(benchmark::State& state) {
    for (auto _ : state) {
        tovan::RecordStore list;
        list.Reset(1'000'000);
        benchmark::DoNotOptimize(list.Size());
    }
    const double h0 = HeapMB(), r0 = ResidentMB();
    {
        tovan::RecordStore list;
        list.Reset(1'000'000);
        benchmark::DoNotOptimize(list.Size());
        state.counters["heap_MB"] = HeapMB() - h0;
        state.counters["rss_MB"] = ResidentMB() - r0;
    }
}
BENCHMARK(BM_CountReset1M)->Unit(benchmark::kMicrosecond);

// Pushed offers at the top of a counted list of Arg rows with its first
// screen loaded, 1,000 per timed round; between rounds (untimed) they are
// taken off the top again, so every round pushes into the same list size.
// glibc keeps freed memory (no trimming, no mmap for these sizes), and a
// warm-up round has touched it: the time is the list's work, not the
// kernel's page faults.
constexpr int kPushRound = 1'000;

class PushRounds {
public:
    explicit PushRounds(int rows) {
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
        mallopt(M_MMAP_THRESHOLD, 1 << 30);
        list.Reset(rows);
        for (int row = 0; row < 80; ++row) list.Store(row, Offer(row));
        WarmUp();
    }
    // One round pushed and taken off again: the allocator then holds, and the
    // kernel has mapped, what a timed round needs.
    void WarmUp() {
        for (int i = 0; i < kPushRound; ++i) list.InsertTop(Offer(i));
        for (int i = 0; i < kPushRound; ++i) list.Remove(0);
    }
    tovan::RecordStore list;
};

void BM_PushAtTop(benchmark::State& state) {
    PushRounds rounds(static_cast<int>(state.range(0)));
    const tovan::MsgInfo rec = Offer(1);
    for (auto _ : state) {
        for (int i = 0; i < kPushRound; ++i) rounds.list.InsertTop(rec);
        state.PauseTiming();
        for (int i = 0; i < kPushRound; ++i) rounds.list.Remove(0);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kPushRound);
    state.counters["sec_per_push"] = benchmark::Counter(static_cast<double>(state.iterations()) * kPushRound,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PushAtTop)->RangeMultiplier(10)->Range(1'000, 10'000'000)->Unit(benchmark::kMicrosecond);

// The same through the handler the session calls: the "!NEWRECORD!" message
// split into fields, the record built, area test, title composed.
struct NoEffects : tovan::RecordFrameEffects {
    std::string FrameTitle() const override { return title; }
    void SetFrameTitle(const std::string& t) override { title = t; }
    std::string SearchPaneCaption() const override { return {}; }
    void SetSearchPaneCaption(const std::string&) override {}
    bool SearchPaneVisible() const override { return false; }
    void Notify(const std::string&) override {}
    std::string title;
};

void BM_NewRecordMessage(benchmark::State& state) {
    tovan::ClientModel model;
    tovan::RecordLists& lists = model.lists;
    PushRounds rounds(static_cast<int>(state.range(0)));
    lists.currentList = std::move(rounds.list);
    NoEffects effects;
    model.account.currentArea = model.account.homeCity = model.account.homeProvince = "湖北";
    model.account.areaLevel = 1;
    model.titlePrefix = "TovanClient";
    tovan::RecordHandlers h(model, effects);
    const std::string msg =
        "!NEWRECORD!|1234567|货|张师傅|12-09 08:30|武汉|武汉到广州，有9.6米高栏车一辆，"
        "求货，电话138****1234，可长期合作。|湖北|0|江夏区";
    for (auto _ : state) {
        for (int i = 0; i < kPushRound; ++i) h.OnNewRecord(msg.c_str());
        state.PauseTiming();
        for (int i = 0; i < kPushRound; ++i) lists.currentList.Remove(0);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kPushRound);
    state.counters["sec_per_push"] = benchmark::Counter(static_cast<double>(state.iterations()) * kPushRound,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_NewRecordMessage)->RangeMultiplier(10)->Range(1'000, 10'000'000)->Unit(benchmark::kMicrosecond);

// A row reply: lookup among the pending requests of one 80-row run, then the
// record stored in a 1,000,000-row list.
void BM_RowReplyLookupAndStore(benchmark::State& state) {
    tovan::RecordStore list;
    list.Reset(1'000'000);
    tovan::PendingRequests pending;
    tovan::ListGrid grid{nullptr, &pending};
    const tovan::MsgInfo rec = Offer(7);
    int r = 0;
    for (auto _ : state) {
        if (pending.Size() == 0) {
            state.PauseTiming();
            for (int i = 0; i < 80; ++i) pending.Append(500'000 + i, list.Size());
            state.ResumeTiming();
        }
        // Replies come in request order: each finds the first entry.
        benchmark::DoNotOptimize(tovan::StoreRequestedRow(list, grid, 500'000 + (r++ % 80), rec));
    }
}
BENCHMARK(BM_RowReplyLookupAndStore);

// The same through the handler the session calls: field splitting and the
// record built from the message included.
void BM_RowReplyMessage(benchmark::State& state) {
    tovan::ClientModel model;
    tovan::RecordLists& lists = model.lists;
    tovan::PendingRequests pending;
    lists.currentGrid = {nullptr, &pending};
    NoEffects effects;
    model.account.currentArea = model.account.homeCity = model.account.homeProvince = "湖北";
    model.account.areaLevel = 1;
    tovan::RecordHandlers h(model, effects);
    lists.currentList.Reset(1'000'000);
    const std::string msg =
        "!SINGLERECORD!|1234567|货|张师傅|2026-12-09 08:30|武汉|武汉到广州，有9.6米高栏车一辆，"
        "求货，电话138****1234，可长期合作。|湖北|0|湖北|500000|江夏区";
    for (auto _ : state) {
        if (pending.Size() == 0) {
            state.PauseTiming();
            for (int i = 0; i < 80; ++i) pending.Append(500'000, lists.currentList.Size());
            state.ResumeTiming();
        }
        h.OnSingleRecord(msg.c_str());
    }
}
BENCHMARK(BM_RowReplyMessage);

// A deletion at row Arg of a 1,000,000-row list with 10,000 loaded rows: the
// rows on the shorter side move, chunk by chunk (the middle is the worst case).
void BM_DeleteIn1M(benchmark::State& state) {
    const int at = static_cast<int>(state.range(0));
    tovan::RecordStore list;
    list.Reset(1'000'000);
    for (int row = 0; row < 1'000'000; row += 100) list.Store(row, Offer(row));
    const tovan::MsgInfo rec = Offer(1);
    for (auto _ : state) {
        list.Remove(at);
        list.InsertTop(rec);  // keeps the size steady
    }
}
BENCHMARK(BM_DeleteIn1M)->Arg(5)->Arg(500'000)->Arg(999'990)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
