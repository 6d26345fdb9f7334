#!/usr/bin/env bash
# The pipette on the real screen with the real hook library: press on the pipette image, move
# onto the desktop background, release there: the colour under the cursor becomes the current
# colour. A right-button release ends it too, a middle one does not, and a press and release on
# the pipette's own panel changes nothing. Without the library, starting the pipette says so and
# the mode ends at once. Escape ends it and keeps the colour the user had.
source "$(dirname "$0")/lib.sh"

SAMPLE_X=247; SAMPLE_Y=52       # inside the sample panel, client coordinates

# Number of colours in the text area of status panel 0: 1 when it is empty.
status_colours() {
  import -window "$JOV_WIN" "$E2E_TMP/status.png" &&
    convert "$E2E_TMP/status.png" -crop 220x11+6+308 +repage -format %k info:
}

status_shown() { [ "$(status_colours)" -gt 1 ]; }

start_x
xsetroot -solid '#3366CC'
start_jov
expect_colour "#000000" "at start"

# Left press on the image (which hides it), move onto the background, release there.
press_on_pipette
xdotool mousemove 900 700
wait_for 10 status_shown || fail "no status text while the pipette runs"
xdotool mouseup 1
wait_for 10 pipette_back || fail "pipette image not shown again"
wait_for 10 eval '! status_shown' || fail "status panel 0 not empty after the pipette"
expect_colour "#3366CC" "left release on the background"
pass "left release picked the background colour; image back, status empty"

# A middle release does not end the mode; a right release does. The middle click is on the
# left half of the background, the right one on the right half: a mode that the middle click
# had ended would have taken the left half's colour.
make_halves
xsetroot -bitmap "$E2E_TMP/halves.xbm" -fg '#22AA44' -bg '#CC3311'
press_on_pipette
xdotool mousemove 300 650 click 2
expect_colour "#3366CC" "after a middle click the mode still runs"
xdotool mousemove 880 650 click 3
expect_colour "#CC3311" "right release on the background"
xdotool mouseup 1
pass "middle release ignored, right release ends the pipette"

# Press and release without leaving the pipette's panel: nothing changes.
press_on_pipette
xdotool mouseup 1
wait_for 10 pipette_back || fail "press and release on the panel: the pipette did not end"
expect_colour "#CC3311" "press and release on the panel"
pass "press and release on the panel keeps the colour"

# Escape while the button is still held ends the mode and gives back the colour from before,
# though the sample had followed the pointer onto another colour.
xsetroot -solid '#FF0000'
press_on_pipette
xdotool mousemove 900 700
wait_for 10 pixel_is $SAMPLE_X $SAMPLE_Y FF0000 || fail "the sample does not follow the pointer"
# The sample is a window of its own that the server paints, not a repaint of the whole window.
xwininfo -children -id "$JOV_WIN" | grep -q '^ *1 child:' || fail "the sample is not a window of its own"
xdotool key Escape
wait_for 10 pixel_is $SAMPLE_X $SAMPLE_Y CC3311 || fail "the sample not given back after Escape"
wait_for 10 pipette_back || fail "image not back after Escape"
wait_for 10 eval '! status_shown' || fail "status panel 0 not empty after Escape"
xwininfo -children -id "$JOV_WIN" | grep -q '^ *0 children' || fail "the sample's window stays"
# The copy below reaches the program after the release.
xdotool mouseup 1
expect_colour "#CC3311" "Escape, then a release on red"
pass "Escape ends the pipette with the colour from before"
close_jov

# Without the library beside the program (the settings of the first run come back: the colour
# is #CC3311; the background now differs from it).
xsetroot -solid '#00FF00'
mkdir -p "$E2E_TMP/nolib"
cp "$JOV" "$E2E_TMP/nolib/jov"
JOV="$E2E_TMP/nolib/jov"
start_jov
xdotool mousemove --window "$JOV_WIN" $PIPETTE_X $PIPETTE_Y mousedown 1 mouseup 1
wait_window '^JOV$' >/dev/null
xdotool key Return
wait_window_gone '^JOV$'
wait_for 10 is_active "$JOV_WIN" || fail "the window did not get the keyboard back"
expect_colour "#CC3311" "the mode ended without taking a colour"
pass "missing library: message, then the mode ended"
close_jov
