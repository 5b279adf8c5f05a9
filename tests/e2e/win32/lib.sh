# Shared by the end-to-end tests of the Windows build: the Linux tests'
# helpers, with quellin.exe started under Wine in the prefix and on the
# display that the Windows test command set up.
# Usage in a test: . lib.sh <quellin.exe> <data dir> <x11_close> <pixel_count> <x11_cursor>

X11_CURSOR=$5
export QUELLIN_KEEP_DISPLAY=1
[ -n "${WINEPREFIX:-}" ] && [ -n "${DISPLAY:-}" ] || {
  echo "FAIL: run through scripts/test-windows.sh (no Wine prefix or display)" >&2
  exit 1
}
QUELLIN_RUNNER="$(dirname "${BASH_SOURCE[0]}")/../../../scripts/wine-run.sh"
export QUELLIN_WINE_TIMEOUT=240
. "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
FRAME=""

# Windows' mouse look reads the cursor in screen pixels and pulls it back to
# (400, 300): starting it there keeps the first frames' view still.
xdotool mousemove 400 300

# Finds the window, then its client area: Wine draws the frame and caption of
# an unmanaged window itself and keeps the client area (where GL draws) as a
# child X window. Screenshots are taken of that child.
find_client() {
  find_window
  FRAME=$WINDOW
  local child
  child=$(xwininfo -children -id "$FRAME" | awk '/^ +0x[0-9a-f]+ / && / 800x600\+/ {print $1; exit}')
  [ -n "$child" ] || fail "no 800 x 600 client area: $(xwininfo -children -id "$FRAME")"
  WINDOW=$child
}

# The log is written in text mode, so Windows ends its lines with CR LF: check
# that, then compare the lines as on Linux.
log_unstamped() {
  local file="$WORK/TovarToolkitLog.xml"
  local lf cr crlf
  lf=$(tr -cd '\n' <"$file" | wc -c)
  cr=$(tr -cd '\r' <"$file" | wc -c)
  crlf=$(grep -c $'\r$' "$file")
  if [ "$lf" -eq 0 ] || [ "$cr" -ne "$lf" ] || [ "$crlf" -ne "$lf" ]; then
    echo "the log's lines do not all end in CR LF ($lf LF, $cr CR, $crlf CR LF)" >&2
    return 1
  fi
  tr -d '\r' <"$file" \
    | sed -E 's/compiled at [0-9]{2}:[0-9]{2}:[0-9]{2}[A-Z][a-z]{2} [ 0-9][0-9] [0-9]{4}</compiled at STAMP</'
}

# Pixels of the pointer's image that show: 0 while the game hides the cursor.
cursor_pixels() {
  "$X11_CURSOR" || fail "could not read the cursor image"
}
