#!/usr/bin/env bash
# The one test command: sets up the machine (the WoW64 Wine included, built
# once), builds every preset and runs every test tier: native, fuzz, the
# Windows tier and the end-to-end tests on x86_64 under Debian's Wine and on
# i686 (what users install) under the WoW64 Wine. Exit code 0 only when all
# of it passed.
#   TOVAN_FUZZ_SECONDS  budget of each fuzz target (default 20)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/setup.sh
. scripts/wine-env.sh
jobs=$(nproc)

step() { printf '\n==== %s\n' "$*"; }

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
trap stop_xvfb EXIT
# Window tests run six at a time on one machine; a test that loses a timing
# race under that load gets one more run, and ctest prints both outcomes.
step "i686 release files: Windows tests and end-to-end tests under the WoW64 Wine"
ctest --preset win32 --repeat until-pass:2
step "i686 test build: end-to-end tests through the test hooks under the WoW64 Wine"
ctest --preset win32-debug --repeat until-pass:2
step "x86_64 test build: Windows tests and end-to-end tests under Debian's Wine"
ctest --preset win64 --repeat until-pass:2

step "all tiers passed"
