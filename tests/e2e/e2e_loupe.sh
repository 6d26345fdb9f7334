#!/usr/bin/env bash
# The pipette's loupe and arrow keys on the real screen. The root shows a picture in which every
# pixel of a 256 x 256 tile has its own colour (red = x, green = y, blue in 1-pixel stripes), so
# a pixel taken one place off is seen at once. The loupe appears with the pipette, follows the
# pointer, shows the 15 x 15 pixels around it each as an 8 x 8 square, exactly as on the screen,
# stays whole on the screen near its right and bottom edges, and goes away on release and on
# Escape. The arrow keys move the pointer by one pixel (ten with Shift) and the release picks
# there. With the option off, no loupe.
source "$(dirname "$0")/lib.sh"

IMAGE_X=488; IMAGE_Y=38 # centre of the pipette image, client coordinates
SCREEN_W=1024; SCREEN_H=768
STORE="$XDG_CONFIG_HOME/Corvel Astine/JOV.reg"

make_tile

# The colour of the tile at a screen point, "#RRGGBB".
tile_colour() { printf '#%02X%02X%02X' $(($1 % 256)) $(($2 % 256)) $((($1 % 2) * 255)); }

press_on_image() {
  xdotool windowactivate --sync "$JOV_WIN" >/dev/null 2>&1 || true
  wait_for 10 is_active "$JOV_WIN" || fail "the window did not get the keyboard"
  press_on_pipette
}
# Moves the pointer and waits until the loupe stands at its new place; LOUPE_* then hold it.
move_and_wait() {
  local before=${LOUPE_GEOMETRY:-}
  xdotool mousemove "$1" "$2"
  wait_for 5 loupe_window || fail "no loupe at $1,$2"
  LOUPE=$(loupe_window)
  wait_for 5 sh -c "[ \"\$(xwininfo -id $LOUPE | grep -E 'Absolute|Width|Height' | tr -d ' \n')\" != '$before' ]" ||
    fail "the loupe did not move for $1,$2"
  LOUPE_GEOMETRY=$(xwininfo -id "$LOUPE" | grep -E 'Absolute|Width|Height' | tr -d ' \n')
  read -r LOUPE_X LOUPE_Y LOUPE_W LOUPE_H < <(window_geometry "$LOUPE")
}
# The loupe's picture (120 x 120 inside a one-pixel border) against the screen around the
# pointer scaled 8 times, from one screenshot; the centre cell's frame is painted over in both.
# Cells off the screen must show the grey hatch (two greys) and nothing else. The loupe may still
# be on its way or painting its last tick: it is looked at until it is right.
check_picture() {
  wait_for 10 loupe_shows "$1" "$2" || fail "$MISMATCH"
}
MISMATCH=""
loupe_shows() {
  local x=$1 y=$2 shot="$E2E_TMP/root.png"
  read -r LOUPE_X LOUPE_Y LOUPE_W LOUPE_H < <(window_geometry "$(loupe_window)")
  local left=$((x < 7 ? 7 - x : 0)) top=$((y < 7 ? 7 - y : 0))
  local right=$((x + 7 >= SCREEN_W ? x + 8 - SCREEN_W : 0))
  local bottom=$((y + 7 >= SCREEN_H ? y + 8 - SCREEN_H : 0))
  local cw=$((15 - left - right)) ch=$((15 - top - bottom))
  local frame="rectangle $((55 - left * 8)),$((55 - top * 8)) $((64 - left * 8)),$((64 - top * 8))"
  import -window root "$shot"
  convert "$shot" -crop "120x120+$((LOUPE_X + 1))+$((LOUPE_Y + 1))" +repage "$E2E_TMP/picture.png"
  convert "$E2E_TMP/picture.png" -crop "$((cw * 8))x$((ch * 8))+$((left * 8))+$((top * 8))" \
    +repage -fill black -draw "$frame" "$E2E_TMP/loupe.png"
  convert "$shot" -crop "${cw}x${ch}+$((x - 7 + left))+$((y - 7 + top))" +repage -sample 800% \
    -fill black -draw "$frame" "$E2E_TMP/expected.png"
  local differs
  differs=$(convert "$E2E_TMP/loupe.png" "$E2E_TMP/expected.png" -compose difference -composite \
    -threshold 0 -format '%[fx:int(mean*w*h+0.5)]' info:)
  MISMATCH="at $x,$y the loupe differs from the screen in $differs pixels"
  [ "$differs" = 0 ] || return 1
  if [ $((left + top + right + bottom)) -gt 0 ]; then
    # Everything but the on-screen part (and the centre's frame) must be hatch.
    local others
    others=$(convert "$E2E_TMP/picture.png" -fill '#C8C8C8' \
      -draw "rectangle $((left * 8)),$((top * 8)) $((left * 8 + cw * 8 - 1)),$((top * 8 + ch * 8 - 1))" \
      -draw "rectangle 55,55 64,64" -fill '#C8C8C8' -opaque '#808080' -unique-colors \
      -format '%k' info:)
    MISMATCH="at $x,$y the cells off the screen are not a grey hatch"
    [ "$others" = 1 ] || return 1
  fi
}
# Whole on the screen and clear of the 15 x 15 block around the pointer.
check_place() {
  local x=$1 y=$2
  [ "$LOUPE_X" -ge 0 ] && [ "$LOUPE_Y" -ge 0 ] && [ $((LOUPE_X + LOUPE_W)) -le $SCREEN_W ] &&
    [ $((LOUPE_Y + LOUPE_H)) -le $SCREEN_H ] ||
    fail "loupe at $LOUPE_X,$LOUPE_Y ${LOUPE_W}x$LOUPE_H is not whole on the screen"
  [ $((LOUPE_X + LOUPE_W)) -le $((x - 8)) ] || [ "$LOUPE_X" -gt $((x + 7)) ] ||
    [ $((LOUPE_Y + LOUPE_H)) -le $((y - 8)) ] || [ "$LOUPE_Y" -gt $((y + 7)) ] ||
    fail "loupe at $LOUPE_X,$LOUPE_Y covers the pixels around $x,$y"
}

start_x
timeout 10 display -window root "$E2E_TMP/tile.png" >/dev/null 2>&1 || true
import -window root "$E2E_TMP/root.png"
[ "$(convert "$E2E_TMP/root.png" -format '#%[hex:p{601,402}]' info: | cut -c1-7)" = \
  "$(tile_colour 601 402)" ] || fail "the root does not show the tile"
start_jov
expect_colour "#000000" "at start"

# Appears with the pipette, below right of the pointer, shows the screen; follows the pointer.
press_on_image
move_and_wait 600 400
[ "$LOUPE_X" -gt 600 ] && [ "$LOUPE_Y" -gt 400 ] || fail "loupe at $LOUPE_X,$LOUPE_Y, not below right"
[ "$LOUPE_W" = 122 ] || fail "loupe is $LOUPE_W wide"
check_place 600 400
check_picture 600 400
pass "the loupe appears below right of the pointer and shows its 15 x 15 pixels exactly"
move_and_wait 333 517
[ "$LOUPE_X" -gt 333 ] && [ "$LOUPE_Y" -gt 517 ] || fail "loupe at $LOUPE_X,$LOUPE_Y, not below right"
check_place 333 517
check_picture 333 517
pass "the loupe follows the pointer"

# Near the right edge, the bottom edge, and the corner.
for point in "1015 300" "500 760" "1023 767" "4 3"; do
  read -r x y <<<"$point"
  move_and_wait "$x" "$y"
  check_place "$x" "$y"
  [ "$x" -lt 900 ] || [ "$LOUPE_X" -lt "$x" ] || fail "at $x,$y the loupe did not flip left"
  [ "$y" -lt 700 ] || [ "$LOUPE_Y" -lt "$y" ] || fail "at $x,$y the loupe did not flip up"
done
check_picture 4 3
pass "near the right and bottom edges the loupe flips and stays whole on the screen"
pass "at the top left corner the cells off the screen show the hatch, the others the screen"

# The release ends it and picks the pixel under the pointer.
move_and_wait 701 450
xdotool mouseup 1
wait_for 5 no_loupe || fail "the loupe stayed after the release"
expect_colour "$(tile_colour 701 450)" "release at 701,450"
pass "the loupe goes away on release; the release picked the pixel"

# Escape ends it too, and the colour from before comes back.
press_on_image
LOUPE_GEOMETRY=""
move_and_wait 650 420
xdotool key Escape
wait_for 5 no_loupe || fail "the loupe stayed after Escape"
xdotool mouseup 1
expect_colour "$(tile_colour 701 450)" "after Escape"
pass "Escape ends the pipette and hides the loupe; the colour is unchanged"

# The arrow keys move the pointer by one device pixel, ten with Shift; the release picks there.
press_on_image
LOUPE_GEOMETRY=""
move_and_wait 700 500
nudged() { [ "$(xdotool getmouselocation | sed 's/ screen.*//')" = "x:$1 y:$2" ]; }
xdotool key Right
wait_for 3 nudged 701 500 || fail "Right moved the pointer to $(xdotool getmouselocation)"
xdotool key Right Down
wait_for 3 nudged 702 501 || fail "Right, Down moved the pointer to $(xdotool getmouselocation)"
xdotool key shift+Down shift+Left Left
wait_for 3 nudged 691 511 || fail "Shift+Down, Shift+Left, Left moved the pointer to $(xdotool getmouselocation)"
xdotool key Up
wait_for 3 nudged 691 510 || fail "Up moved the pointer to $(xdotool getmouselocation)"
check_picture 691 510
xdotool mouseup 1
expect_colour "$(tile_colour 691 510)" "release after the arrow keys"
[ "$(tile_colour 691 510)" != "$(tile_colour 692 510)" ] # adjacent pixels differ
nudged 691 510 || fail "the pointer left 691,510 at the release"
pass "arrows move the pointer by one pixel, Shift+arrows by ten; the loupe and the pick follow"
close_jov

# With the option off no loupe appears, and the pipette still picks.
sed -i 's/^"Op33"=.*/"Op33"=dword:00000000\r/' "$STORE"
grep -q '^"Op33"=dword:00000000' "$STORE" || fail "Op33 not in the store"
start_jov
press_on_image
xdotool mousemove 620 410
# The loupe would show at the tick that brings the sample the pixel under the pointer.
wait_for 10 pixel_is 247 52 "$(tile_colour 620 410 | cut -c2-)" || fail "the sample did not follow"
no_loupe || fail "a loupe appeared with the option off"
xdotool key Right
wait_for 3 nudged 621 410 || fail "without the loupe, Right moved the pointer to $(xdotool getmouselocation)"
xdotool mouseup 1
expect_colour "$(tile_colour 621 410)" "release without the loupe"
pass "with the option off no loupe appears; the pipette and the arrows still work"
close_jov
