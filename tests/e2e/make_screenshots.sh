#!/usr/bin/env bash
# Takes the manual's screenshots from the real program under Xvfb and openbox:
#   tests/e2e/make_screenshots.sh build/bin/jov [folder] [en]
# in French into docs/manual/images by default, in English (en) into docs/manual/en/images.
# Each picture is the window with its frame, cut from the screen; a few are parts of the main
# window. Not a test: run it after a change of the window and commit the pictures.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
if [ "${3:-fr}" = en ]; then
  JOV_LAUNCH=(env --default-signal=INT,QUIT LANG=en_US.UTF-8)
  OUT=$(realpath -m "${2:-$here/../../docs/manual/en/images}")
  YES=alt+y ABOUT=About
else
  OUT=$(realpath -m "${2:-$here/../../docs/manual/images}")
  YES=alt+o ABOUT="A propos"
fi
mkdir -p "$OUT"

# The window $1 with its window-manager frame, cut from the screen into $OUT/$2.
shoot_window() {
  local win=$1 name=$2 x y w h left right top bottom
  read -r x y w h < <(window_geometry "$win")
  read -r left right top bottom < <(xprop -id "$win" _NET_FRAME_EXTENTS |
    sed -n 's/.*= *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\).*/\1 \2 \3 \4/p')
  import -window root -crop "$((w + left + right))x$((h + top + bottom))+$((x - left))+$((y - top))" \
    +repage "$OUT/$name"
  echo "$OUT/$name"
}
# A part of the main window's client area, "WxH+X+Y", into $OUT/$2.
shoot_part() {
  import -window "$JOV_WIN" -crop "$1" +repage "$OUT/$2"
  echo "$OUT/$2"
}
# The window of the program other than the main window, waited for.
other_window() {
  wait_for 10 sh -c "xdotool search --all --onlyvisible --pid $JOV_PID | grep -v $JOV_WIN" ||
    fail "no dialog"
  sleep 0.5
  xdotool search --all --onlyvisible --pid "$JOV_PID" | grep -v "$JOV_WIN" | tail -n1
}
slot_x() { echo $((54 + 2 + 24 * ($1 - 1) + 11)); }

start_x
xsetroot -solid '#5A7FA8'
start_jov
xdotool windowmove "$JOV_WIN" 40 40
sleep 0.3

# An orange, a gradient of it in the slots, slot 5 marked, the mouse over the sample panel.
clip_in "#E07020"
xdotool key --clearmodifiers ctrl+v
xdotool mousemove --window "$JOV_WIN" 462 97
xdotool keydown ctrl click 1 keyup ctrl
dialog=$(other_window)
shoot_window "$dialog" question-degrade.png
xdotool key $YES
sleep 0.5
click_at "$(slot_x 5)" 98
xdotool mousemove --window "$JOV_WIN" 247 52
sleep 0.5
shoot_window "$JOV_WIN" fenetre.png
shoot_part 530x225+10+5 reglages.png
shoot_part 530x56+10+240 exportation.png

# Compact mode.
xdotool key --clearmodifiers ctrl+r
sleep 0.5
shoot_window "$JOV_WIN" mode-reduit.png
xdotool key --clearmodifiers ctrl+r
sleep 0.5

# The options dialog, then the About box from it.
click_at 32 37
dialog=$(other_window)
xdotool mousemove --window "$dialog" 300 60
sleep 0.3
shoot_window "$dialog" options.png
xdotool mousemove --window "$dialog" 85 250 click 1
sleep 1
about=$(xdotool search --all --onlyvisible --pid "$JOV_PID" --name "^$ABOUT" | tail -n1)
[ -n "$about" ] || fail "no About box"
sleep 0.5
shoot_window "$about" a-propos.png
xdotool windowactivate --sync "$about" key alt+F4 2>/dev/null || true
sleep 0.5
xdotool windowactivate --sync "$dialog" key Escape 2>/dev/null || true
sleep 0.5

# The pipette at work: held on the image, the cursor over the desktop.
xdotool mousemove --window "$JOV_WIN" 488 38
sleep 0.2
xdotool mousedown 1
sleep 0.3
xdotool mousemove 900 600
sleep 0.5
shoot_window "$JOV_WIN" pipette.png
xdotool mouseup 1
sleep 0.5
close_jov --no-save
