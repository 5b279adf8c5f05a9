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

# The client area's place and size: "x y width height".
place() {
  xwininfo -id "$WINDOW" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
    /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}'
}
# wait_place <place>: waits until the window stands there.
wait_place() {
  local i
  for i in $(seq 1 50); do
    [ "$(place)" = "$1" ] && return 0
    sleep 0.1
  done
  fail "the window stands at $(place), not $1"
}

read -r SCREEN_W SCREEN_H < <(xwininfo -root | awk '/Width:/ {w = $NF} /Height:/ {h = $NF} END {print w, h}')
start_game
find_window
wait_first_frame
windowed=$(place)
[ "${windowed#* * }" = "800 600" ] || fail "the window starts at $windowed, not 800 x 600"

for keys in alt+Return F11; do
  xdotool key "$keys"
  wait_place "0 0 $SCREEN_W $SCREEN_H"
  for i in $(seq 1 30); do # the first frames at the new size
    sleep 0.1; shot "full_$keys"
    [ "$(count "full_$keys" 0 0 $((SCREEN_W / 2)) $((SCREEN_H / 3)) sky)" -gt $((SCREEN_W * SCREEN_H / 8)) ] && break
  done
  [ "$(count "full_$keys" 0 0 $((SCREEN_W / 2)) $((SCREEN_H / 3)) sky)" -gt $((SCREEN_W * SCREEN_H / 8)) ] ||
    fail "$keys: no sky across the top of the screen"
  [ "$(count "full_$keys" 0 $((SCREEN_H * 3 / 4)) "$SCREEN_W" $((SCREEN_H / 4)) sky)" -eq 0 ] ||
    fail "$keys: sky where the floor should be"
  [ "$(count "full_$keys" $((SCREEN_W * 3 / 4)) 0 $((SCREEN_W / 4)) $((SCREEN_H * 2 / 3)) cyan)" -gt 1500 ] ||
    fail "$keys: no heads-up text at the right edge"
  [ "$(count "full_$keys" 0 0 $((SCREEN_W * 380 / 800)) "$SCREEN_H" cyan)" -eq 0 ] || fail "$keys: heads-up text on the left half"

  xdotool key "$keys"
  wait_place "$windowed"
  sleep 0.3
  shot "back_$keys"
  [ "$(count "back_$keys" 0 0 380 200 sky)" -gt 60000 ] || fail "$keys: no sky in the window given back"
  [ "$(count "back_$keys" 560 40 240 360 cyan)" -gt 1000 ] || fail "$keys: no heads-up text in the window given back"
done

hold Escape 0.3
wait_game
[ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS after Escape"
check_log
echo "passed"
