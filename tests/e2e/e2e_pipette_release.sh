#!/usr/bin/env bash
# A release followed at once by a move of the mouse (one xdotool command: the move comes well
# within 5 ms), twenty times: the colour picked is always the one where the button came up, and
# the pointer stays where the mouse took it.
source "$(dirname "$0")/lib.sh"

# The left half of the screen (x < 512) in the first colour, the right half in the second.
make_halves

start_x
start_jov
left=(FF0000 00FF00)
right=(0000FF FF00FF)
for round in $(seq 0 19); do
  want=${left[round % 2]}
  xsetroot -bitmap "$E2E_TMP/halves.xbm" -fg "#$want" -bg "#${right[round % 2]}"
  press_on_pipette
  xdotool mousemove 505 600
  moved=$(xdotool mouseup 1 mousemove_relative 20 0 getmouselocation)
  case "$moved" in "x:505 "*) fail "round $round: the move did not happen" ;; esac
  expect_colour "#$want" "round $round: release at 505,600 then a move"
  [ "$(xdotool getmouselocation)" = "$moved" ] ||
    fail "round $round: pointer at '$(xdotool getmouselocation)', the mouse left it at '$moved'"
done
pass "20 releases followed at once by a move: the release point's colour, the pointer left moved"
close_jov
