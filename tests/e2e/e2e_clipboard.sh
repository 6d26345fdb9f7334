#!/usr/bin/env bash
# Colour text through the real X11 clipboard: xclip puts a text there, Ctrl+V pastes it into the
# running program, Ctrl+C puts the colour back as text, and xclip reads it.
source "$(dirname "$0")/lib.sh"

start_x
start_jov

clip_out() { xclip -selection clipboard -o 2>/dev/null; }

# Pixel of the sample panel, in the window's client coordinates.
sample_pixel() {
  import -window "$JOV_WIN" "$E2E_TMP/win.png" &&
    convert "$E2E_TMP/win.png" -format '%[hex:p{100,50}]' info:
}

paste_and_copy() {
  local text=$1 expected=$2
  paste_text "$text"
  xdotool key --clearmodifiers ctrl+c
  wait_for 5 sh -c "[ \"\$(xclip -selection clipboard -o 2>/dev/null)\" = '$expected' ]" ||
    fail "pasting '$text' then copying gave '$(clip_out)', expected '$expected'"
  pass "'$text' -> '$expected'"
}

paste_and_copy "#000000" "#000000"
paste_and_copy "#FF8000" "#FF8000"
[ "$(sample_pixel)" = "FF8000" ] || fail "sample panel shows $(sample_pixel)"
pass "sample panel shows the pasted colour"
paste_and_copy "#000000" "#000000"
paste_and_copy "0x000080FF" "#FF8000"
paste_and_copy "#000000" "#000000"
paste_and_copy "RGB(255, 128, 0)" "#FF8000"
paste_and_copy "#000000" "#000000"
paste_and_copy "255,128,0" "#FF8000"
paste_and_copy "0X123456" "#563412"
# A text no rule accepts changes nothing.
paste_and_copy "12345" "#563412"

# A clipboard owner that never answers. While the paste waits for it the window goes on
# answering: Ctrl+R (compact mode) changes its height within 0.5 s, again and again, for longer
# than the paste waits. Then the paste has given up: the colour is unchanged and the next paste
# works.
SILENT=${JOV_SILENT_CLIPBOARD:-$(dirname "$JOV")/../tests/silent_clipboard}
now_ms() { echo $(($(date +%s%N) / 1000000)); }
height() { window_geometry "$JOV_WIN" | cut -d' ' -f4; }
full=$(height)
"$SILENT" >"$E2E_TMP/silent.out" 2>&1 &
E2E_PIDS+=($!)
wait_for 5 grep -q ready "$E2E_TMP/silent.out" || fail "the silent clipboard owner did not start"
xdotool key --clearmodifiers ctrl+v
start=$(now_ms)
toggles=0
while [ $(($(now_ms) - start)) -lt 3000 ]; do
  before=$(height)
  sent=$(now_ms)
  xdotool key --clearmodifiers ctrl+r
  until [ "$(height)" != "$before" ]; do
    [ $(($(now_ms) - sent)) -lt 500 ] || fail "no answer within 0.5 s while the paste waits"
  done
  toggles=$((toggles + 1))
done
[ "$(height)" = "$full" ] || xdotool key --clearmodifiers ctrl+r
pass "the window answered $toggles times within 0.5 s while the clipboard's owner was silent"
expect_colour "#563412" "after a paste from a silent owner"
paste_and_copy "#102030" "#102030"

close_jov
