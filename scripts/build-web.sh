#!/usr/bin/env bash
# Builds the browser version with Debian's Emscripten (installed when
# missing) and leaves it in build-web/: quellin.html with its .js, .wasm and
# .data, a static folder that any web server can host (scripts/play-web.sh
# serves it here). The HUD face is baked first by the native tool fontbake,
# since the browser has neither FreeType nor GLU.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/setup.sh web
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target fontbake
build/tools/fontbake build/HUD.font

# Debian's emscripten runs its JavaScript tools with a Node.js that does not
# look in Debian's own module folder ("Cannot find module 'acorn'").
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DQUELLIN_TESTS=OFF -DQUELLIN_BENCH=ON -DQUELLIN_WEB_FONT="$root/build/HUD.font" \
  >/dev/null 2> >(grep -v '^configure: ' >&2) # emcmake repeats the command line
cmake --build build-web --target quellin
echo "Built build-web/quellin.html"
