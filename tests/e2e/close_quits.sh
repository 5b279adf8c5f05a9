#!/usr/bin/env bash
# The window's close request (what a close button sends) ends the run with
# status 0 and the same log as Escape.
set -u
. "$(dirname "$0")/lib.sh"

start_game
find_window
sleep 1
"$X11_CLOSE" "$WINDOW" || fail "could not send the close request"
wait_game
[ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS after closing the window"
check_log
echo "passed"
