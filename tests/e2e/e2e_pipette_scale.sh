#!/usr/bin/env bash
# The pipette picks the exact device pixel at scale factors 1, 1.5 and 2: on a background where
# only pixels with an odd column and an odd row are blue, a release on (1201,901) picks blue and
# one on (1200,900) red, and the pointer stays exactly where the button was let go.
source "$(dirname "$0")/lib.sh"

start_x -screen 0 1600x1200x24
printf '#define dots_width 2\n#define dots_height 2\nstatic unsigned char dots_bits[] = {\n   0x00, 0x02};\n' \
  >"$E2E_TMP/dots.xbm"
xsetroot -bitmap "$E2E_TMP/dots.xbm" -fg '#0000FF' -bg '#FF0000'

for factor in 1 1.5 2; do
  QT_SCALE_FACTOR=$factor start_jov
  for pick in "1201 901 #0000FF" "1200 900 #FF0000"; do
    read -r x y colour <<<"$pick"
    press_on_pipette "$factor"
    xdotool mousemove "$x" "$y"
    xdotool mouseup 1
    expect_colour "$colour" "scale $factor, release on $x,$y"
    expect_pointer "$x" "$y" 0 "scale $factor, after the release on $x,$y"
  done
  pass "scale $factor: odd and even pixels picked exactly, pointer left in place"
  close_jov
done
