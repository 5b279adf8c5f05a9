#!/usr/bin/env bash
# The game opens its 800 x 600 window; Escape ends the run with status 0 and
# the log holds exactly the start-up and shutdown lines.
set -u
. "$(dirname "$0")/lib.sh"

start_game
find_window
geometry=$(xwininfo -id "$WINDOW")
echo "$geometry" | grep -q 'Width: 800' || fail "client width is not 800: $geometry"
echo "$geometry" | grep -q 'Height: 600' || fail "client height is not 600: $geometry"
sleep 1 # a few frames
hold Escape 0.3
wait_game
[ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS after Escape"
check_log
echo "passed"
