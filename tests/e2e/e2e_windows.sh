#!/usr/bin/env bash
# Each window as a French desktop user meets it under a window manager: the buttons the window
# manager offers (main window: minimise, no maximise; options dialog, About box, message box:
# close only), Qt's own colour dialog in French, and the status panels at 96, 120 and 144 dpi
# (the first three grown with the density, the last one taking what is left), a glyph button's
# last device row at 120 dpi and the window's size after compact mode and back at 144 dpi.
source "$(dirname "$0")/lib.sh"

# The buttons window $1 (called $2) asks for, and what the window manager allows it: close and
# the system menu always, never maximise, minimise only when $3 is "minimise". The request is
# the Motif hints (functions: resize 2, move 4, minimise 8, maximise 16, close 32; decorations:
# menu 16, minimise 32, maximise 64). Openbox keeps its own minimise on dialogs whatever they
# ask (it lets Motif hints remove no button), and removes maximise from fixed-size windows.
check_buttons() {
  local motif functions decorations actions
  motif=$(xprop -id "$1" _MOTIF_WM_HINTS)
  functions=$(($(echo "$motif" | awk -F'[=,] *' '{print $3}')))
  decorations=$(($(echo "$motif" | awk -F'[=,] *' '{print $4}')))
  (( functions & 32 )) || fail "$2 asks for no close: $motif"
  (( decorations & 16 )) || fail "$2 asks for no system menu: $motif"
  (( (functions & 16) || (decorations & 64) )) && fail "$2 asks for maximise: $motif"
  if [ "$3" = minimise ]; then
    (( (functions & 8) && (decorations & 32) )) || fail "$2 does not ask for minimise: $motif"
  else
    (( (functions & 8) || (decorations & 32) )) && fail "$2 asks for minimise: $motif"
  fi
  actions=$(xprop -id "$1" _NET_WM_ALLOWED_ACTIONS)
  echo "$actions" | grep -q _NET_WM_ACTION_CLOSE || fail "$2 cannot be closed: $actions"
  echo "$actions" | grep -q MAXIMIZE && fail "$2 can be maximised: $actions"
  if [ "$3" = minimise ]; then
    echo "$actions" | grep -q _NET_WM_ACTION_MINIMIZE || fail "$2 cannot be minimised: $actions"
  else
    # Transient for the main window: a minimise the window manager still offers takes the
    # main window along instead of leaving the dialog behind.
    local owner; owner=$(xprop -id "$1" WM_TRANSIENT_FOR | awk '{print $NF}')
    [ "$((owner))" = "$JOV_WIN" ] || fail "$2 is transient for '$owner', not the main window"
  fi
  pass "$2 asks for: functions $functions, decorations $decorations; allowed: $(echo "$actions" | sed 's/.*= //; s/_NET_WM_ACTION_//g')"
}

# Widths of the status panels in screen pixels: the panels' top edges are runs of one dark
# colour on a single row near the bottom of the window; the first row holding four such runs
# of at least 40 pixels gives their lengths.
panel_widths() {
  import -window "$JOV_WIN" "$E2E_TMP/panels.png"
  local height; height=$(identify -format %h "$E2E_TMP/panels.png")
  local background; background=$(convert "$E2E_TMP/panels.png" -format '%[hex:p{3,3}]' info:)
  convert "$E2E_TMP/panels.png" -crop "x40+0+$((height - 40))" +repage -depth 8 txt:- |
    awk -v bg="$background" -F'[ ,:]+' '
      /^#/ { next }
      { y = $2; c = $0; sub(/.*#/, "", c); sub(/ .*/, "", c); c = substr(c, 1, 6) }
      y != row { flush(); row = y; run = 0; colour = "" }
      { if (c == colour) run++; else { end_run(); colour = c; run = 1 } }
      function end_run() { if (run >= 40 && colour != substr(bg, 1, 6)) { n[colour]++; w[colour] = w[colour] " " run } }
      function flush() {
        end_run()
        for (k in n) if (n[k] >= 4 && !done) { print substr(w[k], 2); done = 1 }
        delete n; delete w
      }
      END { flush() }'
}

start_x

# The panels in device pixels: 235, 100 and 100 at 96 dpi, grown as the window on denser
# screens (the colour texts' panels too), the last one taking what is left.
for dpi in 144 120 96; do
  echo "Xft.dpi: $dpi" | xrdb -merge
  start_jov
  read -r p0 p1 p2 p3 < <(panel_widths) || true
  case $dpi in 96) expected="235 100 100" ;; 120) expected="289 123 123" ;; 144) expected="348 148 148" ;; esac
  [ "${p0:-} ${p1:-} ${p2:-}" = "$expected" ] ||
    fail "panels at $dpi dpi are '${p0:-} ${p1:-} ${p2:-} ${p3:-}', expected $expected"
  pass "status panels at $dpi dpi: $p0 $p1 $p2 (last: $p3)"
  if [ "$dpi" = 144 ]; then
    # Compact mode and back keep the window's size to the device pixel.
    size=$(window_geometry "$JOV_WIN" | awk '{print $3 "x" $4}')
    xdotool key --clearmodifiers ctrl+r
    wait_for 5 sh -c "[ \$(xwininfo -id $JOV_WIN | awk '/Height:/{print \$NF}') != ${size#*x} ]" ||
      fail "Ctrl+R did not shrink the window at 144 dpi"
    xdotool key --clearmodifiers ctrl+r
    wait_for 5 sh -c "[ \$(xwininfo -id $JOV_WIN | awk '/Height:/{print \$NF}') = ${size#*x} ]" ||
      fail "Ctrl+R did not bring the window back to ${size#*x} pixels high at 144 dpi"
    [ "$(window_geometry "$JOV_WIN" | awk '{print $3 "x" $4}')" = "$size" ] ||
      fail "compact mode and back made the window $(window_geometry "$JOV_WIN" | awk '{print $3 "x" $4}'), not $size"
    pass "compact mode and back at 144 dpi: $size"
  fi
  if [ "$dpi" = 120 ]; then
    # The help button (client 505,25, 25 x 25) ends half-way through the device row 62: that
    # row is painted, in the colour of its bottom edge just above.
    import -window "$JOV_WIN" "$E2E_TMP/glyph.png"
    row=$(convert "$E2E_TMP/glyph.png" -crop 32x1+631+62 +repage -depth 8 txt:- | awk 'NR > 1 {print $3}' | sort -u)
    edge=$(convert "$E2E_TMP/glyph.png" -format '#%[hex:p{646,61}]' info:)
    [ "$row" = "$edge" ] || fail "the help button's last row at 120 dpi is '$(echo $row)', not its edge $edge"
    pass "glyph button's last device row at 120 dpi: $edge"
  fi
  [ "$dpi" = 96 ] || close_jov
done

check_buttons "$JOV_WIN" "main window" minimise

# The options dialog, and the About box opened from it.
click_at 32 37
dlg=$(wait_window '^Options$')
check_buttons "$dlg" "options dialog" close-only
# At its place over the settings box the dialog leaves the main window's status bar whole, where
# the hint of each of its controls is read.
read -r mx my mw mh < <(window_geometry "$JOV_WIN")
read -r dx dy dw dh < <(window_geometry "$dlg")
frame_bottom=$(xprop -id "$dlg" _NET_FRAME_EXTENTS | awk -F'[=,] *' '{print $5}')
[ "$dw" = 529 ] && [ "$dh" = 268 ] || fail "options dialog is ${dw}x$dh, expected 529x268"
status_top=$((my + mh - 19))
[ $((dy + dh + ${frame_bottom:-0})) -le "$status_top" ] ||
  fail "the options dialog (bottom $((dy + dh + ${frame_bottom:-0}))) covers the status bar at $status_top"
status_shot() { import -window root -crop "$((mw - 300))x13+$((mx + 4))+$((status_top + 3))" "$1"; }
status_is_none() {
  status_shot "$E2E_TMP/status.png" &&
    [ "$(compare -metric AE "$E2E_TMP/status-none.png" "$E2E_TMP/status.png" null: 2>&1 || true)" = 0 ]
}
# The status with the pointer on no control of the dialog, once two pictures in a row agree
# (the hint of the button that opened the dialog goes at the first event after the move).
xdotool mousemove --window "$dlg" 500 150
wait_for 10 eval 'status_shot "$E2E_TMP/status-none.png" && status_is_none' ||
  fail "the status bar does not hold still"
for at in "100 50" "100 190" "150 200" "500 262" "200 275" "420 275"; do
  xdotool mousemove --window "$dlg" $at
  wait_for 10 eval '! status_is_none' || fail "no hint in the status bar for the dialog control at $at"
  xdotool mousemove --window "$dlg" 500 150
  wait_for 10 status_is_none || fail "the hint of the control at $at stayed"
done
pass "options dialog 529x268 above the status bar; its controls' hints show there"
xdotool mousemove --window "$dlg" 85 250 click 1
about=$(wait_window '^A propos de...$')
check_buttons "$about" "About box" close-only
wmctrl -i -c "$about"
wait_for 5 sh -c "! xdotool search --all --onlyvisible --pid $JOV_PID --name '^A propos'" ||
  fail "About box stayed"
wmctrl -i -c "$dlg"
wait_for 5 sh -c "! xdotool search --all --onlyvisible --pid $JOV_PID --name '^Options\$'" ||
  fail "options dialog stayed"

# "+" with no slot selected: the information box.
click_at 462 97
box=$(wait_window '^Information$')
check_buttons "$box" "message box" close-only
wmctrl -i -c "$box"
wait_for 5 sh -c "! xdotool search --all --onlyvisible --pid $JOV_PID --name '^Information\$'" ||
  fail "message box stayed"

# Qt's own colour dialog speaks French.
click_at 5 300 # the window background, which gives the window the keyboard
wait_for 5 sh -c "[ \"\$(xdotool getactivewindow)\" = $JOV_WIN ]" || fail "main window not active"
xdotool key --clearmodifiers ctrl+p
colors=$(wait_window)
title=$(xdotool getwindowname "$colors")
[ "$title" = "Sélectionner une couleur" ] || fail "colour dialog title is '$title'"
import -window "$colors" "$E2E_TMP/colors.png"
pass "colour dialog: '$title'"
xdotool key Escape
wait_for 5 sh -c "! xdotool search --all --onlyvisible --pid $JOV_PID | grep -v $JOV_WIN" ||
  fail "colour dialog stayed"
close_jov
