#!/usr/bin/env bash
# Start and quit 50 times in a row: every run opens its window, plays, ends
# with Escape with status 0 and leaves the full log.
set -u
. "$(dirname "$0")/lib.sh"

for run in $(seq 1 50); do
  start_game
  find_window
  wait_first_frame
  hold Escape 0.3
  wait_game
  [ "$GAME_STATUS" = 0 ] || fail "run $run: exit status $GAME_STATUS after Escape"
  check_log
  WORK_OLD=$WORK; WORK=$(mktemp -d); rm -rf "$WORK_OLD"
done
echo "passed: 50 runs"
