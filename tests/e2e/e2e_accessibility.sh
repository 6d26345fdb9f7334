#!/usr/bin/env bash
# The program as a screen reader reads it from the accessibility bus: the window is a frame, each
# control is named by the text it shows (a glyph button by its hint), the sixteen slots by their
# number with the marked one selected, the status bar's texts follow a paste and a copy, a
# button that opens a modal dialog answers "Press" at once, and what compact mode hides is
# neither showing nor focusable.
source "$(dirname "$0")/lib.sh"

start_x
start_session_bus
start_atspi
start_jov

HERE=$(cd "$(dirname "$0")" && pwd)
# The tree once more, and no line matching $1 in it; $2 says what it is.
refuse_tree() {
  atspi_tree >"$E2E_TMP/tree.txt"
  if grep -P "$1" "$E2E_TMP/tree.txt"; then fail "$2"; fi
}

expect_tree "^ frame\tJOV - SansNom\t" "the main window"
expect_tree "^\s*check box\tCopie valeur seule\tExtrait la valeur seule \(code\) \(Ctrl L\)\t" \
  "the value-only check box"
expect_tree "^\s*radio button\tHEXA\tSélectionne le format HEXA\t" "the HEXA radio button"
expect_tree "^\s*push button\tOptions du programme \(Ctrl E\)\t" "the options button"
refuse_tree "^\s*(push button|image|panel|frame|separator|spin button)\t\t" \
  "an unnamed control in the main window"
pass "a frame; controls named by their labels, glyph buttons by their hints, none unnamed"

for n in $(seq 16); do
  grep -qP "^\s*push button\tCouleur personnalisée $n\t#FFFFFF\tshowing$" "$E2E_TMP/tree.txt" ||
    fail "slot $n is not named by its number, white and unselected"
done
click_at $((56 + 24 * 2 + 11)) 98 # slot 3
expect_tree "^\s*push button\tCouleur personnalisée 3\t#FFFFFF\tshowing,selected$" \
  "the marked slot"
[ "$(grep -c selected "$E2E_TMP/tree.txt")" = 1 ] || fail "more than one slot selected"
pass "the slots named by their number, their colour as description, the marked one selected"

clip_in "#123456"
xdotool key --clearmodifiers ctrl+v
expect_tree "^\s*status bar\tImportation effectuée\t" "the status bar after a paste"
for text in "Importation effectuée" "0x00563412" "#123456" "RGB\(18,52,86\)"; do
  grep -qP "^\s*label\t$text\t" "$E2E_TMP/tree.txt" || fail "no status panel '$text'"
done
xdotool key --clearmodifiers ctrl+c
expect_tree "^\s*status bar\tCopie effectuée\t" "the status bar after a copy"
expect_tree "^\s*label\tCopie effectuée\t" "the message panel after a copy"
pass "the status bar's panels and its message after a paste and a copy"

took=$(/usr/bin/python3 "$HERE/atspi.py" press "$JOV_PID" "Options du programme (Ctrl E)") ||
  fail "Press on the options button failed"
awk -v t="$took" 'BEGIN { exit !(t < 2) }' || fail "Press on the options button took $took s"
expect_tree "^ dialog\tOptions\t" "the options dialog opened by Press"
for label in Ok Annuler "A propos"; do
  grep -qP "^\s*push button\t$label\t\S" "$E2E_TMP/tree.txt" || fail "no button '$label'"
done
grep -qP "^\s*check box\tAfficher la loupe pendant la pipette\tMontre les pixels" \
  "$E2E_TMP/tree.txt" || fail "the loupe's check box is not named by its label"
xdotool key Escape
wait_for 10 sh -c "! xdotool search --all --onlyvisible --pid $JOV_PID | grep -v $JOV_WIN" ||
  fail "the options dialog did not close"
pass "Press on the options button answered in $took s; the dialog's buttons named by their labels"

xdotool key --clearmodifiers ctrl+r
expect_tree "^\s*push button\tAgrandit la fenêtre du programme \(Ctrl R\)\t" "compact mode"
hidden="slider|spin button|text|check box|radio button|push button\t(Augmenter|Diminuer|Copie la)"
refuse_tree "^\s*($hidden).*\t\S*(showing|focusable)\S*$" \
  "a control hidden in compact mode is showing or focusable"
grep -qP "^\s*slider\tRègle le rouge\t\t$" "$E2E_TMP/tree.txt" || fail "the red slider is gone"
xdotool key --clearmodifiers ctrl+r
expect_tree "^\s*slider\tRègle le rouge\t\tshowing,focusable$" "the red slider back"
pass "compact mode: the hidden controls neither showing nor focusable, and back after"
close_jov
