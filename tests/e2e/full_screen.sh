#!/usr/bin/env bash
# Alt+Enter, and F11 the same, makes the window the size of the screen
# (desktop full screen, which on X11 the window manager carries out: openbox
# here), with the sky at the top and the heads-up text at the right edge; a
# second press gives back the 800 x 600 window at its old place.
set -u
. "$(dirname "$0")/lib.sh"
openbox --sm-disable >/dev/null 2>&1 &
WM_PID=$!
trap 'kill $WM_PID 2>/dev/null; cleanup' EXIT
sleep 1 # openbox takes over the display

start_game
find_window
wait_first_frame
toggles_full_screen alt+Return 380
toggles_full_screen F11 380

hold Escape 0.3
wait_game
[ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS after Escape"
check_log
echo "passed"
