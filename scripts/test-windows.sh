#!/usr/bin/env bash
# Builds the Windows program and its tests with the cross compiler and runs
# them under Wine on a virtual display: the unit tests, the GL tests, and the
# real quellin.exe driven end to end. Installs Wine and the cross compiler
# when missing. Every Wine run gets a time limit; one fresh Wine prefix per run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh windows-test

# The native helpers that drive and watch the game from the X side.
host=build-windows/host
mkdir -p "$host"
cc -O2 -o "$host/x11_close" tests/support/x11_close.c -lX11
cc -O2 -o "$host/x11_cursor" tests/support/x11_cursor.c -lX11 -lXfixes
c++ -O2 -std=c++17 -o "$host/pixel_count" tests/support/pixel_count.cpp

cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake \
  -DCMAKE_BUILD_TYPE=Release -DQUELLIN_TESTS=ON -DQUELLIN_BENCH=OFF \
  -DQUELLIN_HOST_TOOLS_DIR="$PWD/$host" >/dev/null
cmake --build build-windows

# One display (24-bit, as the game's pixel checks expect) and one prefix for
# the whole run; the tests run one at a time on it.
unset DISPLAY
. scripts/display.sh
start_virtual_display
echo "Display: $DISPLAY"
. scripts/wine.sh
start_wine_prefix
echo "Wine prefix ready"

ctest --test-dir build-windows --output-on-failure -j 1
