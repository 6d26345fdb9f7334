#!/usr/bin/env bash
# Window modes, the options dialog and the About box in the running program: Ctrl+R shrinks and
# grows the window, Ctrl+T toggles the window manager's "above" state, both modes come back after
# a restart; the options dialog opens from its button, Cancel keeps the options, OK stores them,
# and "A propos" opens the About box over it.
source "$(dirname "$0")/lib.sh"

outer_height() { xdotool getwindowgeometry --shell "$JOV_WIN" >/dev/null; xwininfo -id "$(frame_of "$JOV_WIN")" | awk '/Height:/{print $NF}'; }
# The window manager's frame around the program's window.
frame_of() {
  local w=$1 parent
  while :; do
    parent=$(xwininfo -children -id "$w" | awk '/Parent window id:/{print $4}')
    [ "$parent" = "$(xwininfo -root | awk '/Window id:/{print $4}')" ] && { echo "$w"; return; }
    w=$parent
  done
}
client_height() { window_geometry "$JOV_WIN" | awk '{print $4}'; }
above() { xprop -id "$JOV_WIN" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
dialog_click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
store_value() { grep "^\"$1\"=" "$XDG_CONFIG_HOME/Corvel Astine/JOV.reg"; }

start_x
start_jov

full=$(outer_height)
[ "$(client_height)" = 323 ] || fail "client height $(client_height)"
xdotool key --clearmodifiers ctrl+r
wait_for 5 sh -c "[ \$(xwininfo -id $JOV_WIN | awk '/Height:/{print \$NF}') = 148 ]" ||
  fail "compact client height is $(client_height)"
compact=$(outer_height)
[ $((full - compact)) = 175 ] || fail "outer height went from $full to $compact"
xdotool key --clearmodifiers ctrl+r
wait_for 5 sh -c "[ \$(xwininfo -id $JOV_WIN | awk '/Height:/{print \$NF}') = 323 ]" ||
  fail "expanded client height is $(client_height)"
[ "$(outer_height)" = "$full" ] || fail "outer height did not come back to $full"
pass "Ctrl+R: compact then expanded ($full -> $compact -> $full outer pixels)"

xdotool key --clearmodifiers ctrl+t
wait_for 5 above || fail "Ctrl+T did not put the window above"
xdotool key --clearmodifiers ctrl+t
wait_for 5 sh -c "! xprop -id $JOV_WIN _NET_WM_STATE | grep -q ABOVE" || fail "still above"
pass "Ctrl+T: above, then not"

# The options dialog: Cancel keeps, OK stores.
click_at 32 37
dlg=$(wait_window '^Options$')
dialog_click "$dlg" 72 158      # CheckSupprime
dialog_click "$dlg" 485 250     # Annuler
wait_for 5 sh -c "! xdotool search --all --onlyvisible --pid $JOV_PID --name '^Options\$'" || fail "Annuler did not close"
pass "Annuler closed the dialog"
click_at 32 37
dlg=$(wait_window '^Options$')
dialog_click "$dlg" 85 250      # A propos
about=$(wait_window '^A propos de...$')
pass "A propos opened the About box"
wmctrl -i -c "$about"
wait_for 5 sh -c "! xdotool search --all --onlyvisible --pid $JOV_PID --name '^A propos'" || fail "About box stayed"
xdotool search --all --onlyvisible --pid "$JOV_PID" --name '^Options$' >/dev/null || fail "options dialog closed with the About box"
dialog_click "$dlg" 72 158      # CheckSupprime
dialog_click "$dlg" 410 250     # Ok
wait_for 5 sh -c "! xdotool search --all --onlyvisible --pid $JOV_PID --name '^Options\$'" || fail "Ok did not close"

# Both modes on, then a restart brings them back.
xdotool key --clearmodifiers ctrl+r
xdotool key --clearmodifiers ctrl+t
wait_for 5 above || fail "not above before the restart"
close_jov
store_value Op17 | grep -q 'dword:00000001' || fail "OK did not store Op17: $(store_value Op17)"
store_value Op16 | grep -q 'dword:00000000' || fail "Op16 changed: $(store_value Op16)"
pass "OK stored the changed option, the others kept"

start_jov
wait_for 5 above || fail "always on top not back after restart"
[ "$(client_height)" = 148 ] || fail "compact mode not back after restart: $(client_height)"
pass "both modes back after a restart"
close_jov
