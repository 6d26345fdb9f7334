#!/usr/bin/env bash
# The pipette on a Wayland session, where the desktop portal picks: the built program under Xvfb
# with XDG_SESSION_TYPE=wayland (it runs through xcb), a private session bus and the stand-in
# portal. The press on the pipette image asks the portal with our window as parent
# ("x11:<hex id>") and a handle_token; a colour answer becomes the current colour (fields and
# sample panel); a cancel, an error reply or no portal at all leave the colour, say why in the
# status bar, and give the pipette image back; Escape while the portal waits closes the
# request. The pipette is never left on.
source "$(dirname "$0")/lib.sh"

FAKE_PORTAL=${JOV_FAKE_PORTAL:-$(dirname "$JOV")/../tests/fake_portal}
[ -x "$FAKE_PORTAL" ] || fail "no stand-in portal at $FAKE_PORTAL"
IMAGE_X=488; IMAGE_Y=38 # centre of the pipette image, client coordinates
SAMPLE_X=250; SAMPLE_Y=50 # inside the sample panel

# A private session bus: the portal is there only when started here.
start_session_bus
export XDG_SESSION_TYPE=wayland
unset WAYLAND_DISPLAY

PORTAL_PID=""
RECORD=""
# Starts the stand-in portal with the given answer; waits until it owns its name. Each start
# has its own output file: an earlier one's "ready" must not be taken for its.
start_portal() {
  RECORD="$E2E_TMP/record.$1"; shift
  "$FAKE_PORTAL" --record "$RECORD" "$@" >"$RECORD.out" 2>&1 &
  PORTAL_PID=$!
  E2E_PIDS+=($PORTAL_PID)
  wait_for 10 grep -q '^ready' "$RECORD.out" || fail "the stand-in portal did not start"
}
stop_portal() {
  kill "$PORTAL_PID" 2>/dev/null || true
  wait "$PORTAL_PID" 2>/dev/null || true
}
recorded() { sed -n "s/^$1=//p" "$RECORD"; }

# The colour copied, and shown in the sample panel.
expect_taken() {
  expect_colour "$1" "$2"
  wait_for 10 pixel_is $SAMPLE_X $SAMPLE_Y "${1#\#}" || fail "$2: the sample panel is not $1"
}
click_image() {
  xdotool windowactivate --sync "$JOV_WIN" >/dev/null 2>&1 || true
  wait_for 10 is_active "$JOV_WIN" || fail "the window did not get the keyboard"
  xdotool mousemove --window "$JOV_WIN" $IMAGE_X $IMAGE_Y click 1
}
# The text area of status panel 0, as a picture.
status_picture() {
  import -window "$JOV_WIN" "$E2E_TMP/win.png" &&
    convert "$E2E_TMP/win.png" -crop 220x11+6+308 +repage "$1"
}
status_colours() { convert "$1" -format %k info:; }
# Waits until the pipette has ended: the image is back.
image_back() { [ "$(window_pixel $IMAGE_X $IMAGE_Y)" = "$IMAGE_PIXEL" ]; }

# Number of pixels that differ between two pictures of one size.
differing() {
  convert "$1" "$2" -compose difference -composite -threshold 0 \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}
# Whether the status, taken as picture $1, shows a text other than those of the pictures after it.
status_says() {
  local picture=$1 other
  shift
  status_picture "$picture" && [ "$(status_colours "$picture")" -gt 1 ] || return 1
  for other in "$@"; do [ "$(differing "$picture" "$other")" -gt 0 ] || return 1; done
}

start_x
start_jov
IMAGE_PIXEL=$(window_pixel $IMAGE_X $IMAGE_Y)
expect_taken "#000000" "at start"
# The pointer on the image: the status shows the image's hint.
status_picture "$E2E_TMP/start.png"
xdotool mousemove --window "$JOV_WIN" $IMAGE_X $IMAGE_Y
wait_for 10 status_says "$E2E_TMP/hint.png" "$E2E_TMP/start.png" || fail "no hint for the image"

# A colour, after a while: meanwhile the window shows the mode.
start_portal colour --color 0.2,0.4,0.6 --response-delay 1500
click_image
wait_for 10 eval '! image_back' || fail "the pipette image stayed while the portal picks"
wait_for 10 status_says "$E2E_TMP/active.png" "$E2E_TMP/hint.png" ||
  fail "no status other than the hint while the portal picks"
wait_for 10 image_back || fail "the pipette image did not come back"
expect_taken "#336699" "portal colour"
[ "$(recorded parent)" = "x11:$(printf %x "$JOV_WIN")" ] ||
  fail "parent window '$(recorded parent)', expected x11:$(printf %x "$JOV_WIN")"
[ -n "$(recorded token)" ] && [ "$(recorded options)" = handle_token ] || fail "no handle_token sent"
pass "the portal was asked with x11:$(printf %x "$JOV_WIN") and a token; its colour #336699 was taken"
stop_portal

# Failures: the colour stays, the status says why, the image is back.
declare -A STATUS
for case in cancel error none; do
  case $case in
    cancel) start_portal cancel --response 1 ;;
    error) start_portal error --error org.freedesktop.portal.Error.NotAllowed ;;
    none) ;;
  esac
  click_image
  wait_for 10 image_back || fail "$case: the pipette image did not come back"
  # Neither the active mode's text nor the hint of the image, on which the pointer still is.
  wait_for 10 status_says "$E2E_TMP/status-$case.png" "$E2E_TMP/active.png" "$E2E_TMP/hint.png" ||
    fail "$case: no status message"
  STATUS[$case]=$(md5sum <"$E2E_TMP/status-$case.png")
  expect_taken "#336699" "$case"
  [ "$case" = none ] || stop_portal
  pass "$case: colour kept, a status message, the pipette image back"
done
[ "${STATUS[cancel]}" != "${STATUS[error]}" ] && [ "${STATUS[error]}" != "${STATUS[none]}" ] &&
  [ "${STATUS[cancel]}" != "${STATUS[none]}" ] || fail "the three failures show the same status"
pass "cancel, error and no portal each say why"

# Escape while the portal waits for the user: the request is closed, the pipette ends.
start_portal silent --silent
click_image
wait_for 5 sh -c "grep -q '^handle=' '$RECORD'" || fail "the portal was not asked"
xdotool key Escape
wait_for 10 image_back || fail "Escape: the pipette image did not come back"
wait_for 5 sh -c "grep -q '^close=' '$RECORD'" || fail "Escape did not close the portal's request"
[ "$(recorded close)" = "$(recorded handle)" ] || fail "Escape closed '$(recorded close)'"
expect_taken "#336699" "Escape"
pass "Escape while the portal waits closes its request and keeps the colour"
stop_portal
close_jov
