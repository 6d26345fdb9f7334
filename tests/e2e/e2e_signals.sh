#!/usr/bin/env bash
# Stop signals as the program inherits them. Started with SIGHUP ignored (nohup) it outlives the
# terminal; started with SIGINT ignored (a script's "jov &") it outlives Ctrl+C there; SIGTERM
# always saves and ends it, status 0.
source "$(dirname "$0")/lib.sh"

STORE="$XDG_CONFIG_HOME/Corvel Astine/JOV.reg"

# Whether process $1 has signal number $3 in the mask $2 of /proc (SigIgn, SigCgt).
in_mask() {
  local mask
  mask=$(awk -v f="$2:" '$1 == f { print $2 }' "/proc/$1/status" 2>/dev/null) || return 1
  [ -n "$mask" ] && (( (16#$mask >> ($3 - 1)) & 1 ))
}
# Waits for the program to end; its exit status in $rc.
wait_exit() {
  local end=$((SECONDS + 10))
  while kill -0 "$1" 2>/dev/null; do
    [ $SECONDS -ge $end ] && fail "$2: JOV did not end"
    sleep 0.05
  done
  rc=0
  wait "$1" || rc=$?
}
# Pastes a colour and reads it back: the window still answers.
expect_answers() {
  clip_in "#$1"
  xdotool key --clearmodifiers ctrl+v
  expect_colour "#$1" "$2"
}

start_x

# An ignored signal is dropped by the kernel when sent, so once kill returns it can no longer
# act; the window answering afterwards shows the program did not stop. SIGTERM, ignored at
# start or not, saves and ends it.
# $1: name of the run; $2, $3: the signal left ignored and its number; $4: a colour; the rest:
# the launcher.
run_ignored() {
  local name=$1 signal=$2 number=$3 colour=$4
  shift 4
  JOV_LAUNCH=("$@")
  start_jov
  in_mask "$JOV_PID" SigIgn "$number" || fail "$name: SIG$signal not left ignored"
  in_mask "$JOV_PID" SigCgt 15 || fail "$name: SIGTERM not caught"
  expect_answers "$colour" "$name"
  kill "-$signal" "$JOV_PID"
  kill -0 "$JOV_PID" 2>/dev/null || fail "$name: SIG$signal ended the program"
  expect_answers 000000 "$name, after SIG$signal"
  expect_answers "$colour" "$name, after SIG$signal"
  kill -TERM "$JOV_PID"
  wait_exit "$JOV_PID" "$name"
  [ "$rc" = 0 ] || fail "$name: SIGTERM gave exit status $rc"
  grep -q "^\"Op01\"=dword:000000${colour:0:2}" "$STORE" || fail "$name: colour not saved"
  pass "$name: SIG$signal left ignored, SIGTERM saved and ended with status 0"
}
run_ignored nohup HUP 1 12AB34 nohup
run_ignored "INT and TERM ignored" INT 2 56CD78 env --ignore-signal=INT,QUIT,TERM

