#!/usr/bin/env bash
# quellin.exe opens its window with an 800 x 600 client area; Escape ends the
# run with status 0 and the log holds the start-up and shutdown lines.
set -u
. "$(dirname "$0")/lib.sh"

start_game
find_client
sleep 1 # a few frames
hold Escape 0.3
wait_game
[ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS after Escape"
check_log
echo "passed"
