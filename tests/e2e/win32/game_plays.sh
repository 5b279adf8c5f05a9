#!/usr/bin/env bash
# quellin.exe played under Wine with real input events: what the first frame
# shows (the HUD proves the system's outline font), firing, full screen and
# back, turning until a creature shows, walking, the cursor hidden in play and
# shown at once on the game-over screen, quitting.
set -u
. "$(dirname "$0")/lib.sh"

start_game
find_client
sleep 1

shot first
[ "$(count first 0 0 380 200 sky)" -gt 60000 ] || fail "no sky at the top of the view"
[ "$(count first 0 420 800 180 sky)" -eq 0 ] || fail "sky where the floor should be"
[ "$(count first 390 290 20 20 bright)" -gt 10 ] || fail "no crosshair in the middle"
[ "$(count first 560 40 240 360 cyan)" -gt 1000 ] || fail "no heads-up text on the right"
# Right-aligned: Wine's substitute face is wider than the Linux one, so the
# longest line reaches further left, but never near the left edge.
[ "$(count first 0 0 200 600 cyan)" -eq 0 ] || fail "heads-up text near the left edge"
[ "$(cursor_pixels)" -eq 0 ] || fail "the cursor shows while the mouse steers the view"

# A click fires a glowing bullet down the middle of the view.
xdotool mousedown 1; sleep 0.1; xdotool mouseup 1
sleep 0.05
shot fired
glow_before=$(count first 250 150 300 300 bright)
glow_after=$(count fired 250 150 300 300 bright)
[ "$glow_after" -gt "$((glow_before + 20))" ] || fail "no bullet visible after the click ($glow_before -> $glow_after bright pixels)"

# Alt+Enter, and F11 the same, swaps to a borderless popup over the whole
# screen and back to the 800 x 600 window, frame and all, at its old place.
# Wine's substitute face is wider: its longest line reaches further left.
toggles_full_screen alt+Return 200
toggles_full_screen F11 200

# The first wave stands behind the player: turn right until a creature shows.
turn_until_creature

check_walking

# Stand still until the enemies' fire ends the game; the cursor must show at
# once, however many frames were played before.
wait_game_over 0.5 240
shown=""
for i in $(seq 1 10); do
  if [ "$(cursor_pixels)" -gt 0 ]; then shown=yes; break; fi
  sleep 0.1
done
[ -n "$shown" ] || fail "no cursor on the game-over screen"

hold Escape 0.3
wait_game
[ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS after Escape"
check_log
# The prefix gives Wine a device that plays into nothing (scripts/wine.sh):
# waveOut opened it, fed it through the game and closed it at the end.
! game_stderr | grep -q 'without sound' || fail "no sound: $(game_stderr)"
echo "passed"
