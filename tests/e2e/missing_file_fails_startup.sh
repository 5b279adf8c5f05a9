#!/usr/bin/env bash
# With an image missing, start-up fails: the error line is logged before
# "Stuff initialized", no frame of the game is drawn and the run ends by itself.
set -u
. "$(dirname "$0")/lib.sh"

start_game Images/Particle.bmp
wait_game
[ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS after a failed start-up"
check_log failed
echo "passed"
