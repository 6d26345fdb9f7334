#!/usr/bin/env bash
# The session is never lost and two windows keep each other's work. The program told to stop
# with TERM, HUP or INT after changes (a colour typed, a slot stored: a modified palette) exits
# 0 at once, without asking anything, and the store holds the changes; so does the end of the
# session told by a real session manager (XSMP), to which the program registered. Two instances on one
# settings folder, each changing a different value and closing in either order: both changes
# are in the store; both changing the same value: the last close wins.
source "$(dirname "$0")/lib.sh"

STORE="$XDG_CONFIG_HOME/Corvel Astine/JOV.reg"
slot_x() { echo $((54 + 2 + 24 * ($1 - 1) + 11)); }

# The store's value line for a name, e.g. store_value Op01 -> "dword:00000012".
store_value() { sed -n "s/^\"$1\"=//p" "$STORE" | tr -d '\r'; }
expect_value() {
  [ "$(store_value "$1")" = "$2" ] || fail "$3: $1 is '$(store_value "$1")', expected '$2'"
}
# Types a colour into the window through the clipboard.
paste_colour() {
  xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
  wait_for 10 is_active "$1" || fail "window $1 did not get the keyboard"
  paste_text "$2"
}
# Waits for the program to end; its exit status in $rc.
wait_exit() {
  wait_for 10 eval "! kill -0 $1" || fail "JOV did not end"
  rc=0
  wait "$1" || rc=$?
}

start_x

# One run per signal, each with its own colour and slot. A normal close of a modified palette
# would ask whether to save it: nobody may be there to answer.
while read -r signal colour slot bgr; do
  start_jov
  paste_colour "$JOV_WIN" "#$colour"
  click_at "$(slot_x "$slot")" 98
  click_at 462 97 # BtnPlus: the slot takes the colour
  wait_title "JOV - SansNom *"
  kill "-$signal" "$JOV_PID"
  wait_exit "$JOV_PID"
  [ "$rc" = 0 ] || fail "SIG$signal: exit status $rc"
  expect_value Op01 "dword:000000${colour:0:2}" "SIG$signal"
  expect_value Op02 "dword:000000${colour:2:2}" "SIG$signal"
  expect_value Op03 "dword:000000${colour:4:2}" "SIG$signal"
  expect_value "Couleur$(printf "\\x$(printf %x $((64 + slot)))")" "dword:00$bgr" "SIG$signal"
  grep -q '^"NormPos"=' "$STORE" || fail "SIG$signal: no placement"
  pass "SIG$signal: exit 0 without a question, colour #$colour and slot $slot in the store"
done <<'EOF'
TERM 123456 2 563412
HUP 0a0b0c 5 0c0b0a
INT fedcba 16 badcfe
EOF
# The slots of the earlier runs survived the later ones.
expect_value CouleurB dword:00563412 "after three runs"
expect_value CouleurE dword:000c0b0a "after three runs"

# A session manager, which the program finds through SESSION_MANAGER. It makes its socket file
# in /tmp/.ICE-unix: it runs in a mount namespace of its own, on an empty /tmp, and names its
# abstract socket, which the program reaches from outside. It is opened before /tmp is covered
# and started from that descriptor, since the build tree may itself lie under /tmp.
SM=${JOV_SESSION_MANAGER:-$(dirname "$JOV")/../tests/session_manager}
unshare --mount --propagation private \
  sh -c 'exec 3<"$0" && mount -t tmpfs tmpfs /tmp && exec /proc/self/fd/3' "$SM" \
  >"$E2E_TMP/sm.out" 2>&1 &
SM_PID=$!
E2E_PIDS+=($SM_PID)
wait_for 10 grep -q '^SESSION_MANAGER=local/.*:@' "$E2E_TMP/sm.out" ||
  fail "the session manager did not start: $(cat "$E2E_TMP/sm.out")"
JOV_LAUNCH=(env --default-signal=INT,QUIT "$(grep '^SESSION_MANAGER=' "$E2E_TMP/sm.out")")
start_jov
JOV_LAUNCH=(env --default-signal=INT,QUIT)
wait_for 10 grep -q '^registered' "$E2E_TMP/sm.out" || fail "the program did not register"
paste_colour "$JOV_WIN" "#1A2B3C"
click_at "$(slot_x 9)" 98
click_at 462 97
wait_title "JOV - SansNom *"
# The end of the session: save yourself for a shutdown, no interaction; then die.
kill -USR1 "$SM_PID"
wait_exit "$JOV_PID"
[ "$rc" = 0 ] || fail "end of session: exit status $rc"
wait_for 10 grep -q '^session-ended' "$E2E_TMP/sm.out" || fail "the session did not end: $(cat "$E2E_TMP/sm.out")"
grep -qx 'save-done 1' "$E2E_TMP/sm.out" || fail "the program did not report a good save: $(cat "$E2E_TMP/sm.out")"
expect_value Op01 dword:0000001a "end of session"
expect_value Op03 dword:0000003c "end of session"
expect_value CouleurI dword:003c2b1a "end of session"
pass "end of session through the session manager: registered, saved, exit 0"

# Two instances, A and B, on the same store.
start_two() {
  start_jov
  A_PID=$JOV_PID A_WIN=$JOV_WIN
  start_jov
  B_PID=$JOV_PID B_WIN=$JOV_WIN
  [ "$A_WIN" != "$B_WIN" ] || fail "both instances share a window"
}
close_one() {
  JOV_PID=$1 JOV_WIN=$2
  close_jov
}

# Different values: A the colour, B "Copie valeur seule" (Op04); both orders.
for order in AB BA; do
  before=$(store_value Op04)
  start_two
  red=${order,,}; red=1${red:0:1} # 1a or 1b: which order wrote it
  paste_colour "$A_WIN" "#${red}2233"
  xdotool windowactivate --sync "$B_WIN" >/dev/null 2>&1 || true
  wait_for 10 is_active "$B_WIN" || fail "B did not get the keyboard"
  JOV_WIN=$B_WIN click_at 105 273 # CheckValeur toggles
  if [ "$order" = AB ]; then close_one "$A_PID" "$A_WIN"; close_one "$B_PID" "$B_WIN"
  else close_one "$B_PID" "$B_WIN"; close_one "$A_PID" "$A_WIN"; fi
  expect_value Op01 "dword:000000$red" "two instances closed $order"
  [ "$(store_value Op04)" != "$before" ] || fail "two instances closed $order: B's Op04 lost"
  pass "two instances, closed $order: A's colour and B's option both kept"
done

# The same value: the last close wins.
start_two
paste_colour "$A_WIN" "#AA0000"
paste_colour "$B_WIN" "#BB0000"
close_one "$B_PID" "$B_WIN"
expect_value Op01 dword:000000bb "B closed first"
close_one "$A_PID" "$A_WIN"
expect_value Op01 dword:000000aa "A closed last"
pass "both changing the colour: the last close wins"
