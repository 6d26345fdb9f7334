#!/usr/bin/env bash
# The program starts on a real X server with a window manager: one normal window titled
# "JOV - SansNom", a fixed 550 x 323 client area, no maximise, minimise and restore acting on it,
# and a close through the window manager ends the process. Started under strace, it opens no
# image-format plugin: what the window shows at start is built in already decoded.
source "$(dirname "$0")/lib.sh"

start_x
start_jov

title=$(window_title "$JOV_WIN")
[ "$title" = "JOV - SansNom" ] || fail "title is '$title'"
pass "title"

read -r x y w h < <(window_geometry "$JOV_WIN")
[ "$w" = 550 ] && [ "$h" = 323 ] || fail "client area is ${w}x${h}"
pass "client area 550x323"

# Fixed size: the size hints pin minimum and maximum to the same size, so no maximise.
hints=$(xprop -id "$JOV_WIN" WM_NORMAL_HINTS)
echo "$hints" | grep -q "program specified minimum size: 550 by 323" || fail "no minimum size: $hints"
echo "$hints" | grep -q "program specified maximum size: 550 by 323" || fail "no maximum size: $hints"
xprop -id "$JOV_WIN" _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE && fail "window can be maximised"
pass "fixed size, no maximise"

# One top-level window of the process is mapped: one taskbar entry.
count=$(xdotool search --all --onlyvisible --pid "$JOV_PID" | wc -l)
[ "$count" = 1 ] || fail "$count visible windows"
xprop -id "$JOV_WIN" _NET_WM_STATE | grep -q SKIP_TASKBAR && fail "window skips the taskbar"
pass "one taskbar entry"

xdotool windowminimize --sync "$JOV_WIN"
wait_for 5 sh -c "xprop -id $JOV_WIN WM_STATE | grep -q Iconic" || fail "not minimised"
pass "minimised"
xdotool windowactivate --sync "$JOV_WIN" >/dev/null 2>&1 || wmctrl -i -a "$JOV_WIN"
wait_for 5 sh -c "xprop -id $JOV_WIN WM_STATE | grep -q Normal" || fail "not restored"
read -r x y w h < <(window_geometry "$JOV_WIN")
[ "$w" = 550 ] && [ "$h" = 323 ] || fail "restored client area is ${w}x${h}"
pass "restored"

close_jov
pass "closed through the window manager"

strace -f -qq -e trace=openat -o "$E2E_TMP/openat.log" "$JOV" >"$E2E_TMP/jov.log" 2>&1 &
JOV_PID=$!
E2E_PIDS+=($JOV_PID)
wait_for 20 xdotool search --all --onlyvisible --name '^JOV' || fail "no window under strace"
JOV_WIN=$(xdotool search --all --onlyvisible --name '^JOV' | head -n1)
grep -q 'plugins/platforms/libqxcb' "$E2E_TMP/openat.log" || fail "strace saw no plugin at all"
grep imageformats "$E2E_TMP/openat.log" && fail "an image-format plugin was opened at start"
close_jov
pass "no image-format plugin opened at start"
