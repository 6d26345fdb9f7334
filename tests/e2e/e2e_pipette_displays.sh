#!/usr/bin/env bash
# The pipette across monitors, X screens and displays: one X server with two X screens, the
# first split into two monitors at scale factors 1 and 2. From the window on the first monitor
# it picks the exact pixel on the second monitor and on the second X screen, where the loupe
# shows beside the pointer. Started with
# -display naming that server while DISPLAY names another one, it still ends on a release on
# its own display and nothing done on the other display ends it.
source "$(dirname "$0")/lib.sh"

start_x -screen 0 2048x768x24 -screen 1 1024x768x24
# LEFT takes over the screen's own monitor; RIGHT is a second monitor of the same X screen.
xrandr --setmonitor LEFT 1024/270x768/203+0+0 screen >/dev/null
xrandr --setmonitor RIGHT 1024/270x768/203+1024+0 none >/dev/null
[ "$(xrandr --listmonitors | head -n1)" = "Monitors: 2" ] || fail "no two monitors"
# Only pixels with an odd column and an odd row are blue on the first screen.
printf '#define dots_width 2\n#define dots_height 2\nstatic unsigned char dots_bits[] = {\n   0x00, 0x02};\n' \
  >"$E2E_TMP/dots.xbm"
xsetroot -bitmap "$E2E_TMP/dots.xbm" -fg '#0000FF' -bg '#FF0000'
DISPLAY=$DISPLAY.1 xsetroot -solid '#00FF00'

xdotool mousemove 100 100
QT_SCREEN_SCALE_FACTORS="LEFT=1;RIGHT=2" start_jov
read -r win_x _ win_w _ <<<"$(window_geometry "$JOV_WIN")"
[ $((win_x + win_w)) -le 1024 ] || fail "the window is not on the first monitor"

# The second monitor, scale 2, an odd pixel.
press_on_pipette
xdotool mousemove 1325 201
xdotool mouseup 1
expect_colour "#0000FF" "release on the second monitor"
expect_pointer 1325 201 0 "after the release on the second monitor"
pass "second monitor at scale 2: the exact pixel, pointer left in place"

# The second X screen: its pixel, not the first screen's at the same coordinates (blue), and
# the loupe there, next to the pointer.
root1=$(xwininfo -display "$DISPLAY.1" -root | awk '/Window id:/ {print $4}')
loupe_beside_pointer() {
  local w lx ly
  w=$(loupe_window) || return 1
  xwininfo -id "$w" -tree | grep -q "Root window id: $root1" || return 1
  read -r lx ly _ _ < <(window_geometry "$w")
  [ "$lx" -gt 301 ] && [ "$lx" -lt 341 ] && [ "$ly" -gt 201 ] && [ "$ly" -lt 241 ]
}
press_on_pipette
xdotool mousemove --screen 1 301 201
wait_for 5 loupe_beside_pointer ||
  fail "no loupe beside the pointer on the second X screen: $(loupe_window | xargs -r xwininfo -id)"
xdotool mouseup 1
expect_colour "#00FF00" "release on the second X screen"
expect_pointer 301 201 1 "after the release on the second X screen"
pass "second X screen: its own pixel and the loupe beside the pointer, pointer left there"
close_jov

# DISPLAY names another server: the window and the hook are on the one -display names.
new_xvfb
other=$XVFB_DISPLAY
printf '#!/bin/sh\nDISPLAY=%s exec "%s" "$@"\n' "$other" "$JOV" >"$E2E_TMP/jov-elsewhere"
chmod +x "$E2E_TMP/jov-elsewhere"
JOV="$E2E_TMP/jov-elsewhere" start_jov -display "$DISPLAY"
# The pointer on a blue pixel of the program's display: a pipette that the other display's
# clicks had ended would have picked red, at 20,20.
press_on_pipette
xdotool mousemove 701 501
DISPLAY=$other xdotool mousemove 20 20 click 1 click 3
! pipette_back || fail "clicks on the other display ended the pipette"
xdotool mouseup 1
expect_colour "#0000FF" "release on the program's own display"
wait_for 10 pipette_back || fail "pipette image not shown again"
pass "-display: clicks on DISPLAY ignored, the release on the program's display ends it"
close_jov
