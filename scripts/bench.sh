#!/usr/bin/env bash
# Builds the benchmarks and runs them all, printing one table, the browser
# rows last (headless Chromium, see bench/README.md). They measure
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

# The browser rows, in the same run: the same frames as a page in headless
# Chromium on software WebGL, the real page's load to its first frame, and
# what a player downloads.
scripts/build-web.sh >/dev/null
NODE_PATH=/usr/share/nodejs cmake --build build-web --target bench_web >/dev/null
node bench/bench_web.js build-web
gz=0
for f in build-web/quellin.html build-web/quellin.js build-web/quellin.wasm build-web/quellin.data; do
  gz=$((gz + $(gzip -9c "$f" | wc -c)))
done
awk -v b="$gz" 'BEGIN { printf "| browser: download, gzipped | %.2f MB | quellin.html, .js, .wasm and .data (gzip -9) |\n", b / 1e6 }'
