#!/usr/bin/env bash
# The one test command: sets up the machine (the WoW64 Wine included, built
# once), builds every preset and runs every test tier: native, fuzz, the
# Windows tier and the end-to-end tests on x86_64 under Debian's Wine and on
# i686 (what users install) under the WoW64 Wine. Exit code 0 only when all
# of it passed.
#   TOVAN_FUZZ_SECONDS  budget of each fuzz target (default 20)
#   TOVAN_TEST_TRIES    runs a failing Windows or end-to-end test gets (default 2;
#                       1: no retry); every test that needed its retry is listed
#                       at the end
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/setup.sh
. scripts/wine-env.sh
jobs=$(nproc)

step() { printf '\n==== %s\n' "$*"; }

# What each Windows test run printed, kept to find the tests that failed a
# try and passed the next.
ctest_logs="$root/build/ctest-logs"
rm -rf "$ctest_logs"; mkdir -p "$ctest_logs"
run_windows_tests() {
  ctest --preset "$1" --repeat "until-pass:${TOVAN_TEST_TRIES:-2}" | tee "$ctest_logs/$1.log"
}
# The names in a ctest log with a failed try ("***Failed", "***Timeout")
# and a passed one.
passed_on_retry() {
  awk 'match($0, /Test +#[0-9]+: [^ ]+/) {
         name = substr($0, RSTART, RLENGTH); sub(/.*: /, "", name)
         if ($0 ~ /\*\*\*/) failed[name] = 1; else if ($0 ~ / Passed /) passed[name] = 1
       }
       END { for (name in failed) if (name in passed) print name }' "$1"
}
report_retries() {
  local log name list=""
  for log in "$ctest_logs"/*.log; do
    [ -f "$log" ] || continue
    for name in $(passed_on_retry "$log"); do list+="${list:+, }$name ($(basename "$log" .log))"; done
  done
  printf '\n==== passed on retry: %s\n' "${list:-none}"
}

step "native build and unit tests (ASan + UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native

step "fuzz targets (libFuzzer, clang, ASan + UBSan)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz

step "benchmarks (built, not run)"
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$jobs"

step "Windows builds: win32 (release, i686), win32-debug (i686 with test hooks), win64"
for preset in win32 win32-debug win64; do
  cmake --preset "$preset" >/dev/null
done
# Every include between folders points down the layers, Windows code included.
python3 scripts/include_graph.py --check --build build/native --build build/win32 --build build/win64
for preset in win32 win32-debug win64; do
  cmake --build --preset "$preset" -j "$jobs"
done
. scripts/xvfb.sh
start_xvfb
trap 'stop_xvfb; report_retries' EXIT
# Window tests run six at a time on one machine; a test that loses a timing
# race under that load gets one more run, ctest prints both outcomes, and the
# run ends with the list of such tests.
. scripts/i686-probe.sh
if tovan_runs_i686; then
  step "i686 release files: Windows tests and end-to-end tests under the WoW64 Wine"
  run_windows_tests win32
  step "i686 test build: end-to-end tests through the test hooks under the WoW64 Wine"
  run_windows_tests win32-debug
else
  # Built above, checked for their imports; run only where 32-bit code can.
  step "i686 tests SKIPPED: this kernel runs no 32-bit code (IA-32 emulation off), so the WoW64 Wine cannot start a 32-bit program here; the x86_64 twins below run every test"
  ctest --preset win32 -R '^pe_'
fi
step "x86_64 test build: Windows tests and end-to-end tests under Debian's Wine"
run_windows_tests win64

step "all tiers passed"
