// Timing helpers of the Windows-side benchmark programs.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace benchtiming {

inline double NowMs() {
    static const LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

// "<name>_p50 ...", "_p95", "_max" and "_n" lines of the samples (ms).
inline void PrintSpread(const char* name, std::vector<double> samples) {
    if (samples.empty()) return;
    std::sort(samples.begin(), samples.end());
    auto at = [&](double q) { return samples[static_cast<std::size_t>(q * static_cast<double>(samples.size() - 1))]; };
    std::printf("%s_p50 %.2f\n%s_p95 %.2f\n%s_max %.2f\n%s_n %zu\n", name, at(0.5), name, at(0.95), name,
                samples.back(), name, samples.size());
}

}  // namespace benchtiming
