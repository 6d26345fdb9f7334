#!/usr/bin/env bash
# Custom slots and palette files in the running program: Ctrl+click on a slot then a click on
# another swaps their colours; Ctrl+S through the real file dialog writes the 19 lines with
# CR LF endings; a palette with a faulty line leaves every slot as it was.
source "$(dirname "$0")/lib.sh"

# Centre of slot n (1..16) in client coordinates: the slot row sits at 54, 85.
slot_x() { echo $((54 + 2 + 24 * ($1 - 1) + 11)); }
SLOT_Y=98

start_x
start_jov

# Slot 3 takes pure red: paste the colour, select the slot, add.
paste_text "#FF0000"
click_at "$(slot_x 3)" $SLOT_Y
click_at 462 97
wait_for 10 pixel_is "$(slot_x 3)" $SLOT_Y FF0000 || fail "slot 3 is not red"
wait_title "JOV - SansNom *"
pass "slot 3 holds the colour"

# Ctrl+click on slot 3 picks it up, a click on slot 7 drops it there.
xdotool mousemove --window "$JOV_WIN" "$(slot_x 3)" $SLOT_Y
xdotool keydown ctrl click 1 keyup ctrl
click_at "$(slot_x 7)" $SLOT_Y
wait_for 10 pixel_is "$(slot_x 7)" $SLOT_Y FF0000 || fail "slot 7 did not receive the colour"
wait_for 10 pixel_is "$(slot_x 3)" $SLOT_Y FFFFFF || fail "slot 3 did not receive slot 7's colour"
pass "drag and drop swapped slots 3 and 7"

# Ctrl+S: the real save dialog proposes SansNom.pal in the documents folder; Return saves.
xdotool key --clearmodifiers ctrl+s
wait_window >/dev/null
xdotool key Return
saved="$HOME/Documents/SansNom.pal"
wait_for 10 test -s "$saved" || fail "nothing saved at $saved"
wait_title "JOV - SansNom"
printf 'JASC-PAL\r\n0100\r\n16\r\n' >"$E2E_TMP/expected.pal"
for n in $(seq 16); do
  if [ "$n" = 7 ]; then printf '255 0 0\r\n'; else printf '255 255 255\r\n'; fi
done >>"$E2E_TMP/expected.pal"
cmp -s "$saved" "$E2E_TMP/expected.pal" || { od -c "$saved" | head; fail "saved palette differs"; }
pass "Ctrl+S wrote the 19 lines with CR LF"

# A palette whose fifth colour line is faulty changes no slot and not the title.
{ printf 'JASC-PAL\r\n0100\r\n16\r\n'
  for n in $(seq 16); do if [ "$n" = 5 ]; then printf '1 2\r\n'; else printf '0 0 255\r\n'; fi; done
} >"$E2E_TMP/faulty.pal"
xdotool key --clearmodifiers ctrl+o
wait_window >/dev/null
xdotool type --delay 5 "$E2E_TMP/faulty.pal"
xdotool key Return
wait_window_gone
# The file is read before the program handles anything sent after the dialog closed: once it
# has taken a paste, the slots show what the faulty palette left.
wait_for 10 is_active "$JOV_WIN" || fail "the window did not get the keyboard back"
paste_text "#00FF00"
for n in $(seq 16); do
  want=FFFFFF; [ "$n" = 7 ] && want=FF0000
  [ "$(window_pixel "$(slot_x "$n")" $SLOT_Y)" = $want ] || fail "slot $n changed"
done
wait_title "JOV - SansNom"
pass "a faulty palette left every slot as it was"

close_jov
