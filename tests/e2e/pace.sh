#!/usr/bin/env bash
# The game keeps its pace on a display without vsync: holding W for two
# seconds walks about 120 steps of 0.5 (60 frames a second), not hundreds.
# Then, from the start again, Left strafes as A does.
set -u
. "$(dirname "$0")/lib.sh"
WALK_FRAMES=$5

start_game
find_window
wait_first_frame # its screenshot shows the start position
hold w 2
sleep 0.3
shot walked
hold space 0.3 # a restart puts the player back at the start
sleep 0.3
hold Left 1
sleep 0.3
shot strafed
hold Escape 0.3
wait_game
[ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS after Escape"

# Read only now: walk_frames's own window would take the keyboard from the game.
read -r steps differ < <("$WALK_FRAMES" "$WORK/first_frame.ppm" 50) || fail "walk_frames failed"
[ "$steps" = 0 ] && [ "$differ" -lt 50 ] || fail "the start position was not read back (steps $steps, $differ pixels off)"
read -r steps differ < <("$WALK_FRAMES" "$WORK/walked.ppm" 1000) || fail "walk_frames failed"
[ "$differ" -lt 50 ] || fail "the position line matched no walk"
# Above 140 the pace is lost; below 120, a busy machine drew fewer frames.
[ "$steps" -ge 60 ] && [ "$steps" -le 140 ] || fail "$steps steps in 2 s; 120 expected at 60 frames a second"
walked=$steps
read -r steps differ < <("$WALK_FRAMES" "$WORK/strafed.ppm" 300 left) || fail "walk_frames failed"
[ "$differ" -lt 50 ] && [ "$steps" -ge 20 ] || fail "Left did not strafe as A does ($steps steps, $differ pixels off)"
echo "passed: held W for 2 s, $walked steps; Left for 1 s, $steps steps to the left"
