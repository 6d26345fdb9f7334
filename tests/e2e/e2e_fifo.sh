#!/usr/bin/env bash
# Named pipes never hang the program: as the settings store, as the legacy settings file and as
# the palette reopened at start, a FIFO that nobody writes to leaves the window showing within
# its usual time and answering keys. The store's FIFO is moved aside at the close and a real
# store takes its place; the legacy one is left alone.
source "$(dirname "$0")/lib.sh"

CONFIG="$XDG_CONFIG_HOME/Corvel Astine"
STORE="$CONFIG/JOV.reg"
mkdir -p "$CONFIG"

# Starts the program and fails unless its window shows within 10 s (it takes about one).
start_in_time() {
  local t0=$SECONDS
  start_jov
  [ $((SECONDS - t0)) -le 10 ] || fail "$1: the window took $((SECONDS - t0)) s"
}

# Ctrl+R toggles the compact mode: the window's height changes, so the event loop runs.
answers_keys() {
  local h0 h1
  read -r _ _ _ h0 < <(window_geometry "$JOV_WIN")
  xdotool key --clearmodifiers ctrl+r
  wait_for 5 sh -c "xwininfo -id $JOV_WIN | grep -q 'Height: ' && ! xwininfo -id $JOV_WIN | grep -q 'Height: $h0\$'" ||
    fail "$1: Ctrl+R changed nothing"
  xdotool key --clearmodifiers ctrl+r
  wait_for 5 sh -c "xwininfo -id $JOV_WIN | grep -q 'Height: $h0\$'" || fail "$1: Ctrl+R did not come back"
}

start_x

# The store.
mkfifo "$STORE"
start_in_time "FIFO store"
answers_keys "FIFO store"
close_jov
[ -p "$STORE.bak" ] || fail "the FIFO store was not moved aside"
[ -f "$STORE" ] && grep -q '^"Version"=' "$STORE" || fail "no regular store written after a FIFO"
pass "FIFO as the store: window in time, keys answered, FIFO moved aside, store written"

# The legacy settings file.
mkfifo "$XDG_CONFIG_HOME/JOV.ini"
start_in_time "FIFO legacy file"
answers_keys "FIFO legacy file"
close_jov
[ -p "$XDG_CONFIG_HOME/JOV.ini" ] || fail "the legacy FIFO was touched"
pass "FIFO as the legacy file: window in time, keys answered, left alone"

# The palette reopened at start: Op13 on, Op30 (folder) and Op32 (name) lead to a FIFO.
mkdir -p "$E2E_TMP/pal"
mkfifo "$E2E_TMP/pal/tube.pal"
sed -i -e 's/^"Op13"=.*/"Op13"=dword:00000001\r/' \
  -e "s|^\"Op30\"=.*|\"Op30\"=\"$E2E_TMP/pal\"\\r|" -e 's/^"Op32"=.*/"Op32"="tube.pal"\r/' "$STORE"
grep -q '^"Op13"=dword:00000001' "$STORE" || fail "Op13 not set"
start_in_time "FIFO palette"
wait_title "JOV - tube" # the palette's name was taken: its file was tried
answers_keys "FIFO palette"
pass "FIFO as the palette reopened at start: window in time, keys answered"
close_jov
