#!/usr/bin/env bash
# Stop signals as the program inherits them. Started with SIGHUP ignored (nohup) it outlives the
# terminal; started with SIGINT ignored (a script's "jov &") it outlives Ctrl+C there; SIGTERM
# always saves and ends it, status 0. A SIGHUP or SIGINT at any moment of start-up ends it with
# status 0.
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
  wait_for 10 eval "! kill -0 $1" || fail "$2: JOV did not end"
  rc=0
  wait "$1" || rc=$?
}
# Pastes a colour and reads it back: the window still answers.
expect_answers() {
  paste_text "#$1"
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

# A stop during start-up, at moments that follow the start-up's own steps: as soon as the
# handler is in place, as soon as the display's platform plugin is loaded (the application
# object is being made), then later and later after that, up to after the window is shown.
# Every run ends with status 0 and leaves a whole store or none.
# The process is the program itself, not yet the shell that starts it (whose own handlers
# would count as the program's).
JOV_EXE=$(realpath "$JOV")
started() {
  [ "$(readlink "/proc/$1/exe" 2>/dev/null)" = "$JOV_EXE" ] || return 1
  case $2 in
    handler) in_mask "$1" SigCgt "$3" ;;
    plugin) grep -q libqxcb "/proc/$1/maps" 2>/dev/null ;;
  esac
}
JOV_LAUNCH=(env --default-signal=INT,QUIT)
for signal in HUP INT; do
  number=$([ $signal = HUP ] && echo 1 || echo 2)
  for moment in handler+0 plugin+0 plugin+0.02 plugin+0.05 plugin+0.1 plugin+0.2 plugin+0.4; do
    "${JOV_LAUNCH[@]}" "$JOV" >"$E2E_TMP/jov.log" 2>&1 &
    pid=$!
    E2E_PIDS+=($pid)
    end=$((SECONDS + 20))
    until started "$pid" "${moment%+*}" "$number"; do
      [ $SECONDS -ge $end ] && fail "SIG$signal at $moment: that moment never came"
      kill -0 "$pid" 2>/dev/null || fail "SIG$signal at $moment: JOV ended before"
      sleep 0.001
    done
    sleep "${moment#*+}" # the seconds after that moment
    kill "-$signal" "$pid"
    wait_exit "$pid" "SIG$signal at $moment"
    [ "$rc" = 0 ] || fail "SIG$signal at $moment: exit status $rc"
    if [ -e "$STORE" ]; then
      head -n1 "$STORE" | grep -q "Windows Registry Editor Version 5.00" ||
        fail "SIG$signal at $moment: store not whole"
    fi
  done
  pass "SIG$signal at seven moments of start-up: ended with status 0 every time"
done
