# Shared steps of the end-to-end tests: a private X server, a window manager, the program, all
# started here and killed by process id on exit. Every wait is bounded.
set -euo pipefail

JOV=${1:?path to the jov program}
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/jov-e2e.XXXXXX")
E2E_PIDS=()
export XDG_CONFIG_HOME="$E2E_TMP/config"
export HOME="$E2E_TMP/home"
mkdir -p "$XDG_CONFIG_HOME" "$HOME/Documents"

e2e_cleanup() {
  local status=$?
  if [ $status -ne 0 ] && [ -n "${DISPLAY:-}" ]; then
    import -display "$DISPLAY" -window root "$E2E_TMP/failure.png" 2>/dev/null &&
      echo "screenshot of the failure: $E2E_TMP/failure.png"
    [ -s "$E2E_TMP/jov.log" ] && { echo "program output:"; cat "$E2E_TMP/jov.log"; }
  fi
  for ((i=${#E2E_PIDS[@]}-1; i>=0; i--)); do kill "${E2E_PIDS[i]}" 2>/dev/null || true; done
  for p in "${E2E_PIDS[@]}"; do wait "$p" 2>/dev/null || true; done
  [ $status -eq 0 ] && rm -rf "$E2E_TMP"
  exit $status
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

fail() { echo "FAIL: $*" >&2; exit 1; }

# A busy X server can refuse a new connection for a few milliseconds: a client that could not
# connect is run again, anything else it says or returns is passed on.
xdotool() {
  local rc=0
  for _ in 1 2 3 4 5; do
    command xdotool "$@" 2>"$E2E_TMP/xdotool.err" && rc=0 || rc=$?
    grep -q "Can't open display\|Failed creating new xdo" "$E2E_TMP/xdotool.err" || break
    sleep 0.05
  done
  cat "$E2E_TMP/xdotool.err" >&2
  return $rc
}
pass() { echo "ok: $*"; }

# Waits until a command succeeds, at most $1 seconds.
wait_for() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.1
  done
}

# Starts a private Xvfb with the given screens (default: one of 1024 x 768) and sets XVFB_DISPLAY
# to its name.
new_xvfb() {
  local fdfile="$E2E_TMP/display.$RANDOM"
  [ $# -gt 0 ] || set -- -screen 0 1024x768x24
  Xvfb -displayfd 5 "$@" -nolisten tcp 5>"$fdfile" 2>/dev/null &
  E2E_PIDS+=($!)
  wait_for 10 test -s "$fdfile" || fail "Xvfb did not start"
  XVFB_DISPLAY=":$(cat "$fdfile")"
}

# A private X server (arguments as for new_xvfb) with openbox on its first screen; sets DISPLAY.
start_x() {
  new_xvfb "$@"
  export DISPLAY=$XVFB_DISPLAY
  # A new server can refuse a connection for a few milliseconds: openbox then exits at once and
  # is started again.
  local wm=""
  for _ in 1 2 3 4 5; do
    openbox >/dev/null 2>&1 &
    wm=$!
    wait_for 10 sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || ! kill -0 $wm"
    kill -0 "$wm" 2>/dev/null && break
    wm=""
  done
  [ -n "$wm" ] || fail "openbox did not start"
  E2E_PIDS+=($wm)
  # Openbox announces itself before it handles any event, and a window mapped in between can be
  # left unmanaged. It answers a request to show the desktop only from its event loop: once it
  # has answered, it is running. The request is sent again until then, in case the server
  # refused the connection that sent it.
  wait_for 10 sh -c 'wmctrl -k on; xprop -root _NET_SHOWING_DESKTOP | grep -q "= 1"' ||
    fail "openbox does not handle requests"
  wait_for 10 sh -c 'wmctrl -k off; xprop -root _NET_SHOWING_DESKTOP | grep -q "= 0"' ||
    fail "openbox does not handle requests"
}

JOV_PID=""
JOV_WIN=""
# How start_jov starts the program: as from a terminal or the desktop, where Ctrl+C ends it (a
# script's background job would have SIGINT and SIGQUIT ignored). A test may start it otherwise
# (nohup, say) by setting this array.
JOV_LAUNCH=(env --default-signal=INT,QUIT)
start_jov() {
  "${JOV_LAUNCH[@]}" "$JOV" "$@" >"$E2E_TMP/jov.log" 2>&1 &
  JOV_PID=$!
  E2E_PIDS+=($JOV_PID)
  wait_for 20 xdotool search --all --onlyvisible --pid "$JOV_PID" --name '^JOV' ||
    fail "the JOV window did not appear"
  JOV_WIN=$(xdotool search --all --onlyvisible --pid "$JOV_PID" --name '^JOV' | head -n1)
  xdotool windowactivate --sync "$JOV_WIN" >/dev/null 2>&1 || true
  sleep 0.3
}

# Client-area geometry of the window, as "X Y W H" in screen coordinates.
window_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}'
}

window_title() { xdotool getwindowname "$1"; }

# Ends the program through the window manager's close and waits for it to exit. With
# "--no-save", answers "Non" to the question about saving a modified palette.
close_jov() {
  wmctrl -i -c "$JOV_WIN" || fail "wmctrl could not ask the window to close"
  if [ "${1:-}" = "--no-save" ]; then
    wait_for 10 sh -c "xdotool search --all --onlyvisible --pid $JOV_PID | grep -v $JOV_WIN" ||
      fail "no save question"
    sleep 0.3
    xdotool key alt+n
  fi
  local end=$((SECONDS + 10))
  while kill -0 "$JOV_PID" 2>/dev/null; do
    [ $SECONDS -ge $end ] && fail "JOV did not end after close"
    sleep 0.1
  done
}

# Hex colour "RRGGBB" of a pixel of the window, in client coordinates.
window_pixel() {
  import -window "$JOV_WIN" "$E2E_TMP/pixel.png" &&
    convert "$E2E_TMP/pixel.png" -format "%[hex:p{$1,$2}]" info: | cut -c1-6
}

# Clicks at client coordinates of the window.
click_at() {
  xdotool mousemove --window "$JOV_WIN" "$1" "$2" click 1
  sleep 0.2
}

clip_in() { printf '%s' "$1" | xclip -selection clipboard -i; }

# Waits until the title of the program's window is exactly $1.
wait_title() {
  wait_for 10 sh -c "[ \"\$(xdotool getwindowname $JOV_WIN)\" = '$1' ]" ||
    fail "title is '$(xdotool getwindowname "$JOV_WIN")', expected '$1'"
}

# The pipette: the centre of its image in client coordinates at scale 1, and the current colour
# read back through Ctrl+C (which copies it in the HTML format by default).
PIPETTE_X=488; PIPETTE_Y=38
# Without --clearmodifiers: that option would also let go of a held mouse button.
copy_colour() {
  xdotool key ctrl+c
  sleep 0.2
  xclip -selection clipboard -o 2>/dev/null
}
expect_colour() {
  local want=$1 got
  for _ in $(seq 20); do got=$(copy_colour); [ "$got" = "$want" ] && return 0; sleep 0.2; done
  fail "$2: colour is '$got', expected '$want'"
}
# Moves onto the pipette image of a window drawn at scale $1 (default 1) and presses the left
# button there, which starts the pipette.
press_on_pipette() {
  local scale=${1:-1}
  xdotool mousemove --window "$JOV_WIN" $(awk -v s="$scale" -v x=$PIPETTE_X -v y=$PIPETTE_Y \
    'BEGIN { printf "%d %d", x * s, y * s }')
  sleep 0.2
  xdotool mousedown 1
  sleep 0.3
}
# Fails unless the pointer is at device pixel $1,$2 of X screen $3; $4 says when.
expect_pointer() {
  local where
  where=$(xdotool getmouselocation)
  case "$where" in
    "x:$1 y:$2 screen:$3 "*) ;;
    *) fail "$4: pointer at '$where', expected $1,$2 on screen $3" ;;
  esac
}
# The program's visible override-redirect window (the loupe), if any.
loupe_window() {
  local w
  for w in $(xdotool search --all --onlyvisible --pid "$JOV_PID" 2>/dev/null); do
    [ "$w" = "$JOV_WIN" ] && continue
    xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && { echo "$w"; return 0; }
  done
  return 1
}
no_loupe() { ! loupe_window; }

# The picture in which every pixel of a 256 x 256 tile has its own colour (red = x, green = y,
# blue on odd columns), as $E2E_TMP/tile.png, so that a pixel taken one place off is seen.
make_tile() {
  convert -size 2x1 xc:black -fill blue -draw 'point 1,0' "$E2E_TMP/stripe.png"
  convert -size 256x256 gradient:black-lime "$E2E_TMP/g.png"
  convert -size 256x256 gradient:black-red -rotate -90 "$E2E_TMP/r.png"
  convert -size 256x256 "tile:$E2E_TMP/stripe.png" "$E2E_TMP/s.png"
  convert "$E2E_TMP/g.png" "$E2E_TMP/r.png" -compose plus -composite \
    "$E2E_TMP/s.png" -compose plus -composite -depth 8 "$E2E_TMP/tile.png"
}

# A private session bus that activates nothing (a stand-in service is there only when a test
# starts it); sets DBUS_SESSION_BUS_ADDRESS.
start_session_bus() {
  cat >"$E2E_TMP/bus.conf" <<BUSCONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>session</type><listen>unix:dir=$E2E_TMP</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>
<allow own="*"/></policy></busconfig>
BUSCONF
  dbus-daemon --config-file="$E2E_TMP/bus.conf" --nofork --print-address=1 >"$E2E_TMP/bus.address" &
  E2E_PIDS+=($!)
  wait_for 10 grep -q '^unix:' "$E2E_TMP/bus.address" || fail "dbus-daemon did not start"
  export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$E2E_TMP/bus.address")
}
