#!/usr/bin/env bash
# The real program killed (SIGKILL) at random moments around its close, while it saves its
# settings, many times: the store file is never truncated or empty.
source "$(dirname "$0")/lib.sh"

start_x
start_jov
close_jov
store="$XDG_CONFIG_HOME/Corvel Astine/JOV.reg"
[ -s "$store" ] || fail "no store after a normal close"

check_store() {
  [ -s "$store" ] || fail "store empty after kill $1"
  head -n1 "$store" | grep -q "Windows Registry Editor Version 5.00" || fail "store header lost after kill $1"
  grep -q '^"Version"="3.0.0.0"' "$store" || fail "store truncated after kill $1"
  grep -q '^"Op32"=' "$store" || fail "store truncated after kill $1"
  grep -q '^"NormPos"=' "$store" || fail "placement lost after kill $1"
}

for i in $(seq 20); do
  start_jov
  wmctrl -i -c "$JOV_WIN"
  sleep "0.00$((RANDOM % 10))"
  kill -9 "$JOV_PID" 2>/dev/null || true
  wait "$JOV_PID" 2>/dev/null || true
  check_store "$i"
done
pass "20 kills around the save, the store stayed whole"
