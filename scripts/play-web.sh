#!/usr/bin/env bash
# Serves the browser version (build-web/, built when missing) on this machine
# only, and prints the address to open. Ctrl+C stops it. Browsers treat
# 127.0.0.1 as a secure origin, so the page's worker runs here and keeps the
# game for offline play; another machine (a phone) needs the folder served
# over HTTPS.
#
#   scripts/play-web.sh [port]     (default 8080)
set -euo pipefail
cd "$(dirname "$0")/.."

port=${1:-8080}
[ -f build-web/quellin.html ] || scripts/build-web.sh
echo "Quellin in a browser: http://127.0.0.1:$port/quellin.html"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web
