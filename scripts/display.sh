# Sourced by the run and test commands: when no display is set, start a
# virtual one (Xvfb) for this shell and stop it again on exit.

start_virtual_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  # Xvfb picks a free display number itself and reports it once it accepts
  # connections, so that servers started side by side never collide.
  local number_file i
  number_file=$(mktemp)
  # -noreset: without it the server starts afresh whenever its last client
  # leaves, which puts the pointer back in the middle of the screen and
  # refuses connections for a moment.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$number_file" >/dev/null 2>&1 &
  QUELLIN_XVFB_PID=$!
  for i in $(seq 1 100); do
    if [ -s "$number_file" ]; then
      export DISPLAY=":$(head -n 1 "$number_file")"
      rm -f "$number_file"
      trap 'kill $QUELLIN_XVFB_PID 2>/dev/null || true' EXIT
      return 0
    fi
    kill -0 "$QUELLIN_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$number_file"
  kill "$QUELLIN_XVFB_PID" 2>/dev/null || true
  echo "Could not start a virtual display (Xvfb)." >&2
  return 1
}
