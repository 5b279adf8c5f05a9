# Sourced by the run and test commands: when no display is set, start a
# virtual one (Xvfb) for this shell and stop it again on exit.

start_virtual_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    QUELLIN_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do
      if xdpyinfo >/dev/null 2>&1; then
        trap 'kill $QUELLIN_XVFB_PID 2>/dev/null || true' EXIT
        return 0
      fi
      sleep 0.1
    done
    kill "$QUELLIN_XVFB_PID" 2>/dev/null || true
  done
  echo "Could not start a virtual display (Xvfb)." >&2
  return 1
}
