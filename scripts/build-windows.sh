#!/usr/bin/env bash
# Builds the native Windows program with Debian's MinGW-w64 cross compiler
# (installed when missing): build-windows/quellin.exe. Copy it beside a copy
# of data/ (its working directory) to play it on Windows.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh windows-build
cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake \
  -DCMAKE_BUILD_TYPE=Release -DQUELLIN_TESTS=OFF -DQUELLIN_BENCH=OFF >/dev/null
cmake --build build-windows --target quellin
echo "Built build-windows/quellin.exe"
