# Sourced by the Windows test command: a fresh Wine prefix for this run, set
# up so that a crash fails at once instead of waiting on a dialog, and removed
# again on exit. Needs a display (scripts/display.sh) first.

start_wine_prefix() {
  QUELLIN_WINE_HOME=$(mktemp -d)
  trap 'stop_wine_prefix' EXIT
  export WINEPREFIX="$QUELLIN_WINE_HOME/prefix"
  export WINEARCH=win64
  export WINEDEBUG=-all
  # No Mono or Gecko installers: they would ask, and nothing here needs them.
  export WINEDLLOVERRIDES="mscoree=;mshtml="
  if ! timeout -k 5 300 wineboot -i >/dev/null 2>&1; then
    echo "wineboot could not make a Wine prefix." >&2
    return 1
  fi
  # A crash ends the program with an error instead of opening a dialog; our
  # windows are plain X windows that Wine places itself (as no window manager
  # runs on the virtual display); no virtual desktop around them.
  wine_reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f || return 1
  wine_reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f || return 1
  timeout -k 5 60 wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 || true
  # Sound through Wine's ALSA driver onto ALSA's null device, which takes the
  # samples at the pace of a real one and plays them nowhere: the game's
  # waveOut output runs with no sound card and no sound server.
  export ALSA_CONFIG_PATH="$QUELLIN_WINE_HOME/alsa-null.conf"
  printf 'pcm.!default {\n  type null\n}\n' > "$ALSA_CONFIG_PATH"
  wine_reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d alsa /f || return 1
  timeout -k 5 60 wineserver -w
}

wine_reg() {
  timeout -k 5 60 wine reg "$@" >/dev/null 2>&1 || { echo "wine reg $* failed" >&2; return 1; }
}

stop_wine_prefix() {
  if [ -n "${WINEPREFIX:-}" ]; then
    timeout -k 5 30 wineserver -k 2>/dev/null || true
    rm -rf "$QUELLIN_WINE_HOME"
  fi
  stop_virtual_display
}
