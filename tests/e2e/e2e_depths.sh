#!/usr/bin/env bash
# The pipette on X servers of each depth: 16 bits (5-6-5), 24, 30 (10 bits a channel) and 8 (a
# colour map). The root shows one colour; the pick gives that colour as the server keeps it,
# once read through the loupe's block and once, with the loupe off, as a single pixel.
source "$(dirname "$0")/lib.sh"

STORE="$XDG_CONFIG_HOME/Corvel Astine/JOV.reg"
SAMPLE_X=247; SAMPLE_Y=52 # inside the sample panel, client coordinates

sample_differs() { [ "$(window_pixel $SAMPLE_X $SAMPLE_Y)" != "$1" ]; }
loupe_option() {
  sed -i "s/^\"Op33\"=.*/\"Op33\"=dword:0000000$1\r/" "$STORE"
  grep -q "^\"Op33\"=dword:0000000$1" "$STORE" || fail "Op33 not in the store"
}
# Picks the root's colour $1 and expects $2; $3 is "loupe" when the loupe must show.
pick() {
  xsetroot -solid "$1"
  start_jov
  local before
  before=$(window_pixel $SAMPLE_X $SAMPLE_Y)
  press_on_pipette
  xdotool mousemove 900 700
  # The loupe shows once the block around the pointer has been read, the sample with it.
  if [ "$3" = loupe ]; then
    wait_for 5 loupe_window || fail "depth $depth: no loupe"
  else
    wait_for 5 sample_differs "$before" || fail "depth $depth: the sample did not follow"
    no_loupe || fail "depth $depth: a loupe with the option off"
  fi
  xdotool mouseup 1
  expect_colour "$2" "depth $depth, $3"
  close_jov
}

# Depth, then #CC9966 and #3366CC as that depth keeps them.
for row in "16 #CE9A63 #3165CE" "24 #CC9966 #3366CC" "30 #CC9966 #3366CC"; do
  read -r depth first second <<<"$row"
  start_x -screen 0 1024x768x"$depth"
  [ -f "$STORE" ] && loupe_option 1
  pick '#CC9966' "$first" loupe
  loupe_option 0
  pick '#3366CC' "$second" "single pixel"
  pass "depth $depth: $first through the loupe, $second as a single pixel"
done

# Qt cannot paint on an 8-bit server, so the sample panel never changes there: only the loupe,
# whose window still shows, tells that the pixels were read (with the colour map); the pipette
# listens before its first read.
depth=8
JOV_UNPAINTED=1
start_x -screen 0 1024x768x8
loupe_option 1
pick '#CC9966' '#CC9966' loupe
pass "depth 8: #CC9966 through the loupe"
