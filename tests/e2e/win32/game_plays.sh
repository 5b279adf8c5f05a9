#!/usr/bin/env bash
# quellin.exe played under Wine with real input events: what the first frame
# shows (the HUD proves the system's outline font), firing, turning until a
# creature shows, walking, the cursor hidden in play and shown at once on the
# game-over screen, quitting.
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

# The first wave stands behind the player: turn right until a creature shows.
seen=""
for i in $(seq 1 60); do
  hold e 0.05
  shot creature
  if [ "$(count creature 0 150 800 450 warm)" -gt 300 ]; then seen=yes; break; fi
done
[ -n "$seen" ] || fail "no creature came into view while turning"

# Holding W walks: the position line of the heads-up text changes.
before=$(crop_sum creature 380 40 420 30)
hold w 0.3
shot walked
[ "$(crop_sum walked 380 40 420 30)" != "$before" ] || fail "W did not move the player"

# Stand still until the enemies' fire ends the game; the cursor must show at
# once, however many frames were played before.
over=""
for i in $(seq 1 240); do
  shot gameover
  if [ "$(count gameover 0 0 800 200 dark)" -gt 100000 ]; then over=yes; break; fi
  sleep 0.5
done
[ -n "$over" ] || fail "the game did not end under the enemies' fire"
[ "$(count gameover 250 230 200 60 cyan)" -gt 100 ] || fail "no \"Game Over\" text near the middle"
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
echo "passed"
