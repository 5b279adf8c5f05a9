#!/usr/bin/env bash
# Started in a folder without the data (a shortcut's "start in"), quellin.exe
# plays with the data beside it and writes its log there.
set -u
. "$(dirname "$0")/lib.sh"

copy_data
cp "$QUELLIN_BIN" "$WORK/quellin.exe" && mkdir "$WORK/elsewhere"
launch_game "$WORK/quellin.exe" "$WORK/elsewhere"
find_client
wait_first_frame
hold Escape 0.3
wait_game
[ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS after Escape"
check_log
[ -z "$(ls "$WORK/elsewhere")" ] || fail "files left where it was started: $(ls "$WORK/elsewhere")"
echo "passed"
