#!/usr/bin/env bash
# Through SDL's disk audio driver, which writes what the game plays to a
# file: held fire is heard as the player's shot; QUELLIN_MUTE=1 is silence.
set -u
. "$(dirname "$0")/lib.sh"
SOUND_HEARD=$6
export SDL_AUDIODRIVER=disk

# play <output file>: fire for a second, then quit.
play() {
  export SDL_DISKAUDIOFILE=$1
  start_game
  find_window
  wait_first_frame
  xdotool mousedown 1; sleep 1; xdotool mouseup 1
  sleep 0.3
  hold Escape 0.3
  wait_game
  [ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS after Escape"
  # The driver's own notice that it writes a file is the only line.
  [ -z "$(game_stderr | grep -v '^CRITICAL: ')" ] || fail "standard error: $(game_stderr)"
  [ -s "$1" ] || fail "the audio driver wrote nothing"
}

heard=$(mktemp)
muted=$(mktemp)
no_card=$(mktemp) # an ALSA configuration with no device in it
trap 'rm -f "$heard" "$muted" "$no_card"; cleanup' EXIT

play "$heard"
result=$("$SOUND_HEARD" "$heard" "$DATA_DIR/Sounds/PlayerShot.wav") || fail "cannot judge the sound: $result"
echo "$result"
[ "$(echo "$result" | head -n 1)" = loud ] || fail "held fire gave silence"
match=$(echo "$result" | sed -n 's/^match //p')
awk -v m="$match" 'BEGIN { exit !(m >= 0.9) }' || fail "the player's shot is not heard (best match $match)"

QUELLIN_MUTE=1 play "$muted"
[ "$("$SOUND_HEARD" "$muted")" = silent ] || fail "QUELLIN_MUTE=1 still made sound"
# No sound card: the game plays on in silence, and standard error holds our
# one line and none of the sound library's own.
SDL_AUDIODRIVER=alsa ALSA_CONFIG_PATH=$no_card start_game
find_window
wait_first_frame
hold Escape 0.3
wait_game
[ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS without a sound card"
[ "$(game_stderr | wc -l)" = 1 ] && game_stderr | grep -q '^Quellin plays without sound: ' ||
  fail "without a sound card standard error should be one line: $(game_stderr)"
echo "passed"
