# Shared by the package tests: the end-to-end helpers, and one short game
# played through a command and checked through what it leaves.
. "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh" "" "" "" ""

# play <folder to start in> <folder the log should land in> <command...>:
# the window appears, W walks (the position line of the heads-up text
# changes), Escape ends the game with status 0 and the log is complete.
play() {
  local start=$1 logdir=$2 before i
  shift 2
  mkdir -p "$start"
  (cd "$start" && exec "$@") &
  GAME_PID=$!
  # Wine takes longer than find_window waits: PLAY_WAIT seconds at most.
  for i in $(seq 1 "$((${PLAY_WAIT:-0} * 10))"); do
    xdotool search --onlyvisible --name '^TovarToolkit Quellin$' >/dev/null 2>&1 && break
    kill -0 "$GAME_PID" 2>/dev/null || break
    sleep 0.1
  done
  find_window
  sleep 0.5
  shot "$PLAY_NAME-start"
  # The band holds the position line even below a title bar Wine may draw.
  before=$(crop_sum "$PLAY_NAME-start" 380 20 420 100)
  hold w 0.3
  shot "$PLAY_NAME-walked"
  [ "$(crop_sum "$PLAY_NAME-walked" 380 20 420 100)" != "$before" ] || fail "W did not move the player"
  hold Escape 0.3
  wait_game
  [ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS after Escape"
  [ -f "$logdir/TovarToolkitLog.xml" ] || fail "no log in $logdir"
  tr -d '\r' <"$logdir/TovarToolkitLog.xml" >"$WORK/TovarToolkitLog.xml"
  check_log
}
