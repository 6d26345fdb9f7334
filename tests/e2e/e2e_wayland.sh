#!/usr/bin/env bash
# The program on a Wayland desktop: a headless weston compositor with Xwayland, and the program
# started in it twice, through XWayland (xcb platform) and as a native Wayland client. Each time
# its window must be mapped under its title and really drawn on the compositor's output, which
# is read back with weston's screenshooter: the black sample panel (a new settings folder starts
# on black) must appear on an otherwise almost black-free desktop.
source "$(dirname "$0")/lib.sh"

unset DISPLAY WAYLAND_DISPLAY
export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR" "$E2E_TMP/shots"
SOCKET=jov-e2e

wl_fail() {
  echo "weston log:"
  cat "$E2E_TMP/weston.log" 2>/dev/null
  fail "$@"
}

# --debug offers the screenshooter; the pixman renderer gives it pixels to read (the headless
# backend renders nothing by default); no idle time, so the output never blanks.
weston --backend=headless-backend.so --use-pixman --xwayland --debug --no-config --idle-time=0 \
  --socket="$SOCKET" --width=1024 --height=768 --log="$E2E_TMP/weston.log" \
  >"$E2E_TMP/weston.out" 2>&1 &
E2E_PIDS+=($!)
wait_for 15 grep -q "xserver listening on display" "$E2E_TMP/weston.log" ||
  wl_fail "weston did not start"
wait_for 10 test -S "$XDG_RUNTIME_DIR/$SOCKET" || wl_fail "no Wayland socket"
XWAYLAND_DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' \
  "$E2E_TMP/weston.log" | head -n1)
pass "weston headless with Xwayland on $XWAYLAND_DISPLAY"

# Number of pure black pixels on the compositor's output.
black_pixels() {
  rm -f "$E2E_TMP"/shots/*.png
  (cd "$E2E_TMP/shots" && WAYLAND_DISPLAY=$SOCKET timeout 10 weston-screenshooter) >/dev/null 2>&1 ||
    return 1
  convert "$E2E_TMP"/shots/wayland-screenshot-*.png -alpha off -fill white +opaque '#000000' \
    -format '%[fx:int((1-mean)*w*h+0.5)]' info:
}
# The sample panel alone is 386 x 54 pixels.
drawn() { [ "$(black_pixels)" -ge $((BASE + 15000)) ]; }
gone() { [ "$(black_pixels)" -lt $((BASE + 1000)) ]; }

# The desktop shell draws its panel and background after the start: wait until the picture
# holds still (two pictures in a row agree) before taking it as the empty desktop.
wait_for 10 black_pixels || wl_fail "the screenshooter does not work"
BASE=$(black_pixels)
settled() { local last=$BASE; BASE=$(black_pixels) && [ "$BASE" = "$last" ]; }
wait_for 10 settled || wl_fail "the desktop does not hold still"
[ "$BASE" -lt 5000 ] || wl_fail "the empty desktop has $BASE black pixels"

stop_jov() {
  kill "$JOV_PID" 2>/dev/null || true
  wait "$JOV_PID" 2>/dev/null || true
  wait_for 10 gone || wl_fail "the window stayed on the output"
}

# Through XWayland.
DISPLAY=$XWAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$JOV" >"$E2E_TMP/jov.log" 2>&1 &
JOV_PID=$!
E2E_PIDS+=($JOV_PID)
export DISPLAY=$XWAYLAND_DISPLAY
# The first X client also starts Xwayland itself.
wait_for 30 xdotool search --all --onlyvisible --pid "$JOV_PID" --name '^JOV - SansNom$' ||
  wl_fail "no JOV window on the XWayland display"
win=$(xdotool search --all --onlyvisible --pid "$JOV_PID" --name '^JOV - SansNom$' | head -n1)
xprop -id "$win" WM_STATE | grep -q Normal || wl_fail "the X window is not in the normal state"
read -r _ _ w h < <(window_geometry "$win")
[ "$w" = 550 ] && [ "$h" = 323 ] || wl_fail "client area is ${w}x${h}"
wait_for 10 drawn || wl_fail "the XWayland window is not drawn on the output"
pass "xcb through XWayland: window mapped, 550x323, drawn by the compositor"
stop_jov
unset DISPLAY

# As a native Wayland client. The protocol log shows the toplevel's title, the compositor's
# configure and the buffer attached after it.
QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=$SOCKET WAYLAND_DEBUG=1 "$JOV" >"$E2E_TMP/jov.log" 2>&1 &
JOV_PID=$!
E2E_PIDS+=($JOV_PID)
shown_on_wayland() {
  awk '
    match($0, /-> xdg_toplevel@[0-9]+\.set_title\("JOV - SansNom"\)/) {
      split(substr($0, RSTART), a, /[@.]/); top = a[2]
    }
    top != "" && $0 !~ /->/ && $0 ~ ("xdg_toplevel@" top "\\.configure\\(") { configured = 1 }
    configured && /-> wl_surface@[0-9]+\.attach\(wl_buffer@/ { attached = 1 }
    END { exit !(attached) }' "$E2E_TMP/jov.log"
}
wait_for 20 shown_on_wayland || wl_fail "no configured toplevel 'JOV - SansNom' with a buffer"
wait_for 10 drawn || wl_fail "the Wayland window is not drawn on the output"
kill -0 "$JOV_PID" 2>/dev/null || wl_fail "JOV ended on the wayland platform"
pass "wayland: toplevel 'JOV - SansNom' configured and drawn by the compositor"
stop_jov
