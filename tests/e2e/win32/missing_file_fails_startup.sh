#!/usr/bin/env bash
# With an image missing, quellin.exe's start-up fails: the error line is logged
# before "Stuff initialized" and the run ends by itself.
set -u
. "$(dirname "$0")/lib.sh"

# The status a failed start-up ends with. WinMain still returns the quit
# message's code here; this becomes non-zero with the start-up failure work.
EXPECTED_STATUS=0

start_game Images/Particle.bmp
wait_game
[ "$GAME_STATUS" = "$EXPECTED_STATUS" ] || fail "exit status $GAME_STATUS after a failed start-up"
check_log failed
echo "passed"
