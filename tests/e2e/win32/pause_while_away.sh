#!/usr/bin/env bash
# quellin.exe under Wine and a window manager, behind another window: the
# pads' timer ticks on, yet the game draws no frames and says "Paused".
set -u
. "$(dirname "$0")/lib.sh"
openbox --sm-disable >/dev/null 2>&1 &
WM_PID=$!
trap 'kill $WM_PID 2>/dev/null; cleanup' EXIT

# busy <seconds>: the game's CPU time over that many seconds, in clock
# ticks. Under Wine that is the process named after the program.
busy() {
  local pid before
  pid=$(pgrep -x quellin.exe | head -n 1)
  [ -n "$pid" ] || fail "no quellin.exe process"
  before=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  sleep "$1"
  echo $(($(awk '{print $14 + $15}' "/proc/$pid/stat") - before))
}

sleep 1 # openbox takes over the display
start_game
find_client
wait_first_frame
playing=$(busy 2)
display -geometry 200x200+0+0 "$WORK/first_frame.ppm" & # takes the focus
sleep 1
unfocused=$(busy 2)
shot away
kill $!
echo "CPU ticks in 2 s: playing $playing, behind another window $unfocused"
[ "$playing" -gt 20 ] || fail "the game measured idle while playing: the check tells nothing"
[ "$unfocused" -le 15 ] || fail "the game kept drawing behind another window"
[ "$(count away 300 250 200 60 cyan)" -gt 100 ] || fail "no \"Paused\" over the frame while away"
[ "$(count first_frame 300 250 200 60 cyan)" -eq 0 ] || fail "cyan in the middle of a frame in play: the check tells nothing"
echo "passed"
