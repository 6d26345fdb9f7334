# Shared steps of the end-to-end tests: a private X server, a window manager, the program, all
# started here and killed by process id on exit. Every wait is bounded.
set -euo pipefail

JOV=${1:?path to the jov program}
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/jov-e2e.XXXXXX")
E2E_PIDS=()
export XDG_CONFIG_HOME="$E2E_TMP/config"
export HOME="$E2E_TMP/home"
mkdir -p "$XDG_CONFIG_HOME" "$HOME/Documents"
# The program speaks French under "C"; a test of another language sets its own.
export LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES

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
# A step that fails without a word of its own is named.
trap 'echo "failed: line $LINENO: $BASH_COMMAND" >&2' ERR
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
# Set by a test on a server that Qt cannot paint on (8 bits): the window then shows nothing, and
# the waits on its pixels are left out.
JOV_UNPAINTED=""
start_jov() {
  "${JOV_LAUNCH[@]}" "$JOV" "$@" >"$E2E_TMP/jov.log" 2>&1 &
  JOV_PID=$!
  E2E_PIDS+=($JOV_PID)
  wait_for 20 xdotool search --all --onlyvisible --pid "$JOV_PID" --name '^JOV' ||
    fail "the JOV window did not appear"
  JOV_WIN=$(xdotool search --all --onlyvisible --pid "$JOV_PID" --name '^JOV' | head -n1)
  xdotool windowactivate --sync "$JOV_WIN" >/dev/null 2>&1 || true
  wait_for 10 is_active "$JOV_WIN" || fail "the JOV window did not get the keyboard"
  [ -n "$JOV_UNPAINTED" ] || wait_for 10 window_drawn || fail "the JOV window was not drawn"
}

# Whether window $1 has the keyboard (is the window manager's active window).
is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
# Whether the window has been painted: one face colour along its top edge and more than a few
# colours in all (a window not painted yet is blank or shows what was beneath it).
window_drawn() {
  import -window "$JOV_WIN" "$E2E_TMP/drawn.png" &&
    convert "$E2E_TMP/drawn.png" -format '%[hex:p{3,3}] %[hex:p{100,3}] %[hex:p{540,3}] %k' info: |
    awk '{ exit !($1 == $2 && $2 == $3 && $4 > 8) }'
}

# The program's first visible window other than the main one (a dialog, a message box) whose
# name matches the regular expression $1 (any name if none is given).
program_window() {
  xdotool search --all --onlyvisible --pid "$JOV_PID" ${1:+--name "$1"} 2>/dev/null |
    grep -vx "$JOV_WIN" | head -n1 | grep .
}
# Waits until such a window is shown and has the keyboard, so that the keys typed next reach
# it; prints its id.
wait_window() {
  local name=${1:-} w=""
  wait_for 10 eval 'w=$(program_window "$name") && is_active "$w"' ||
    fail "no window '$name' with the keyboard"
  echo "$w"
}
# Waits until no such window is shown.
wait_window_gone() {
  local name=${1:-}
  wait_for 10 eval '! program_window "$name"' || fail "the window '$name' stayed"
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
    wait_window >/dev/null
    xdotool key alt+n
  fi
  wait_for 10 eval '! kill -0 "$JOV_PID"' || fail "JOV did not end after close"
}

# Hex colour "RRGGBB" of a pixel of the window, in client coordinates.
window_pixel() {
  import -window "$JOV_WIN" "$E2E_TMP/pixel.png" &&
    convert "$E2E_TMP/pixel.png" -format "%[hex:p{$1,$2}]" info: | cut -c1-6
}

# Whether the pixel at client coordinates $1,$2 of the window is "RRGGBB" $3.
pixel_is() { [ "$(window_pixel "$1" "$2")" = "$3" ]; }

# Clicks at client coordinates of the window. The program handles its X events in order: what
# is sent after this reaches it after the click; a result read another way must be waited for.
click_at() { xdotool mousemove --window "$JOV_WIN" "$1" "$2" click 1; }

clip_in() { printf '%s' "$1" | xclip -selection clipboard -i; }
# Pastes $1 with Ctrl+V and waits until the program has taken the text: the clipboard's owner
# serves two requests, a read here that shows it owns the clipboard (it held "-" before) and the
# program's, and then ends. The paste is then done: the program applies the text as soon as it
# arrives, before any event sent after this.
paste_text() {
  local text=$1
  clip_in "-"
  wait_for 10 eval '[ "$(xclip -selection clipboard -o 2>/dev/null)" = "-" ]' ||
    fail "xclip did not take the clipboard"
  printf '%s' "$text" | xclip -selection clipboard -loops 2 -quiet -i >/dev/null 2>&1 &
  # Not killed at the end: it ends with the X server at the latest.
  local owner=$!
  wait_for 10 eval '[ "$(xclip -selection clipboard -o 2>/dev/null)" = "$text" ]' ||
    fail "xclip did not take the clipboard"
  xdotool key --clearmodifiers ctrl+v
  wait_for 10 eval '! kill -0 $owner' || fail "the program did not take the pasted text"
  wait "$owner" || true
}

# Waits until the title of the program's window is exactly $1.
wait_title() {
  wait_for 10 sh -c "[ \"\$(xdotool getwindowname $JOV_WIN)\" = '$1' ]" ||
    fail "title is '$(xdotool getwindowname "$JOV_WIN")', expected '$1'"
}

# The pipette: the centre of its image in client coordinates at scale 1, and the current colour
# read back through Ctrl+C (which copies it in the HTML format by default).
PIPETTE_X=488; PIPETTE_Y=38
# Without --clearmodifiers: that option would also let go of a held mouse button. The clipboard
# first holds a text that is no colour, so that the copy is seen when it arrives.
copy_colour() {
  clip_in "-"
  xdotool key ctrl+c
  wait_for 10 eval '[ "$(xclip -selection clipboard -o 2>/dev/null)" != "-" ]' || return 0
  xclip -selection clipboard -o 2>/dev/null
}
expect_colour() {
  local want=$1 got="" end=$((SECONDS + 10))
  while [ $SECONDS -lt $end ]; do got=$(copy_colour); [ "$got" = "$want" ] && return 0; done
  fail "$2: colour is '$got', expected '$want'"
}
# Moves onto the pipette image of a window drawn at scale $1 (default 1) and presses the left
# button there, which starts the pipette; waits until the image has made way for the mode, which
# the program paints only once the hook listens.
PIPETTE_PIXEL="" PIPETTE_PIXEL_OF=""
press_on_pipette() {
  local scale=${1:-1} x y
  if [ -n "$JOV_UNPAINTED" ]; then
    xdotool mousemove --window "$JOV_WIN" $PIPETTE_X $PIPETTE_Y mousedown 1
    return
  fi
  read -r x y < <(awk -v s="$scale" -v x=$PIPETTE_X -v y=$PIPETTE_Y \
    'BEGIN { printf "%d %d\n", x * s, y * s }')
  # The image as this run shows it, read before its first pipette.
  if [ "$PIPETTE_PIXEL_OF" != "$JOV_PID" ]; then
    wait_for 10 eval 'PIPETTE_PIXEL=$(window_pixel "$x" "$y")' || fail "the window cannot be read"
    PIPETTE_PIXEL_OF=$JOV_PID
  fi
  wait_for 10 pixel_is "$x" "$y" "$PIPETTE_PIXEL" || fail "the pipette image is not shown"
  xdotool mousemove --window "$JOV_WIN" "$x" "$y" mousedown 1
  wait_for 10 eval '! pixel_is "$x" "$y" "$PIPETTE_PIXEL"' || fail "the pipette did not start"
}
# Whether the pipette image is shown again (at scale 1).
pipette_back() { pixel_is $PIPETTE_X $PIPETTE_Y "$PIPETTE_PIXEL"; }
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

# The left half of a 1024 pixels wide root (x < 512) in the foreground colour of the bitmap
# $E2E_TMP/halves.xbm, the right half in its background colour.
make_halves() {
  {
    printf '#define halves_width 1024\n#define halves_height 1\nstatic unsigned char halves_bits[] = {\n'
    for i in $(seq 128); do [ "$i" -le 64 ] && printf ' 0xff,' || printf ' 0x00,'; done
    printf '};\n'
  } >"$E2E_TMP/halves.xbm"
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

# The accessibility bus of the private session bus (start_session_bus first), as a desktop
# starts it for screen readers: a program started after this exposes its widgets there, and
# atspi.py reads them.
start_atspi() {
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  E2E_PIDS+=($!)
  wait_for 10 dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus \
    org.a11y.Bus.GetAddress || fail "the accessibility bus did not start"
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}
# The program's accessibility tree (atspi.py tree), once it holds the main window's status bar.
atspi_tree() {
  local here
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  wait_for 10 sh -c "/usr/bin/python3 '$here/atspi.py' tree $JOV_PID | grep -q 'status bar'" ||
    fail "the program's accessibility tree cannot be read"
  /usr/bin/python3 "$here/atspi.py" tree "$JOV_PID"
}
# Waits until the program's accessibility tree holds a line matching the Perl regular expression
# $1 (role, name, description and states separated by tabs); $2 says what it is.
expect_tree() {
  local _
  for _ in $(seq 50); do
    atspi_tree >"$E2E_TMP/tree.txt"
    grep -qP "$1" "$E2E_TMP/tree.txt" && return 0
    sleep 0.2
  done
  cat "$E2E_TMP/tree.txt"
  fail "$2: no line '$1' in the accessibility tree"
}
