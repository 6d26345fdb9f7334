#!/usr/bin/env bash
# Settings survive a restart: the colour, the copy format, "Copie valeur seule", a slot and the
# window's place are back after a close through the window manager; the store then holds every
# option with its type and the version.
source "$(dirname "$0")/lib.sh"

start_x
start_jov

paste_text "#123456"
click_at 491 273            # RadioRgb
click_at 105 273            # CheckValeur
click_at $((54 + 2 + 24 + 11)) 98   # slot 2
click_at 462 97             # BtnPlus
placed=$(window_geometry "$JOV_WIN")
xdotool windowmove --sync "$JOV_WIN" 200 150 || true
wait_for 10 eval '[ "$(window_geometry "$JOV_WIN")" != "$placed" ]' || fail "the window did not move"
read -r x0 y0 _ _ < <(window_geometry "$JOV_WIN")
close_jov --no-save
pass "first run closed at $x0,$y0"

store="$XDG_CONFIG_HOME/Corvel Astine/JOV.reg"
[ -s "$store" ] || fail "no store file"
for n in 00 01 02 03 04 05 06 07 08 09 11 12 13 14 15 16 17 18 19; do
  grep -q "^\"Op$n\"=dword:[0-9a-f]\{8\}" "$store" || fail "Op$n is not an integer in the store"
done
for n in 30 31 32; do
  grep -q "^\"Op$n\"=\"" "$store" || fail "Op$n is not a text in the store"
done
grep -q '^"Version"="3.0.0.0"' "$store" || fail "no Version"
grep -qi '^\[HKEY_CURRENT_USER\\Software\\Corvel Astine\\JOV\\Options\]' "$store" || fail "no Options key"
pass "the store holds Op00-Op09, Op11-Op19 as integers, Op30-Op32 as texts, and the version"

start_jov
read -r x1 y1 _ _ < <(window_geometry "$JOV_WIN")
[ "$x1,$y1" = "$x0,$y0" ] || fail "window came back at $x1,$y1 instead of $x0,$y0"
pass "window back at $x1,$y1"
[ "$(window_pixel $((54 + 2 + 24 + 11)) 98)" = 123456 ] || fail "slot 2 lost its colour"
pass "slot 2 kept its colour"
xdotool key --clearmodifiers ctrl+c
wait_for 5 sh -c '[ "$(xclip -selection clipboard -o 2>/dev/null)" = "18,52,86" ]' ||
  fail "copy gave '$(xclip -selection clipboard -o 2>/dev/null)', expected the RGB value only"
pass "colour, RGB format and value-only copy are back"
close_jov
