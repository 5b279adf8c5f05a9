#!/usr/bin/env bash
# quellin.exe under Wine: Alt+Enter, and F11 the same, swaps the window to a
# borderless popup over the whole screen, with the sky at the top and the
# heads-up text at the right edge; a second press gives back the 800 x 600
# window, frame and all, at its old place.
set -u
. "$(dirname "$0")/lib.sh"

start_game
find_client
sleep 1
# Wine's substitute face is wider than the Linux one: its longest line
# reaches further left, but never near the left edge.
toggles_full_screen alt+Return 200
toggles_full_screen F11 200

hold Escape 0.3
wait_game
[ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS after Escape"
check_log
echo "passed"
