#!/usr/bin/env bash
# Builds the benchmarks and runs them all, printing one table. They measure
# and print; they never fail on a slow machine. Starts a virtual display when
# there is none, as the test command does.
#
#   scripts/bench.sh [frames per level]
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target bench_game bench_md2 >/dev/null

. scripts/display.sh
start_virtual_display

echo "Quellin benchmarks, $(date -u "+%Y-%m-%d %H:%M UTC"), $(nproc) cores, $(sed -n "s/^model name[^:]*: //p" /proc/cpuinfo | head -n 1)"
echo
build/bench/bench_game "$PWD/data" "${1:-100}"
build/bench/bench_md2 "$PWD/data/Models/Ogro/tris.md2"
