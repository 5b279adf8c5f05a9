#!/usr/bin/env bash
# The Windows zip as a player gets it: unpacked into a temporary folder, its
# one folder holds the game, its data and a read-me; quellin.exe, started
# there under Wine with a fresh prefix as a double-click would, plays.
# Usage: zip_plays.sh <package.zip>
set -u
zip=$(readlink -f "$1")
PLAY_NAME=zip
. "$(dirname "$0")/lib.sh"
command -v wine >/dev/null || fail "Wine is not installed"

unzip -q "$zip" -d "$WORK/unzipped" || fail "cannot unzip $zip"
[ "$(ls "$WORK/unzipped" | wc -l)" = 1 ] || fail "the zip does not unpack to one folder"
dir=$(echo "$WORK"/unzipped/*)
for f in quellin.exe Images/Floor.bmp Models/Ogro/tris.md2 README.txt; do
  [ -f "$dir/$f" ] || fail "$f is missing from the zip"
done

export WINEPREFIX=$WORK/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
timeout 300 wineboot --init >/dev/null 2>&1 || fail "Wine could not make a prefix"
PLAY_WAIT=60 play "$dir" "$dir" timeout 300 wine quellin.exe
wineserver -k 2>/dev/null
echo "passed"
