#!/usr/bin/env bash
# Builds what is missing and starts the game with data/ as its working
# directory. Without a display it plays on a virtual one for a few seconds,
# saves a screenshot of the window, ends the game with Escape and says where
# the screenshot is.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/setup.sh
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target quellin

if [ -n "${WAYLAND_DISPLAY:-}" ] || { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }; then
  cd data
  exec "$root/build/quellin"
fi

. scripts/display.sh
start_virtual_display
echo "No display found: the game plays on a virtual display ($DISPLAY) for a few seconds."
(cd data && exec "$root/build/quellin") &
game=$!

window=""
for _ in $(seq 1 100); do
  window=$(xdotool search --onlyvisible --name '^TovarToolkit Quellin$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  kill -0 "$game" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$window" ]; then
  wait "$game" || true
  echo "The game did not open its window; see data/TovarToolkitLog.xml." >&2
  exit 1
fi

sleep 5
mkdir -p artifacts
shot="$root/artifacts/quellin.png"
import -window "$window" "$shot"
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool keydown Escape; sleep 0.3; xdotool keyup Escape
status=0
wait "$game" || status=$?
echo "Screenshot of the running game: $shot"
exit "$status"
