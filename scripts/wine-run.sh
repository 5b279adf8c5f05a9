#!/usr/bin/env bash
# Runs one Windows program under Wine with a time limit, so that a hung
# program fails instead of stalling the run. The Windows test command sets up
# the prefix and the display; this only starts the program.
#   wine-run.sh <program.exe> [arguments...]
set -u
export WINEDEBUG=${WINEDEBUG:--all}
exec timeout -k 5 "${QUELLIN_WINE_TIMEOUT:-300}" wine "$@"
