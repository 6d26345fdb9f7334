#!/usr/bin/env bash
# A long run of the real program driven by a seeded random monkey, under Xvfb and openbox:
# clicks and Ctrl/Shift-clicks anywhere in the window, drags between slots, every shortcut,
# typed values, clipboard junk (and an owner that never answers) with Ctrl+V, pipette drags to
# random points with the wheel and the arrows, the options dialog, palettes opened and saved
# through the real dialogs in a folder of its own, any dialog answered at random; then a normal
# close.
#
#   soak.sh JOV [ACTIONS] [SEED]
#
# With SOAK_RSS_EVERY=N in the environment, the RSS is also printed every N actions, as it is
# taken (a curve at a fixed interval, and a sign of progress on a long run).
#
# After every action the program must answer the window manager's ping within 2 s, else a
# stall is counted. It reports the actions done, the stalls, the exit status, the sanitizer
# reports (leaks included, for a sanitizer build), whether the store is whole, and the memory
# (RSS) at the start, the middle and the end; it fails on a stall, a report, a status other
# than 0 or a store that is not whole.
JOV_ARG=${1:?path to the jov program}
ACTIONS=${2:-300}
SEED=${3:-1}
source "$(dirname "$0")/../e2e/lib.sh" "$JOV_ARG"

BIN_DIR=$(dirname "$JOV")
TOOLS=${JOV_TEST_TOOLS:-$BIN_DIR/../tests}
STORE="$XDG_CONFIG_HOME/Corvel Astine/JOV.reg"
PALETTES="$HOME/Documents"
REPORTS="$E2E_TMP/sanitizer"
mkdir -p "$REPORTS" "$E2E_TMP/stand-in"
# Help opens the manual through xdg-open: a stand-in that opens nothing.
printf '#!/bin/sh\nexit 0\n' >"$E2E_TMP/stand-in/xdg-open"
chmod +x "$E2E_TMP/stand-in/xdg-open"
# The monkey browses the file dialogs wherever they let it, as root: the program runs where only
# its own temporary folder can be written (confine.sh). Its sanitizer reports (of a sanitizer
# build) go to files; what the libraries below it keep until the end (D-Bus, say) is theirs,
# and lsan.supp names it.
mkdir -p "$E2E_TMP/runtime"
chmod 700 "$E2E_TMP/runtime"
JOV_LAUNCH=("$(cd "$(dirname "$0")" && pwd)/confine.sh" "$E2E_TMP"
  env --default-signal=INT,QUIT PATH="$E2E_TMP/stand-in:$PATH" XDG_RUNTIME_DIR="$E2E_TMP/runtime"
  ASAN_OPTIONS="detect_leaks=1:log_path=$REPORTS/asan"
  LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp"
  UBSAN_OPTIONS="print_stacktrace=1:log_path=$REPORTS/ubsan")
RANDOM=$SEED

rss() { awk '/^VmRSS:/ { print $2 " kB" }' "/proc/$JOV_PID/status" 2>/dev/null; }
pick() { shift $((RANDOM % $#)); echo "$1"; }
# The program's other visible windows: its dialogs.
dialogs() {
  xdotool search --all --onlyvisible --pid "$JOV_PID" 2>/dev/null | grep -vx "$JOV_WIN" || true
}

STALLS=0
DONE=""
answers() {
  "$TOOLS/window_ping" "$JOV_WIN" 2000 && return 0
  STALLS=$((STALLS + 1))
  echo "stall after action $1 ($DONE): no answer within 2 s"
}

# A point of the window (its client area), at random.
random_point() {
  local w h
  read -r _ _ w h < <(window_geometry "$JOV_WIN")
  echo "$((RANDOM % ${w:-1})) $((RANDOM % ${h:-1}))"
}
slot_x() { echo $((54 + 2 + 24 * ($1 - 1) + 11)); }

junk_text() {
  case $((RANDOM % 8)) in
    0) printf '#%06X' $((RANDOM * RANDOM % 16777216)) ;;
    1) printf 'RGB(%d, %d, %d)' $((RANDOM % 300 - 20)) $((RANDOM % 300)) $((RANDOM % 300)) ;;
    2) printf '0x%08X' $((RANDOM * RANDOM)) ;;
    3) printf '%d,%d,%d,%d' $RANDOM $RANDOM -$RANDOM $RANDOM ;;
    4) head -c $((RANDOM % 64)) /dev/urandom ;;
    5) head -c 100000 /dev/urandom | base64 -w0 ;;
    6) printf 'JOV($%X,x%X,0X%X)' $RANDOM $RANDOM $RANDOM ;;
    *) printf '' ;;
  esac
}

# One action of the monkey.
act() {
  local x y
  case $((RANDOM % 14)) in
    0 | 1 | 2) # a click anywhere, maybe with Ctrl or Shift
      DONE="click"
      read -r x y < <(random_point)
      local mod
      mod=$(pick "" "" ctrl shift)
      xdotool mousemove --window "$JOV_WIN" "$x" "$y"
      if [ -n "$mod" ]; then
        xdotool keydown "$mod" click "$(pick 1 1 1 3)" keyup "$mod"
      else
        xdotool click "$(pick 1 1 1 3)"
      fi
      ;;
    3) # a drag from one slot to another
      DONE="drag"
      xdotool mousemove --window "$JOV_WIN" "$(slot_x $((RANDOM % 16 + 1)))" 98 mousedown 1
      xdotool mousemove --window "$JOV_WIN" "$(slot_x $((RANDOM % 16 + 1)))" 98
      xdotool mousemove --window "$JOV_WIN" "$(slot_x $((RANDOM % 16 + 1)))" 99 mouseup 1
      ;;
    4 | 5) # a shortcut
      DONE=$(pick ctrl+a ctrl+c ctrl+n ctrl+o ctrl+p ctrl+r ctrl+s ctrl+t ctrl+v ctrl+shift+c \
        ctrl+alt+n Escape Return Tab shift+Tab space Up Down)
      xdotool key --clearmodifiers "$DONE"
      ;;
    6) # a value typed into a channel field
      DONE="typed value"
      xdotool mousemove --window "$JOV_WIN" 490 "$(pick 135 172 208)" click --repeat 2 1
      xdotool type -- "$(pick 0 7 255 256 -1 999999 12a "" 3.5)"
      xdotool key "$(pick Tab Return Up Down)"
      ;;
    7) # junk on the clipboard, pasted; now and then from an owner that never answers, while
      # no dialog is open (Qt's own text fields in dialogs wait for the clipboard themselves)
      DONE="paste"
      if [ $((RANDOM % 10)) = 0 ] && [ -z "$(dialogs)" ]; then
        DONE="paste from a silent owner"
        "$TOOLS/silent_clipboard" >"$E2E_TMP/silent.out" 2>&1 &
        local silent=$!
        E2E_PIDS+=($silent)
        wait_for 5 grep -q ready "$E2E_TMP/silent.out" || fail "the silent owner did not start"
        xdotool key --clearmodifiers ctrl+v
        answers "$n"
        kill "$silent"
        wait "$silent" 2>/dev/null || true
      else
        junk_text | xclip -selection clipboard -i 2>/dev/null
        xdotool key --clearmodifiers ctrl+v
      fi
      ;;
    8) # the pipette, dragged to random points with the wheel and the arrows
      DONE="pipette"
      xdotool mousemove --window "$JOV_WIN" 488 38 mousedown 1
      for _ in 1 2 3; do
        xdotool mousemove $((RANDOM % 1024)) $((RANDOM % 768)) click "$(pick 4 5)"
        xdotool key "$(pick Left Right Up Down shift+Left shift+Down)"
      done
      # A right release on the desktop would open the window manager's menu: that one is made
      # over the window.
      if [ $((RANDOM % 3)) = 0 ]; then
        read -r x y < <(random_point)
        xdotool mousemove --window "$JOV_WIN" "$x" "$y" mouseup 3
      else
        xdotool mouseup 1
      fi
      ;;
    9) # the options dialog
      DONE="options"
      xdotool mousemove --window "$JOV_WIN" 32 38 click 1
      ;;
    10 | 11) # a palette opened or saved through the dialogs, in its own folder
      DONE=$(pick ctrl+o ctrl+s)
      xdotool key --clearmodifiers "$DONE"
      ;;
    *) # the colour dialog or the About box through the buttons on the right
      DONE="button"
      xdotool mousemove --window "$JOV_WIN" "$(pick 462 516 488)" "$(pick 38 67 97)" click 1
      ;;
  esac
}

# Whatever dialog is open is answered at random, a file dialog possibly with a name in the
# palette folder.
answer_dialogs() {
  local dialog x y w h
  for _ in 1 2 3; do
    dialog=$(dialogs | head -n1)
    [ -n "$dialog" ] || return 0
    xdotool windowactivate "$dialog" 2>/dev/null || true
    case $((RANDOM % 6)) in
      0) xdotool key Escape ;;
      1) xdotool key Return ;;
      2) xdotool key "$(pick alt+o alt+n Tab space)" ;;
      3)
        # The dialog may have closed meanwhile: its geometry is then empty.
        read -r x y w h < <(window_geometry "$dialog" 2>/dev/null)
        xdotool mousemove $((${x:-0} + RANDOM % ${w:-1})) $((${y:-0} + RANDOM % ${h:-1})) click 1
        ;;
      *)
        xdotool type -- "$PALETTES/$(pick p1 p2 p3 "x y" ../p4)$(pick .pal .gpl .PAL "" .txt)"
        xdotool key Return
        ;;
    esac
    DONE="dialog answered"
    echo "$n $DONE" >>"$E2E_TMP/actions.log"
    answers "$n"
    alive
  done
}

start_x
# One desktop: the wheel over the desktop, with the pipette, switches to none.
wmctrl -n 1
# Palettes of every kind the dialogs may find.
printf 'JASC-PAL\r\n0100\r\n16\r\n' >"$PALETTES/p1.pal"
for i in $(seq 16); do printf '%d %d %d\r\n' $((i * 15)) 0 $((255 - i)) >>"$PALETTES/p1.pal"; done
printf 'GIMP Palette\nName: p2\n#\n 10  20  30\tone\n' >"$PALETTES/p2.gpl"
head -c 300 /dev/urandom >"$PALETTES/p3.pal"

start_jov
RSS_START=$(rss)
[ -z "${SOAK_RSS_EVERY:-}" ] || echo "soak: RSS after 0 actions: $RSS_START ($(date -u +%T))"
RSS_CURVE=""
alive() {
  kill -0 "$JOV_PID" 2>/dev/null && return 0
  tail -n 10 "$E2E_TMP/actions.log"
  fail "the program ended during action $n"
}
for ((n = 1; n <= ACTIONS; n++)); do
  act
  echo "$n $DONE" >>"$E2E_TMP/actions.log"
  answers "$n"
  alive
  if [ $((RANDOM % 3)) = 0 ]; then answer_dialogs; fi
  if [ "$n" = $((ACTIONS / 2)) ]; then RSS_MIDDLE=$(rss); fi
  if [ $((n % ((ACTIONS + 9) / 10))) = 0 ]; then RSS_CURVE+=" $(rss)"; fi
  if [ -n "${SOAK_RSS_EVERY:-}" ] && [ $((n % SOAK_RSS_EVERY)) = 0 ]; then
    echo "soak: RSS after $n actions: $(rss) ($(date -u +%T))"
  fi
  DONE_ACTIONS=$n
done
[ "${DONE_ACTIONS:-0}" = "$ACTIONS" ] || fail "the monkey stopped after ${DONE_ACTIONS:-0} actions"
RSS_END=$(rss)

# A normal close: dialogs closed, the window closed, a question about the palette answered No.
for _ in $(seq 10); do
  dialog=$(dialogs | head -n1)
  [ -n "$dialog" ] || break
  xdotool windowactivate "$dialog" 2>/dev/null || true
  xdotool key Escape
  answers close
done
wmctrl -i -c "$JOV_WIN" || fail "wmctrl could not ask the window to close"
end=$((SECONDS + 30))
while kill -0 "$JOV_PID" 2>/dev/null; do
  [ $SECONDS -ge $end ] && fail "the program did not end after the close"
  dialog=$(dialogs | head -n1)
  if [ -n "$dialog" ]; then
    xdotool windowactivate "$dialog" 2>/dev/null || true
    xdotool key alt+n
  fi
  sleep 0.2
done
status=0
wait "$JOV_PID" || status=$?

store_whole() {
  head -n1 "$STORE" | grep -q "Windows Registry Editor Version 5.00" &&
    grep -q '^"Version"="3.0.0.0"' "$STORE" && grep -q '^"Op32"=' "$STORE" &&
    grep -q '^"NormPos"=' "$STORE"
}
store=whole
store_whole || store="NOT whole"
# Reports that say something: a list of the suppressions used alone is none.
said() { grep -l "ERROR: \|runtime error" -r "$REPORTS" || true; }
reports=$(said | wc -l)
echo "soak: seed $SEED, $ACTIONS actions, $STALLS stalls, exit status $status," \
  "$reports sanitizer reports, store $store"
echo "soak: RSS every tenth of the actions (kB):${RSS_CURVE// kB/}"
echo "soak: RSS start $RSS_START, middle ${RSS_MIDDLE:-?}, end $RSS_END;" \
  "$(find "$PALETTES" -type f | wc -l) files in the palette folder (3 at the start)"
said | xargs -r cat
[ "$STALLS" = 0 ] && [ "$status" = 0 ] && [ "$reports" = 0 ] && [ "$store" = whole ] ||
  fail "the soak found faults"
pass "soak of $ACTIONS actions"
