#!/usr/bin/env bash
# A game played end to end with real input events: what the first frame shows,
# firing, mouse look, turning toward the creatures, walking, dying under the enemies' fire,
# restarting, quitting. The first wave shoots from the start, so the steps
# before the game-over wait come first and are kept short.
set -u
. "$(dirname "$0")/lib.sh"

start_game
find_window

# The first frame: sky above, floor below, crosshair in the middle, heads-up
# text along the right edge. It comes once Init has loaded everything, which
# takes longer in the sanitized build.
for i in $(seq 1 50); do
  sleep 0.2; shot first
  [ "$(count first 0 0 380 200 sky)" -gt 60000 ] && break
done
[ "$(count first 0 0 380 200 sky)" -gt 60000 ] || fail "no sky at the top of the view"
[ "$(count first 0 420 800 180 sky)" -eq 0 ] || fail "sky where the floor should be"
[ "$(count first 390 290 20 20 bright)" -gt 10 ] || fail "no crosshair in the middle"
[ "$(count first 560 40 240 360 cyan)" -gt 1000 ] || fail "no heads-up text on the right"
[ "$(count first 0 0 380 600 cyan)" -eq 0 ] || fail "heads-up text on the left half"
[ "$(count first 150 100 500 400 warm)" -eq 0 ] || fail "expected the first wave behind the player"

# Fire straight ahead, where no creature stands: a glowing bullet flies down
# the middle of the view.
xdotool mousedown 1; sleep 0.05; xdotool mouseup 1
sleep 0.05
shot fired
glow_before=$(count first 250 150 300 300 bright)
glow_after=$(count fired 250 150 300 300 bright)
[ "$glow_after" -gt "$((glow_before + 20))" ] || fail "no bullet visible after the click ($glow_before -> $glow_after bright pixels)"

# Moving the mouse turns the view: the view-point line of the heads-up text
# changes, the position line does not.
view_before=$(crop_sum fired 380 135 420 30)
position_before=$(crop_sum fired 380 40 420 30)
xdotool mousemove_relative -- 40 0
sleep 0.2
shot looked
[ "$(crop_sum looked 380 135 420 30)" != "$view_before" ] || fail "the mouse did not turn the view"
[ "$(crop_sum looked 380 40 420 30)" = "$position_before" ] || fail "the mouse moved the player"

turn_until_creature

check_walking

# Stand still: the enemies' fire ends the game and the shade covers the view.
wait_game_over 1 120
[ "$(count gameover 0 0 800 600 sky)" -eq 0 ] || fail "sky shows through the game-over shade"

# Space brings the game back.
hold space 0.3
sleep 0.3
shot restarted
[ "$(count restarted 0 0 380 200 sky)" -gt 60000 ] || fail "Space did not bring the game back"

hold Escape 0.3
wait_game
[ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS after Escape"
check_log
echo "passed"
