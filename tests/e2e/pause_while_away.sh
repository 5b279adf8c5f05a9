#!/usr/bin/env bash
# Under a window manager (openbox) the game waits while its window is
# minimised or has lost the focus to another window: no frames, so its CPU
# use drops near zero, and behind the other window it says "Paused". On
# return it plays on.
set -u
. "$(dirname "$0")/lib.sh"
openbox --sm-disable >/dev/null 2>&1 &
WM_PID=$!
trap 'kill $WM_PID 2>/dev/null; cleanup' EXIT

# busy <seconds>: the game's CPU time over that many seconds, in clock ticks.
busy() {
  local before
  before=$(awk '{print $14 + $15}' "/proc/$GAME_PID/stat")
  sleep "$1"
  echo $(($(awk '{print $14 + $15}' "/proc/$GAME_PID/stat") - before))
}

sleep 1 # openbox takes over the display
start_game
find_window
wait_first_frame
playing=$(busy 2)
xdotool windowminimize --sync "$WINDOW"
minimised=$(busy 2)
xdotool windowactivate --sync "$WINDOW"
display -geometry 200x200+0+0 "$WORK/first_frame.ppm" & # takes the focus
sleep 1
unfocused=$(busy 2)
shot away # the window says why nothing moves
kill $!
xdotool windowactivate --sync "$WINDOW"
echo "CPU ticks in 2 s: playing $playing, minimised $minimised, behind another window $unfocused"
[ "$minimised" -le 10 ] && [ "$unfocused" -le 10 ] || fail "the game kept running while away"
[ "$playing" -gt 20 ] || fail "the game measured idle while playing: the check tells nothing"
[ "$(count away 300 250 200 60 cyan)" -gt 100 ] || fail "no \"Paused\" over the frame while away"
[ "$(count first_frame 300 250 200 60 cyan)" -eq 0 ] || fail "cyan in the middle of a frame in play: the check tells nothing"
wait_first_frame # plays on: W walks
before=$(crop_sum first_frame 380 40 420 30)
hold w 0.3
shot walked
[ "$(crop_sum walked 380 40 420 30)" != "$before" ] || fail "W did not move the player after the return"
hold Escape 0.3
wait_game
[ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS after Escape"
echo "passed"
