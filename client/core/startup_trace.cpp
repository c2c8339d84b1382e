#include "client/core/startup_trace.h"

#ifdef TOVAN_TEST_HOOKS

#include <windows.h>

#include <cstdio>

namespace {

struct Step {
    LONGLONG counter;
    const char* name;
};

// Enough for every step of a start; later steps are dropped.
Step g_steps[128];
int g_stepCount = 0;

bool Tracing() {
    static const bool on = GetEnvironmentVariableA("TOVAN_STARTUP_TRACE", nullptr, 0) > 0;
    return on;
}

}  // namespace

void TraceStartupStep(const char* step) {
    if (!Tracing() || g_stepCount >= static_cast<int>(sizeof g_steps / sizeof g_steps[0])) return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    g_steps[g_stepCount++] = {now.QuadPart, step};
}

void WriteStartupTrace() {
    char path[MAX_PATH] = {};
    if (g_stepCount == 0 || GetEnvironmentVariableA("TOVAN_STARTUP_TRACE", path, MAX_PATH) == 0) return;
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    if (std::FILE* f = std::fopen(path, "wb")) {
        for (int i = 0; i < g_stepCount; ++i) {
            std::fprintf(f, "%.3f %s\n",
                         static_cast<double>(g_steps[i].counter) * 1000.0 / static_cast<double>(freq.QuadPart),
                         g_steps[i].name);
        }
        std::fclose(f);
    }
    g_stepCount = 0;
}

#endif
