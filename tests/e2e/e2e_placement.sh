#!/usr/bin/env bash
# A stored place the window cannot take as it is (off every screen, the largest integers, a
# monitor that is gone, a screen smaller than the one it was saved on) is moved so that the
# whole window, frame and title bar included, is on the screen.
source "$(dirname "$0")/lib.sh"

STORE="$XDG_CONFIG_HOME/Corvel Astine/JOV.reg"
SCREEN_W=1024 SCREEN_H=768

# The window's outer rectangle "left top right bottom": the client area widened by the frame
# the window manager put around it.
frame_rect() {
  local x y w h l r t b
  read -r x y w h < <(window_geometry "$JOV_WIN")
  IFS=', ' read -r l r t b < <(xprop -id "$JOV_WIN" _NET_FRAME_EXTENTS | sed 's/.*= //')
  echo "$((x - l)) $((y - t)) $((x + w + r)) $((y + h + b))"
}
frame_on_screen() {
  local left top right bottom
  read -r left top right bottom < <(frame_rect)
  [ "$left" -ge 0 ] && [ "$top" -ge 0 ] && [ "$right" -le $SCREEN_W ] && [ "$bottom" -le $SCREEN_H ]
}

start_x
while read -r name norm; do
  mkdir -p "$(dirname "$STORE")"
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Corvel Astine\\JOV\\Application]\r\n"NormPos"="%s"\r\n' \
    "$norm" >"$STORE"
  start_jov
  wait_for 5 frame_on_screen || fail "$name: frame at $(frame_rect), screen ${SCREEN_W}x$SCREEN_H"
  pass "$name: whole frame on the screen at $(frame_rect)"
  close_jov
done <<'EOF_PLACES'
off-every-screen 30000,30000,30550,30350
largest-integers 2147483647,2147483647,2147483647,2147483647
monitor-gone-left -1600,200,-1050,523
smaller-screen 900,700,1450,1023
EOF_PLACES
