#!/usr/bin/env bash
# Start-ups that cannot go on end by themselves with status 1 and the reason,
# naming the file: a model with no frames or no triangles, a named pipe (no
# hang) or a folder where a data file should be. With standard error going
# nowhere (/dev/null, as from the desktop), the line shows in a message box.
# A log that cannot be written is said once, and the game plays on.
set -u
. "$(dirname "$0")/lib.sh"
# SDL's silent audio driver: standard error then holds only what these cases
# say, on a machine with a sound card or without one.
export SDL_AUDIODRIVER=dummy

refused() {
  launch_game
  wait_game
  [ "$GAME_STATUS" = 1 ] && check_log failed || fail "exit status $GAME_STATUS for: $1"
  [ "$(game_stderr)" = "Quellin cannot start: $1" ] || fail "standard error: $(game_stderr)"
}
for count in 40:frames 32:triangles; do # where the header holds them
  copy_data
  printf '\0\0\0\0' | dd of="$WORK/Models/Ogro/tris.md2" bs=1 seek="${count%:*}" conv=notrunc status=none
  refused "Models/Ogro/tris.md2: the model has no ${count#*:}"
done
copy_data Images/Floor.bmp && mkfifo "$WORK/Images/Floor.bmp"
refused "Images/Floor.bmp: it is a named pipe, not a file"
copy_data Images/Floor.bmp && mkdir "$WORK/Images/Floor.bmp"
refused "Images/Floor.bmp: it is a folder, not a file"

copy_data Images/Floor.bmp
GAME_STDERR=/dev/null launch_game
closes_message_box

copy_data && mkdir "$WORK/TovarToolkitLog.xml"
launch_game
find_window
wait_first_frame
hold Escape 0.3
wait_game
[ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS without a log"
[ "$(game_stderr)" = "Quellin plays without a log: TovarToolkitLog.xml: Is a directory" ] ||
  fail "standard error: $(game_stderr)"
echo "passed"
