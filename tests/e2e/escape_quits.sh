#!/usr/bin/env bash
# The game opens its 800 x 600 window; Escape ends the run with status 0 and
# the log holds exactly the start-up and shutdown lines. Fifty times in a row.
set -u
. "$(dirname "$0")/lib.sh"

for run in $(seq 1 50); do
  start_game
  find_window
  geometry=$(xwininfo -id "$WINDOW")
  echo "$geometry" | grep -q 'Width: 800' || fail "run $run: client width is not 800: $geometry"
  echo "$geometry" | grep -q 'Height: 600' || fail "run $run: client height is not 600: $geometry"
  wait_first_frame
  hold Escape 0.3
  wait_game
  [ "$GAME_STATUS" = 0 ] || fail "run $run: exit status $GAME_STATUS after Escape"
  check_log
done
echo "passed: 50 runs"
