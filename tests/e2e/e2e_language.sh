#!/usr/bin/env bash
# The program speaks the user's first language when it has a catalogue for it (English), and
# French otherwise: the captions and hints of the window and the options dialog, a status
# message, Qt's own buttons in the colour dialog and the file dialog's types and sizes, read
# from the accessibility bus as a screen reader reads them.
# The settings store is the same, byte for byte, whatever the language.
source "$(dirname "$0")/lib.sh"

mkdir -p "$HOME/Documents/sub"
printf 'JASC-PAL\r\n0100\r\n16\r\n' >"$HOME/Documents/p.pal"
# The command line, without a display.
env -u DISPLAY LANG=en_US.UTF-8 "$JOV" --help | grep -q '^Usage: jov \[options\]' ||
  fail "the English help"
[ "$(env -u DISPLAY LANG=C "$JOV" --bogus 2>&1 | head -n1)" = "jov : option inconnue : --bogus" ] ||
  fail "the French usage error"
[ "$(env -u DISPLAY LANG=en_GB.UTF-8 "$JOV" --bogus 2>&1 | head -n1)" = "jov: unknown option: --bogus" ] ||
  fail "the English usage error"
pass "the command line's help and errors in each language"

# The help's opener: a stand-in that notes the environment it was given.
mkdir -p "$E2E_TMP/stand-in"
printf '#!/bin/sh\nenv >"%s/opener.env"\n' "$E2E_TMP" >"$E2E_TMP/stand-in/xdg-open"
chmod +x "$E2E_TMP/stand-in/xdg-open"
export PATH="$E2E_TMP/stand-in:$PATH"
start_x
start_session_bus
start_atspi

# Waits until the program's accessibility tree has an object of role $1 whose name or
# description is the text $2 (a Perl regular expression); $3 says what it is.
expect_object() { expect_tree "^\s*$1\t(.*\t)?$2\t" "$LANG_NAME, $3"; }
# Opens a dialog with the keys $1, checks that it holds a $2 '$3' (and a $4 '$5') and closes
# it with Escape.
expect_dialog() {
  xdotool key --clearmodifiers "$1"
  expect_object "$2" "$3" "after $1"
  [ $# -lt 5 ] || expect_object "$4" "$5" "after $1"
  xdotool key Escape
  wait_for 10 sh -c "! xdotool search --all --onlyvisible --pid $JOV_PID | grep -v $JOV_WIN" ||
    fail "$LANG_NAME: the dialog of $keys did not close"
}

# Runs the program as $1 with the environment $2 (assignments) and checks its texts: the
# settings box $3, the export box $4, the value-only check box $5, the options button's hint $6,
# the cancel button $7 of the options and colour dialogs, the loupe's check box $8; in the open
# dialog's list, a folder's type $9, a size in ${10} and a file's type ${11}; the status
# message of a copy ${12}.
run_in() {
  LANG_NAME=$1
  export XDG_CONFIG_HOME="$E2E_TMP/config-$1"
  mkdir -p "$XDG_CONFIG_HOME"
  # shellcheck disable=SC2206 # the assignments are words
  JOV_LAUNCH=(env --default-signal=INT,QUIT $2)
  start_jov
  expect_object panel "$3" "the settings box"
  expect_object panel "$4" "the export box"
  expect_object "check box" "$5" "the value-only check box"
  expect_object "push button" "$6" "the options button's hint"
  expect_dialog ctrl+e "push button" "$7" "check box" "$8"
  expect_dialog ctrl+p "push button" "$7"
  xdotool key --clearmodifiers ctrl+o
  wait_for 10 sh -c "xdotool search --all --onlyvisible --pid $JOV_PID | grep -v $JOV_WIN" ||
    fail "$1: no open dialog"
  xdotool type "$HOME/Documents/"
  xdotool key Return
  expect_object "table cell" "$9" "the open dialog's folder type"
  expect_object "table cell" "${10}" "the open dialog's file size"
  expect_object "table cell" "${11}" "the open dialog's file type"
  # Escape closes the name's completion list first, then the dialog.
  wait_for 10 sh -c "xdotool key Escape; sleep 0.2
    ! xdotool search --all --onlyvisible --pid $JOV_PID | grep -v $JOV_WIN" ||
    fail "$1: the open dialog did not close"
  # The same actions in every language: a pasted colour, the value alone, the RGB format.
  clip_in "#123456"
  xdotool key --clearmodifiers ctrl+v ctrl+l
  click_at 491 273 # RadioRgb
  expect_colour "18,52,86" "$1"
  expect_object "status bar" "${12}" "the status message of a copy"
  [ -n "${KEEP_RUNNING:-}" ] || close_jov
  pass "$1: the window, the options dialog and the colour dialog in its language"
}

run_in english LANG=en_US.UTF-8 Settings Export "Copy value only" "Program options \(Ctrl E\)" \
  Cancel "Show the magnifier while picking" Folder "20 bytes" unknown \
  Copied
for lang in C fr_FR.UTF-8; do
  run_in "$lang" "LANG=$lang" Réglages Exportation "Copie valeur seule" \
    "Options du programme \(Ctrl E\)" Annuler "Afficher la loupe pendant la pipette" Dossier \
    "20 octets" inconnu "Copie effectuée"
done
# A language without a catalogue, with English further down the user's list: French.
KEEP_RUNNING=1 run_in german "LANGUAGE=de:en LANG=de_DE.UTF-8" Réglages Exportation "Copie valeur seule" \
  "Options du programme \(Ctrl E\)" Annuler "Afficher la loupe pendant la pipette" Dossier \
    "20 octets" inconnu "Copie effectuée"

# The programs it starts get the user's own environment back, not the language it chose.
xdotool key --clearmodifiers ctrl+a
wait_for 10 test -s "$E2E_TMP/opener.env" || fail "help started no opener"
grep -qx 'LANGUAGE=de:en' "$E2E_TMP/opener.env" && ! grep -q '^LC_ALL=' "$E2E_TMP/opener.env" ||
  fail "the opener got the program's language: $(grep -E '^(LANGUAGE|LC_ALL)=' "$E2E_TMP/opener.env")"
close_jov
pass "the help's opener got the user's environment"

store() { echo "$E2E_TMP/config-$1/Corvel Astine/JOV.reg"; }
for lang in C fr_FR.UTF-8 german; do
  cmp "$(store english)" "$(store "$lang")" || fail "the store written in $lang differs from the English one"
done
pass "the same store in every language"
