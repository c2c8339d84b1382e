// Time stamps of the start-up steps, for the start-up benchmark
// (tests/e2e/bench_client.py). Builds with the test hooks only, and only
// when TOVAN_STARTUP_TRACE names a file: the steps are kept in memory and
// written there, one "<performance counter ms> <step>" line each, when the
// frame goes away. Everywhere else a step costs nothing.
#pragma once

#ifdef TOVAN_TEST_HOOKS
void TraceStartupStep(const char* step);
void WriteStartupTrace();
#else
inline void TraceStartupStep(const char*) {}
inline void WriteStartupTrace() {}
#endif
