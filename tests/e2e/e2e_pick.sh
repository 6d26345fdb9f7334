#!/usr/bin/env bash
# `jov --pick`: one colour picked from anywhere, with no main window. The root shows a tile in
# which neighbouring pixels differ (red = x, green = y, blue on odd columns), so a pixel or a
# mean taken one place off is seen at once. A click prints the pixel's text in every format,
# with and without its decoration, and leaves it on the clipboard after the command has
# returned, kept by a background program that ends once another program takes the clipboard.
# --sample and the wheel give the rounded mean of a square, also at the screen's corner. Escape
# and the right button cancel. The command line's help, version, usage errors and a missing
# display, and on a Wayland session the stand-in portal: colour, cancel, no portal.
source "$(dirname "$0")/lib.sh"

STORE="$XDG_CONFIG_HOME/Corvel Astine/JOV.reg"
make_tile

# The channels of the tile at a screen point.
tile_rgb() { echo $(($1 % 256)) $(($2 % 256)) $((($1 % 2) * 255)); }
# "#RRGGBB" of the mean of the square of side $3 around $1,$2, over its pixels on the 1024 x 768
# screen, each channel (sum + n / 2) / n.
square_mean() {
  local half=$(($3 / 2)) r=0 g=0 b=0 n=0 x y cr cg cb
  for ((y = $2 - half; y <= $2 + half; y++)); do
    for ((x = $1 - half; x <= $1 + half; x++)); do
      ((x >= 0 && y >= 0 && x < 1024 && y < 768)) || continue
      read -r cr cg cb < <(tile_rgb $x $y)
      r=$((r + cr)); g=$((g + cg)); b=$((b + cb)); n=$((n + 1))
    done
  done
  printf '#%02X%02X%02X' $(((r + n / 2) / n)) $(((g + n / 2) / n)) $(((b + n / 2) / n))
}

PICK_PID=""
# Whether the pick's loupe shows: its override-redirect window larger than the 1 x 1 one, off
# the screen, that holds the grabs.
pick_loupe() {
  local w
  for w in $(xdotool search --all --onlyvisible --pid "$PICK_PID" 2>/dev/null); do
    xwininfo -id "$w" | grep -q 'Override Redirect State: yes' &&
      [ "$(xwininfo -id "$w" | awk '/Width:/{print $NF}')" -gt 1 ] && return 0
  done
  return 1
}
# Starts a pick with the given options and waits until it is ready (its loupe shows).
start_pick() {
  "$JOV" --pick "$@" >"$E2E_TMP/out" 2>"$E2E_TMP/err" &
  PICK_PID=$!
  E2E_PIDS+=($PICK_PID)
  wait_for 10 pick_loupe || fail "pick $*: no loupe"
}
# Waits for the pick to end; PICK_STATUS is its exit status, PICK_OUT what it printed.
end_pick() {
  wait_for 10 sh -c "! kill -0 $PICK_PID" || fail "the pick did not end"
  PICK_STATUS=0
  wait "$PICK_PID" || PICK_STATUS=$?
  PICK_OUT=$(cat "$E2E_TMP/out")
}
# Picks at $1,$2 with the options after them; expects status 0 and the text $3 on stdout,
# exactly one line.
expect_pick() {
  local x=$1 y=$2 want=$3; shift 3
  start_pick "$@"
  xdotool mousemove "$x" "$y" click 1
  end_pick
  [ "$PICK_STATUS" -eq 0 ] || fail "pick $* at $x,$y: status $PICK_STATUS ($(cat "$E2E_TMP/err"))"
  [ "$PICK_OUT" = "$want" ] && [ "$(wc -l <"$E2E_TMP/out")" -eq 1 ] ||
    fail "pick $* at $x,$y printed '$PICK_OUT', expected '$want'"
}
keepers() { pgrep -f -- "$JOV .*--keep-clipboard" || true; }
no_keeper() { [ -z "$(keepers)" ]; }

# The command line without a display.
(
  unset DISPLAY WAYLAND_DISPLAY
  "$JOV" --help >"$E2E_TMP/help" 2>&1 || fail "--help: status $?"
  grep -q "Utilisation : jov" "$E2E_TMP/help" && grep -q -- "--pick" "$E2E_TMP/help" ||
    fail "--help does not print the French help"
  [ "$("$JOV" -v)" = "JOV 3.0.0" ] || fail "-v printed '$("$JOV" -v)'"
  status=0; "$JOV" --bogus >"$E2E_TMP/o" 2>"$E2E_TMP/e" || status=$?
  [ $status -eq 2 ] && [ ! -s "$E2E_TMP/o" ] && grep -q "option inconnue" "$E2E_TMP/e" &&
    grep -q "Utilisation" "$E2E_TMP/e" || fail "unknown option: status $status"
  for bad in --format=cmyk --sample=4 --sample=17 --sample=x --value-only; do
    status=0; "$JOV" --pick $bad 2>/dev/null || status=$?
    [ "$bad" = --value-only ] && { status=0; "$JOV" $bad 2>/dev/null || status=$?; }
    [ $status -eq 2 ] || fail "$bad: status $status, expected 2"
  done
  for args in "" "--pick"; do
    status=0; "$JOV" $args 2>"$E2E_TMP/e" || status=$?
    [ $status -eq 3 ] && [ "$(wc -l <"$E2E_TMP/e")" -eq 1 ] && grep -q "aucun affichage" "$E2E_TMP/e" ||
      fail "no display ($args): status $status, '$(cat "$E2E_TMP/e")'"
  done
)
pass "help, version, usage errors (2) and no display (3), without a display"

start_x
timeout 10 display -window root "$E2E_TMP/tile.png" >/dev/null 2>&1 || true

# Every format, decorated and not; the clipboard keeps the text after the command returned.
expect_pick 601 402 "#5992FF" --no-copy # HTML by default; 601 % 256 = 89, 402 % 256 = 146
expect_pick 601 402 "0x00FF9259" --format=hexa
expect_pick 601 402 "RGB(89,146,255)" --format=rgb
expect_pick 600 402 "88,146,0" --format=RGB --value-only
expect_pick 601 402 "00FF9259" --format=hexa --value-only
expect_pick 601 402 "5992FF" --value-only --format=html
pass "the clicked pixel in every format, decorated and value only"
[ "$(xclip -selection clipboard -o)" = "5992FF" ] || fail "the clipboard does not hold the pick"
[ -n "$(keepers)" ] || fail "no background keeper holds the clipboard"
printf 'autre' | xclip -selection clipboard -i
wait_for 5 no_keeper || fail "the keeper still runs"
[ "$(xclip -selection clipboard -o)" = "autre" ] || fail "the clipboard lost the other text"
pass "the text stays on the clipboard after the command, until another program takes it"

# The square: --sample, the wheel, the corner.
expect_pick 601 402 "$(square_mean 601 402 3)" --sample=3 --no-copy
expect_pick 600 401 "$(square_mean 600 401 5)" --sample=5 --no-copy
expect_pick 0 0 "$(square_mean 0 0 5)" --sample=5 --no-copy
expect_pick 1023 767 "$(square_mean 1023 767 15)" --sample=15 --no-copy
start_pick --no-copy
xdotool mousemove 700 300 click 4 click 4 click 1 # 1 -> 3 -> 5, then the pick
end_pick
[ "$PICK_OUT" = "$(square_mean 700 300 5)" ] || fail "wheel: '$PICK_OUT', expected $(square_mean 700 300 5)"
pass "the rounded mean of a 3, 5 and 15 pixel square, by option and by wheel, at the corners"

# Cancelling: nothing printed, clipboard untouched, status 1; no setting written.
printf 'garde' | xclip -selection clipboard -i
for how in Escape right; do
  start_pick
  xdotool mousemove 500 500
  if [ $how = Escape ]; then xdotool key Escape; else xdotool click 3; fi
  end_pick
  [ "$PICK_STATUS" -eq 1 ] && [ -z "$PICK_OUT" ] || fail "$how: status $PICK_STATUS, '$PICK_OUT'"
done
[ "$(xclip -selection clipboard -o)" = "garde" ] || fail "a cancel touched the clipboard"
[ ! -e "$STORE" ] || fail "a pick wrote the settings store"
pass "Escape and the right button cancel with status 1, nothing printed or copied or stored"

# The stored choices apply; the command line overrides them.
mkdir -p "$(dirname "$STORE")"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Corvel Astine\\JOV\\Options]\n"Op04"=dword:00000001\n"Op05"=dword:00000000\n"Op06"=dword:00000000\n"Op07"=dword:00000001\n"Op34"=dword:00000003\n' >"$STORE"
cp "$STORE" "$E2E_TMP/store.before"
expect_pick 601 402 "$(square_mean 601 402 3 | awk '{printf "%d,%d,%d", "0x" substr($0,2,2), "0x" substr($0,4,2), "0x" substr($0,6,2)}')" --no-copy
expect_pick 601 402 "00FF9259" --format=hexa --sample=1 --no-copy
cmp -s "$STORE" "$E2E_TMP/store.before" || fail "a pick changed the settings store"
rm -f "$STORE"
pass "the stored format, value-only and square, overridden by the options; the store unchanged"

# A Wayland session: the stand-in portal picks.
FAKE_PORTAL=${JOV_FAKE_PORTAL:-$(dirname "$JOV")/../tests/fake_portal}
start_session_bus
portal_pick() {
  local record=$1; shift
  if [ "$record" != none ]; then
    # Each start has its own output file: an earlier one's "ready" must not be taken for its.
    "$FAKE_PORTAL" --record "$E2E_TMP/record.$record" "$@" >"$E2E_TMP/portal.$record" 2>&1 &
    E2E_PIDS+=($!)
    wait_for 10 grep -q '^ready' "$E2E_TMP/portal.$record" || fail "the stand-in portal did not start"
  fi
  PICK_STATUS=0
  XDG_SESSION_TYPE=wayland timeout 20 "$JOV" --pick --sample=3 >"$E2E_TMP/out" 2>"$E2E_TMP/err" ||
    PICK_STATUS=$?
  PICK_OUT=$(cat "$E2E_TMP/out")
  [ "$record" = none ] || kill "${E2E_PIDS[-1]}" 2>/dev/null || true
}
portal_pick colour --color 0.2,0.4,0.6
[ "$PICK_STATUS" -eq 0 ] && [ "$PICK_OUT" = "#336699" ] || fail "portal: status $PICK_STATUS, '$PICK_OUT'"
grep -q "un seul pixel" "$E2E_TMP/err" || fail "portal: no word on the square it cannot take"
portal_pick cancel --response 1
[ "$PICK_STATUS" -eq 1 ] && [ -z "$PICK_OUT" ] || fail "portal cancel: status $PICK_STATUS"
portal_pick none
[ "$PICK_STATUS" -eq 3 ] && [ -s "$E2E_TMP/err" ] || fail "no portal: status $PICK_STATUS"
pass "on a Wayland session the portal's colour (0), its cancel (1), no portal (3)"

# The window's pipette from the keyboard: Ctrl+I, then a click anywhere picks; Ctrl+L makes
# the copy the value only.
unset XDG_SESSION_TYPE
start_jov
xdotool key ctrl+i
wait_for 5 loupe_window || fail "Ctrl+I: no loupe"
xdotool mousemove 601 402 click 1
expect_colour "#5992FF" "Ctrl+I and a click"
xdotool key ctrl+l
expect_colour "5992FF" "Ctrl+L"
pass "the window's pipette from the keyboard picks with a click; Ctrl+L copies the value only"
