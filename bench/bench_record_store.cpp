// Offer list costs that users feel: a count reply for a huge list, offers
// pushed at the top of a long list, and a row reply finding its row. Heap use
// is reported beside the time (glibc mallinfo2: bytes in use; /proc/self/statm:
// resident set).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "record_handlers.h"
#include "record_store.h"
#include "row_paging.h"

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

// A count reply of 1,000,000 rows: the list is emptied and sized.
void BM_CountReset1M(benchmark::State& state) {
    double heap = 0, rss = 0;
    for (auto _ : state) {
        const double h0 = HeapMB(), r0 = ResidentMB();
        tovan::RecordStore list;
        list.Reset(1'000'000);
        benchmark::DoNotOptimize(list.Size());
        heap = HeapMB() - h0;
        rss = ResidentMB() - r0;
    }
    state.counters["heap_MB"] = heap;
    state.counters["rss_MB"] = rss;
}
BENCHMARK(BM_CountReset1M)->Unit(benchmark::kMicrosecond);

// 10,000 pushed offers into a counted list of 100,000 rows with its first
// screen loaded.
void BM_Push10kInto100k(benchmark::State& state) {
    const tovan::MsgInfo rec = Offer(1);
    double heap = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<tovan::RecordStore>();
        list->Reset(100'000);
        for (int row = 0; row < 80; ++row) list->Store(row, Offer(row));
        const double h0 = HeapMB();
        state.ResumeTiming();
        for (int i = 0; i < 10'000; ++i) list->InsertTop(rec);
        state.PauseTiming();
        heap = HeapMB() - h0;
        list.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 10'000);  // items/s = pushes per second
    state.counters["heap_MB"] = heap;
    state.counters["sec_per_push"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * 10'000, benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
        benchmark::Counter::kIs1000);
}
BENCHMARK(BM_Push10kInto100k)->Unit(benchmark::kMillisecond);

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
    tovan::RecordLists lists;
    tovan::PendingRequests pending;
    lists.currentGrid = {nullptr, &pending};
    struct NoEffects : tovan::RecordFrameEffects {
        std::string FrameTitle() const override { return {}; }
        void SetFrameTitle(const std::string&) override {}
        std::string SearchPaneCaption() const override { return {}; }
        void SetSearchPaneCaption(const std::string&) override {}
        bool SearchPaneVisible() const override { return false; }
        void Notify(const std::string&) override {}
    } effects;
    const std::string area = "湖北", empty;
    const int zero = 0, level = 1;
    tovan::RecordFrameState st{area, zero, area, area, level, empty, empty, empty, empty, empty,
                               empty, empty, empty, empty};
    tovan::RecordHandlers h(lists, st, effects);
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
