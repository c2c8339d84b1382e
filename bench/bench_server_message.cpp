// Framing and dispatch of a realistic stream of offer records, fed in 1024-byte
// receive chunks, beside a plain memchr pass over the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "client/model/server_message.h"

namespace {

std::string MakeStream() {
    std::string s;
    int id = 100000;
    while (s.size() < (8u << 20)) {
        ++id;
        s += "!NEWRECORD!|" + std::to_string(id) +
             "|货|张师傅|2026-12-09 08:3" + std::to_string(id % 10) +
             "|湖北武汉|武汉到广州，有9.6米高栏车一辆，求货，电话138****1234，"
             "可长期合作，价格面议，另有回程车辆若干，欢迎来电咨询。|湖北|0|江夏区^";
        if (id % 16 == 0) s += "LOOP^";
    }
    return s;
}

const std::string& Stream() {
    static const std::string s = MakeStream();
    return s;
}

struct Counting : tovan::ServerMessageHandler {
    std::size_t n = 0;
    void OnNewRecord(const char* m) override { n += static_cast<unsigned char>(m[12]); }
};

void BM_FrameAndDispatch(benchmark::State& state) {
    const std::string& s = Stream();
    for (auto _ : state) {
        tovan::ServerMessageFramer framer;
        Counting h;
        for (std::size_t i = 0; i < s.size(); i += tovan::kReceiveChunk) {
            char chunk[tovan::kReceiveChunk + 1];
            std::size_t n = std::min(tovan::kReceiveChunk, s.size() - i);
            std::memcpy(chunk, s.data() + i, n);  // the socket's receive copy
            chunk[n] = '\0';
            framer.Feed(chunk, n, h);
        }
        benchmark::DoNotOptimize(h.n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.size()));
}
BENCHMARK(BM_FrameAndDispatch);

void BM_MemchrBaseline(benchmark::State& state) {
    const std::string& s = Stream();
    for (auto _ : state) {
        std::size_t carets = 0;
        const char* p = s.data();
        const char* end = p + s.size();
        while ((p = static_cast<const char*>(std::memchr(p, '^', end - p))) != nullptr) {
            ++carets;
            ++p;
        }
        benchmark::DoNotOptimize(carets);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.size()));
}
BENCHMARK(BM_MemchrBaseline);

}  // namespace

BENCHMARK_MAIN();
