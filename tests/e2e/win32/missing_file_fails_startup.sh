#!/usr/bin/env bash
# With an image missing, quellin.exe's start-up fails: the error line is logged
# before "Stuff initialized", the run ends by itself with status 1, and one
# line on standard error names the file and the reason; a message box too
# where standard error goes nowhere.
set -u
. "$(dirname "$0")/lib.sh"

start_game Images/Particle.bmp
wait_game
[ "$GAME_STATUS" = 1 ] || fail "exit status $GAME_STATUS after a failed start-up"
check_log failed
# Standard error is in text mode too: its line ends with CR LF.
game_stderr | tr -d '\r' | grep -qxF 'Quellin cannot start: Images\Particle.bmp: the file cannot be opened' ||
  fail "standard error: $(game_stderr)"

# With standard error going nowhere (as from Explorer), a message box says it.
copy_data Images/Particle.bmp
GAME_STDERR=/dev/null launch_game
closes_message_box
echo "passed"
