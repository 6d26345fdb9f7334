#!/usr/bin/env bash
# Fails while a catalogue is not up to date with the code or not whole: lupdate, run on a copy
# as `update_translations` runs it, must change nothing (no text of the code missing, no text
# the code no longer has), and lrelease must find no unfinished translation.
#   check_translations.sh LUPDATE LRELEASE SOURCE-LIST "LUPDATE-OPTIONS" CATALOGUE...
set -euo pipefail
lupdate=$1 lrelease=$2 sources=$3 options=$4
shift 4
scratch=$(mktemp -d /tmp/jov-translations.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
status=0
for catalogue in "$@"; do
  name=$(basename "$catalogue")
  cp "$catalogue" "$scratch/$name"
  # shellcheck disable=SC2086 # the options are words
  "$lupdate" $options "@$sources" -ts "$scratch/$name" >"$scratch/lupdate.log" 2>&1 ||
    { cat "$scratch/lupdate.log"; exit 1; }
  if ! cmp -s "$catalogue" "$scratch/$name"; then
    echo "FAIL: $name is not up to date with the code (cmake --build build --target update_translations):"
    diff -u "$catalogue" "$scratch/$name" | head -60 || true
    status=1
  fi
  "$lrelease" "$catalogue" -qm "$scratch/${name%.ts}.qm" >"$scratch/lrelease.log" 2>&1
  if ! grep -q "Generated [0-9]* translation(s) ([0-9]* finished and 0 unfinished)" "$scratch/lrelease.log"; then
    echo "FAIL: $name has unfinished translations:"
    cat "$scratch/lrelease.log"
    status=1
  fi
  [ $status -eq 0 ] && echo "ok: $name up to date and whole"
done
exit $status
