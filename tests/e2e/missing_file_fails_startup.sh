#!/usr/bin/env bash
# A start-up that fails is a failure: with an image missing, the log keeps its
# lines (the error line before "Stuff initialized"), no frame of the game is
# drawn, the run ends by itself with status 1 and one line on standard error
# names the file and the reason. With no display at all, the window is not
# made: status 1 as well, and standard error says why.
set -u
. "$(dirname "$0")/lib.sh"

start_game Images/Particle.bmp
wait_game
[ "$GAME_STATUS" = 1 ] || fail "exit status $GAME_STATUS after a failed start-up"
check_log failed
[ "$(game_stderr)" = "Quellin cannot start: Images/Particle.bmp: the file cannot be opened" ] ||
  fail "standard error: $(game_stderr)"

unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER
start_game
wait_game
[ "$GAME_STATUS" = 1 ] || fail "exit status $GAME_STATUS with no display"
check_log nowindow
[ "$(game_stderr)" = "No display could be opened (is DISPLAY set?); SDL_VIDEODRIVER=offscreen runs without one.
Quellin cannot start: the 800x600 window cannot be made" ] || fail "standard error: $(game_stderr)"
echo "passed"
