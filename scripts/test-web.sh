#!/usr/bin/env bash
# The browser build's end-to-end tests: builds it (scripts/build-web.sh),
# serves it on 127.0.0.1 and plays it in headless Chromium on software WebGL
# (tests/web/*_test.js, sharing tests/web/lib.js). Its heads-up text is compared with the Linux
# build's, whose first frame is taken here on a virtual display. Screenshots
# are kept in artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/build-web.sh
cmake --build build --target quellin

. scripts/display.sh
start_virtual_display

# The Linux build's first frame, in a copy of data/ so that its log stays there.
work=$(mktemp -d)
game=""
cleanup() {
  [ -n "$game" ] && kill "$game" 2>/dev/null || true
  rm -rf "$work"
  stop_virtual_display
}
trap cleanup EXIT
cp -r data/Images data/Models data/Sounds "$work/"
(cd "$work" && exec "$root/build/quellin" 2>stderr.txt) &
game=$!
window=""
for _ in $(seq 1 100); do
  window=$(xdotool search --onlyvisible --name '^TovarToolkit Quellin$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: the Linux build opened no window" >&2; cat "$work/stderr.txt" >&2; exit 1; }
sleep 1.5
import -window "$window" -depth 8 "$work/linux.ppm"
kill "$game" 2>/dev/null || true
wait "$game" 2>/dev/null || true
game=""
mkdir -p artifacts
convert "$work/linux.ppm" artifacts/linux-first.png 2>/dev/null || true

# Every browser test script, each with a browser of its own; all run, and any
# failure fails the whole.
status=0
for test in tests/web/*_test.js; do
  echo "== $test"
  QUELLIN_ARTIFACTS=$root/artifacts node "$test" build-web "$work/linux.ppm" || status=1
done
exit $status
