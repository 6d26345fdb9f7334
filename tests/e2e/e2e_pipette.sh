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

start_x
xsetroot -solid '#3366CC'
start_jov
expect_colour "#000000" "at start"
image_pixel=$(window_pixel $PIPETTE_X $PIPETTE_Y)

# Left press on the image, move onto the background, release there.
press_on_pipette
xdotool mousemove 900 700
sleep 0.3
[ "$(window_pixel $PIPETTE_X $PIPETTE_Y)" != "$image_pixel" ] || fail "pipette image still shown"
[ "$(status_colours)" -gt 1 ] || fail "no status text while the pipette runs"
xdotool mouseup 1
sleep 0.5
[ "$(status_colours)" = 1 ] || fail "status panel 0 not empty after the pipette"
[ "$(window_pixel $PIPETTE_X $PIPETTE_Y)" = "$image_pixel" ] || fail "pipette image not shown again"
expect_colour "#3366CC" "left release on the background"
pass "left release picked the background colour; image back, status empty"

# A middle release does not end the mode; a right release does.
xsetroot -solid '#CC3311'
press_on_pipette
xdotool mousemove 880 650
sleep 0.3
xdotool click 2
sleep 0.3
expect_colour "#3366CC" "after a middle click the mode still runs"
xdotool click 3
expect_colour "#CC3311" "right release on the background"
xdotool mouseup 1
pass "middle release ignored, right release ends the pipette"

# Press and release without leaving the pipette's panel: nothing changes.
press_on_pipette
xdotool mouseup 1
expect_colour "#CC3311" "press and release on the panel"
pass "press and release on the panel keeps the colour"

# Escape while the button is still held ends the mode and gives back the colour from before,
# though the sample had followed the pointer onto another colour.
xsetroot -solid '#FF0000'
press_on_pipette
xdotool mousemove 900 700
sleep 0.3
[ "$(window_pixel $SAMPLE_X $SAMPLE_Y)" = FF0000 ] || fail "the sample does not follow the pointer"
xdotool key Escape
sleep 0.3
xdotool mouseup 1
sleep 0.3
[ "$(window_pixel $SAMPLE_X $SAMPLE_Y)" = CC3311 ] || fail "the sample not given back after Escape"
[ "$(window_pixel $PIPETTE_X $PIPETTE_Y)" = "$image_pixel" ] || fail "image not back after Escape"
[ "$(status_colours)" = 1 ] || fail "status panel 0 not empty after Escape"
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
press_on_pipette
xdotool mouseup 1
wait_for 10 sh -c "xdotool search --all --onlyvisible --pid $JOV_PID --name '^JOV\$'" ||
  fail "no message about the missing library"
msg=$(xdotool search --all --onlyvisible --pid "$JOV_PID" --name '^JOV$' | head -n1)
xwininfo -id "$msg" >/dev/null || fail "message window vanished"
xdotool windowactivate --sync "$msg" key Return 2>/dev/null || xdotool key Return
wait_for 10 sh -c "! xdotool search --all --onlyvisible --pid $JOV_PID --name '^JOV\$'" ||
  fail "message stayed"
sleep 0.3
expect_colour "#CC3311" "the mode ended without taking a colour"
pass "missing library: message, then the mode ended"
close_jov
