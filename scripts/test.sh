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
