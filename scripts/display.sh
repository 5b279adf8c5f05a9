# Sourced by the run and test commands: when no display is set, start a
# virtual one (Xvfb) for this shell and stop it again on exit.

# A display number that no X server uses: neither its socket file nor its lock
# here, nor its abstract socket, which clients try first and which servers in
# other containers on the same network share with us. Numbers are drawn at
# random from a wide range, so that servers started side by side rarely try
# the same one.
free_display_number() {
  local n i
  for i in $(seq 1 50); do
    n=$((100 + RANDOM % 900))
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    grep -q "@/tmp/.X11-unix/X$n\$" /proc/net/unix 2>/dev/null && continue
    echo "$n"
    return 0
  done
  return 1
}

start_virtual_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local number attempt i
  for attempt in 1 2 3; do
    number=$(free_display_number) || break
    # -noreset: without it the server starts afresh whenever its last client
    # leaves, which puts the pointer back in the middle of the screen and
    # refuses connections for a moment.
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    QUELLIN_XVFB_PID=$!
    for i in $(seq 1 100); do
      if ! kill -0 "$QUELLIN_XVFB_PID" 2>/dev/null; then
        break # taken after all: try another number
      fi
      if xdpyinfo -display ":$number" >/dev/null 2>&1; then
        export DISPLAY=":$number"
        trap stop_virtual_display EXIT
        return 0
      fi
      sleep 0.1
    done
    kill "$QUELLIN_XVFB_PID" 2>/dev/null || true
  done
  echo "Could not start a virtual display (Xvfb)." >&2
  return 1
}

# For scripts that set an EXIT trap of their own, which replaces the one above.
stop_virtual_display() {
  if [ -n "${QUELLIN_XVFB_PID:-}" ]; then kill "$QUELLIN_XVFB_PID" 2>/dev/null || true; fi
}
