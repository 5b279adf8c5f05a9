# Shared by the end-to-end tests: start the real game in a private copy of
# data/ on the current display, find its window, and check what it leaves.
# Usage in a test: . lib.sh <quellin> <data dir> <x11_close> <pixel_count> <walk_frames>

QUELLIN_BIN=$1
DATA_DIR=$2
X11_CLOSE=$3
PIXEL_COUNT=$4
# Screenshots are kept for a person to look at, beside the test's build files.
ARTIFACTS=${QUELLIN_ARTIFACTS:-$PWD/artifacts}
WORK=$(mktemp -d)
GAME_PID=""
WINDOW=""

# A display of our own, so that no other test's window takes the focus.
# Programs under Wine stay on the display their prefix was started on.
if [ -z "${QUELLIN_KEEP_DISPLAY:-}" ]; then
  unset DISPLAY
  . "$(dirname "${BASH_SOURCE[0]}")/../../scripts/display.sh"
  start_virtual_display || exit 1
fi

cleanup() {
  if [ -n "$GAME_PID" ]; then kill "$GAME_PID" 2>/dev/null || true; fi
  rm -rf "$WORK"
  if [ -z "${QUELLIN_KEEP_DISPLAY:-}" ]; then stop_virtual_display; fi
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -s "$WORK/stderr.txt" ] && { echo "the game's standard error:" >&2; cat "$WORK/stderr.txt" >&2; }
  exit 1
}

# start_game [files to leave out of the data copy...]
start_game() {
  copy_data "$@"
  launch_game
}

# copy_data [files to leave out...]: a fresh copy of the data in $WORK.
copy_data() {
  rm -rf "$WORK/Images" "$WORK/Models" "$WORK/Sounds" "$WORK/TovarToolkitLog.xml"
  # The game's data only: data/ also holds the log of the last scripts/run.sh.
  cp -r "$DATA_DIR/Images" "$DATA_DIR/Models" "$DATA_DIR/Sounds" "$WORK/"
  local f
  for f in "$@"; do rm -f "$WORK/$f"; done
}

# launch_game [program] [folder]: starts the game (by default the one under
# test, in $WORK); its standard error goes to $GAME_STDERR or stderr.txt.
launch_game() {
  # QUELLIN_RUNNER: what starts the program, if not the system itself (Wine).
  # shellcheck disable=SC2086
  (cd "${2:-$WORK}" && exec ${QUELLIN_RUNNER:-} "${1:-$QUELLIN_BIN}" 2>"${GAME_STDERR:-$WORK/stderr.txt}") &
  GAME_PID=$!
}

# Waits for the game's window and makes it the focus of the keyboard.
find_window() {
  local i
  for i in $(seq 1 100); do
    WINDOW=$(xdotool search --onlyvisible --name '^TovarToolkit Quellin$' 2>/dev/null | head -n 1 || true)
    [ -n "$WINDOW" ] && break
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before its window appeared"
    sleep 0.1
  done
  [ -n "$WINDOW" ] || fail "no window titled 'TovarToolkit Quellin'"
  xdotool windowfocus --sync "$WINDOW" 2>/dev/null || true
}

# Waits until the game shows its first frame (the sky): the window opens
# before the start-up has loaded everything, and keys held only during the
# start-up are never seen by a frame.
wait_first_frame() {
  local i
  for i in $(seq 1 100); do
    shot first_frame
    [ "$(count first_frame 0 0 380 200 sky)" -gt 60000 ] && return 0
    sleep 0.1
  done
  fail "no frame of the game within 10 s"
}

# Waits for the game to end; its exit status goes to GAME_STATUS.
wait_game() {
  local i
  for i in $(seq 1 150); do
    if ! kill -0 "$GAME_PID" 2>/dev/null; then
      wait "$GAME_PID"
      GAME_STATUS=$?
      GAME_PID=""
      return 0
    fi
    sleep 0.1
  done
  fail "the game did not end"
}

# The log with the build stamp replaced, so it can be compared exactly.
log_unstamped() {
  sed -E 's/compiled at [0-9]{2}:[0-9]{2}:[0-9]{2}[A-Z][a-z]{2} [ 0-9][0-9] [0-9]{4}</compiled at STAMP</' \
    "$WORK/TovarToolkitLog.xml"
}

# expected_log [failed | nowindow]
expected_log() {
  printf '%s\n' '<TovarToolkit>' '<SysMsg>Tovarlog Started!' 'Tovarlog compiled at STAMP</SysMsg>' \
    '<SysMsg>Configuring Window...</SysMsg>' \
    '<SysMsg>Creating Window "TovarToolkit Quellin" 800x600x32x0</SysMsg>'
  if [ "${1:-}" != nowindow ]; then
    printf '%s\n' '<SysMsg>Initializing stuff...</SysMsg>'
    [ "${1:-}" = failed ] && printf '%s\n' '<SysErrMsg>Failed to initialize.</SysErrMsg>'
    printf '%s\n' '<SysMsg>Stuff initialized</SysMsg>'
  fi
  printf '%s\n' '<SysMsg>TovarLog Shutting Down...</SysMsg>'
  printf '%s' '</TovarToolkit>'
}

# A failed start with standard error going nowhere: a message box titled as
# the game (narrower than its window) waits; closed as a close button does,
# the run ends with status 1.
closes_message_box() {
  local i box=""
  for i in $(seq 1 150); do
    # (xdotool finds no name that is set as UTF-8 only.)
    box=$(xwininfo -root -children | awk '/"TovarToolkit Quellin"/ { for (i = 3; i <= NF; i++)
      if ($i ~ /^[0-9]+x[0-9]+[-+]/ && $i + 0 < 780) { print $1; exit } }')
    [ -n "$box" ] && break
    sleep 0.1
  done
  [ -n "$box" ] && kill -0 "$GAME_PID" 2>/dev/null || fail "no message box waited to be closed"
  "$X11_CLOSE" "$box" && wait_game && [ "$GAME_STATUS" = 1 ] || fail "status ${GAME_STATUS:-} after the message box"
  check_log failed
}

# The game's standard error without the lines the system libraries add.
game_stderr() {
  grep -v '^error: XDG_RUNTIME_DIR' "$WORK/stderr.txt" || true
}

check_log() {
  diff <(expected_log "${1:-}") <(log_unstamped) >&2 || fail "the log differs from the expected lines"
}

# shot <name>: a screenshot of the game's window, kept as artifacts/<name>.png.
shot() {
  import -window "$WINDOW" -depth 8 "$WORK/$1.ppm" || fail "no screenshot $1"
  mkdir -p "$ARTIFACTS"
  convert "$WORK/$1.ppm" "$ARTIFACTS/$1.png" 2>/dev/null || true
}

# count <shot> <x> <y> <w> <h> <class>: pixels of a colour class in a rectangle.
count() {
  "$PIXEL_COUNT" "$WORK/$1.ppm" "$2" "$3" "$4" "$5" "$6"
}

# crop_sum <shot> <x> <y> <w> <h>: a checksum of a part of a screenshot.
crop_sum() {
  convert "$WORK/$1.ppm" -crop "$4x$5+$2+$3" +repage rgb:- | md5sum | cut -d' ' -f1
}

# hold <key> <seconds>: holds a key down for a while, as a player would. The
# game polls its keys once a frame, so a press and release that both arrive
# between two frames would go unseen.
hold() {
  xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"
}

# Turns right with E until a creature is in view (screenshot "creature").
turn_until_creature() {
  local i
  for i in $(seq 1 60); do
    hold e 0.05
    shot creature
    [ "$(count creature 0 150 800 450 warm)" -gt 300 ] && return 0
  done
  fail "no creature came into view while turning"
}

# Holding W walks: the position line of the heads-up text changes.
check_walking() {
  local before
  before=$(crop_sum creature 380 40 420 30)
  hold w 0.3
  shot walked
  [ "$(crop_sum walked 380 40 420 30)" != "$before" ] || fail "W did not move the player"
}

# Stands still until the enemies' fire brings the shade and "Game Over"
# (screenshot "gameover"), looking every $1 s, at most $2 times.
wait_game_over() {
  local i
  for i in $(seq 1 "$2"); do
    shot gameover
    if [ "$(count gameover 0 0 800 200 dark)" -gt 100000 ]; then
      [ "$(count gameover 250 230 200 60 cyan)" -gt 100 ] || fail "no \"Game Over\" text near the middle"
      return 0
    fi
    sleep "$1"
  done
  fail "the game did not end under the enemies' fire"
}

# The window's client area, where the game draws: "x y width height".
place() {
  xwininfo -id "$WINDOW" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
    /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}'
}

wait_place() {
  local i
  for i in $(seq 1 50); do [ "$(place)" = "$1" ] && return 0; sleep 0.1; done
  fail "the window stands at $(place), not $1"
}

# toggles_full_screen <keys> <left>: the keys make the window the size of the
# screen, with sky across the top and the heads-up text at the right edge,
# none left of <left>/800 of the width; pressed again, they give the window
# back at its place and size (screenshots "full_<keys>", "back_<keys>").
toggles_full_screen() {
  local windowed sw sh sky i
  windowed=$(place)
  read -r sw sh < <(xwininfo -root | awk '/Width:/ {w = $NF} /Height:/ {h = $NF} END {print w, h}')
  xdotool key "$1"
  wait_place "0 0 $sw $sh"
  for i in $(seq 1 30); do # the first frames at the new size
    sleep 0.1; shot "full_$1"
    sky=$(count "full_$1" 0 0 $((sw / 2)) $((sh / 3)) sky)
    [ "$sky" -gt $((sw * sh / 8)) ] && break
  done
  [ "$sky" -gt $((sw * sh / 8)) ] || fail "$1: no sky across the top"
  [ "$(count "full_$1" $((sw * 3 / 4)) 0 $((sw / 4)) $((sh * 2 / 3)) cyan)" -gt 1500 ] ||
    fail "$1: no heads-up text at the right edge"
  [ "$(count "full_$1" 0 0 $((sw * $2 / 800)) "$sh" cyan)" -eq 0 ] || fail "$1: heads-up text too far left"
  xdotool key "$1"
  wait_place "$windowed"
  sleep 0.3; shot "back_$1"
  [ "$(count "back_$1" 0 0 380 200 sky)" -gt 60000 ] || fail "$1: no sky in the window given back"
}
