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
clip_in "#FF0000"
xdotool key --clearmodifiers ctrl+v
click_at "$(slot_x 3)" $SLOT_Y
click_at 462 97
[ "$(window_pixel "$(slot_x 3)" $SLOT_Y)" = FF0000 ] || fail "slot 3 is not red"
wait_title "JOV - SansNom *"
pass "slot 3 holds the colour"

# Ctrl+click on slot 3 picks it up, a click on slot 7 drops it there.
xdotool mousemove --window "$JOV_WIN" "$(slot_x 3)" $SLOT_Y
xdotool keydown ctrl click 1 keyup ctrl
sleep 0.2
click_at "$(slot_x 7)" $SLOT_Y
[ "$(window_pixel "$(slot_x 7)" $SLOT_Y)" = FF0000 ] || fail "slot 7 did not receive the colour"
[ "$(window_pixel "$(slot_x 3)" $SLOT_Y)" = FFFFFF ] || fail "slot 3 did not receive slot 7's colour"
pass "drag and drop swapped slots 3 and 7"

# Ctrl+S: the real save dialog proposes SansNom.pal in the documents folder; Return saves.
xdotool key --clearmodifiers ctrl+s
wait_for 10 sh -c "xdotool search --all --onlyvisible --pid $JOV_PID | grep -v $JOV_WIN" ||
  fail "no save dialog"
sleep 0.5
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
wait_for 10 sh -c "xdotool search --all --onlyvisible --pid $JOV_PID | grep -v $JOV_WIN" ||
  fail "no open dialog"
sleep 0.5
xdotool type --delay 5 "$E2E_TMP/faulty.pal"
xdotool key Return
wait_for 10 sh -c "! xdotool search --all --onlyvisible --pid $JOV_PID | grep -v $JOV_WIN" ||
  fail "open dialog did not close"
sleep 0.3
for n in $(seq 16); do
  want=FFFFFF; [ "$n" = 7 ] && want=FF0000
  [ "$(window_pixel "$(slot_x "$n")" $SLOT_Y)" = $want ] || fail "slot $n changed"
done
wait_title "JOV - SansNom"
pass "a faulty palette left every slot as it was"

close_jov
