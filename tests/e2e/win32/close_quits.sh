#!/usr/bin/env bash
# A close request to quellin.exe's window ends the run with status 0 and the
# same log as Escape.
set -u
. "$(dirname "$0")/lib.sh"

start_game
find_client
sleep 1
"$X11_CLOSE" "$FRAME" || fail "could not send the close request"
wait_game
[ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS after closing the window"
check_log
echo "passed"
