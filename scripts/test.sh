#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite. Starts its own virtual display
# when there is none, so it runs the same on a desktop, a server and in CI.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build

. scripts/display.sh
start_virtual_display
echo "Display: $DISPLAY"

ctest --test-dir build --output-on-failure -j 2

# ---- The same suite under AddressSanitizer and UndefinedBehaviorSanitizer ----------
# Every test program again, built with the sanitizers (leak checking on; the
# system libraries' own start-up allocations are suppressed by
# tests/soak/lsan.supp). Any finding fails its test.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELLIN_SANITIZE=ON \
  -DQUELLIN_BENCH=OFF >/dev/null
cmake --build build-asan
ctest --test-dir build-asan --output-on-failure -j 2

# ---- Fuzz: a short run of every file reader's libFuzzer target -------------------
# A separate clang build with AddressSanitizer and UndefinedBehaviorSanitizer;
# each target runs a fixed number of inputs from its seed corpus (about a
# minute in all). fuzz/README.md says how to run them for longer.
cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DQUELLIN_FUZZ=ON -DQUELLIN_TESTS=OFF -DQUELLIN_BENCH=OFF >/dev/null
cmake --build build-fuzz --target quellin_fuzzers
ctest --test-dir build-fuzz -L fuzz --output-on-failure -j 2
