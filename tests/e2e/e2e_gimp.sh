#!/usr/bin/env bash
# GIMP palettes through the real file dialogs: Ctrl+S with the "Palettes GIMP (*.gpl)" filter
# chosen, and Ctrl+S with a typed name ending in .gpl, each write a GIMP palette (header, name,
# 16 columns, 16 colour lines with right-aligned numbers and LF endings); Ctrl+O of that file
# after the slots changed brings them back.
source "$(dirname "$0")/lib.sh"

slot_x() { echo $((54 + 2 + 24 * ($1 - 1) + 11)); }
SLOT_Y=98
DOCS="$HOME/Documents"

# Slot n takes a colour: paste it, select the slot, add.
store_slot() {
  paste_text "$2"
  click_at "$(slot_x "$1")" $SLOT_Y
  click_at 462 97
}
# The 16 slots as "RRGGBB" words, from one picture of the window.
slot_colours() {
  local n format=""
  for n in $(seq 16); do format+="%[hex:p{$(slot_x "$n"),$SLOT_Y}] "; done
  import -window "$JOV_WIN" "$E2E_TMP/slots.png" &&
    convert "$E2E_TMP/slots.png" -format "$format" info: | sed 's/\([0-9A-F]\{6\}\)[0-9A-F]*/\1/g'
}
check_slots() {
  local want="FF0000 00FF80"
  for _ in $(seq 3 15); do want+=" FFFFFF"; done
  want+=" 0A0B0C"
  wait_for 10 eval '[ "$(slot_colours | xargs)" = "$want" ]' ||
    fail "$1: the slots are $(slot_colours | xargs)"
}
# The file a GIMP palette of these slots must be, byte for byte.
expected_gpl() {
  printf 'GIMP Palette\nName: %s\nColumns: 16\n#\n' "$1"
  printf '255   0   0\t#FF0000\n  0 255 128\t#00FF80\n'
  for _ in $(seq 3 15); do printf '255 255 255\t#FFFFFF\n'; done
  printf ' 10  11  12\t#0A0B0C\n'
}

start_x
start_jov
store_slot 1 "#FF0000"
store_slot 2 "#00FF80"
store_slot 16 "#0A0B0C"
check_slots "before saving"
wait_title "JOV - SansNom *"

# Ctrl+S, the GIMP filter chosen with the keyboard (the name's extension follows it).
xdotool key --clearmodifiers ctrl+s
wait_window >/dev/null
xdotool key Tab Down Return
wait_for 10 test -s "$DOCS/SansNom.gpl" || fail "nothing saved at $DOCS/SansNom.gpl"
wait_window_gone
wait_title "JOV - SansNom"
[ ! -e "$DOCS/SansNom.pal" ] || fail "a JASC palette was written too"
expected_gpl SansNom >"$E2E_TMP/expected.gpl"
cmp -s "$DOCS/SansNom.gpl" "$E2E_TMP/expected.gpl" ||
  { diff "$DOCS/SansNom.gpl" "$E2E_TMP/expected.gpl" | cat -A | head; fail "SansNom.gpl differs"; }
pass "Ctrl+S with the GIMP filter wrote SansNom.gpl as GIMP writes palettes"

# Ctrl+S with a typed name ending in .gpl, the JASC filter left as it is.
xdotool key --clearmodifiers ctrl+s
wait_window >/dev/null
xdotool key ctrl+a
xdotool type --delay 5 "autre.gpl"
xdotool key Return
wait_for 10 test -s "$DOCS/autre.gpl" || fail "nothing saved at $DOCS/autre.gpl"
wait_window_gone
wait_title "JOV - autre"
expected_gpl autre >"$E2E_TMP/expected.gpl"
cmp -s "$DOCS/autre.gpl" "$E2E_TMP/expected.gpl" ||
  { diff "$DOCS/autre.gpl" "$E2E_TMP/expected.gpl" | cat -A | head; fail "autre.gpl differs"; }
pass "Ctrl+S with a typed name ending in .gpl wrote a GIMP palette"

# The slots change, then Ctrl+O of the first file brings them back.
store_slot 1 "#123456"
store_slot 5 "#654321"
wait_title "JOV - autre *"
xdotool key --clearmodifiers ctrl+o
# The modified palette: the question about saving it comes first; "Non".
wait_window '^Confirmation$' >/dev/null
xdotool key alt+n
wait_window_gone '^Confirmation$'
wait_window >/dev/null
xdotool type --delay 5 "$DOCS/SansNom.gpl"
xdotool key Return
wait_window_gone
wait_title "JOV - SansNom"
check_slots "after opening SansNom.gpl"
pass "Ctrl+O of the .gpl brought the slots back"
close_jov
