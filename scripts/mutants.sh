#!/usr/bin/env bash
# Plants each fault of the list below, one at a time, in a scratch copy of the tree, rebuilds
# and runs the unit and widget tests there, and says which faults the tests catch. The working
# tree is never touched: the copy lives in a temporary folder removed at the end. Not part of
# ./test.sh; it takes a full build and one rebuild per fault.
#
#   scripts/mutants.sh [-j jobs]        (one job by default; runs under nice)
#
# A fault is one exact text of one file replaced by another; the text must occur exactly once.
# A fault that does not build counts as neither caught nor missed.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=1
[ "${1:-}" = "-j" ] && jobs=$2

# file <TAB> text <TAB> replacement <TAB> what the fault is
faults=$(
  cat <<'EOF'
src/color/ColorValue.h	return r > 25 ? v - r + 51 : v - r;	return r >= 25 ? v - r + 51 : v - r;	web-safe rounding: 25 goes up
src/color/NumberText.cpp	        if (value > 0xFFFFFFFFu)	        if (value > 0x7FFFFFFFu)	hexadecimal numbers stop at 31 bits
src/color/ColorText.cpp	    return int(negative ? 0u - *value : *value);	    return int(*value);	a sign before hexadecimal digits is dropped
src/persistence/PaletteFile.cpp	line == "0100"	line.startsWith("01")	palette version line checked loosely
src/persistence/RegistryStore.cpp	for (qsizetype i = MaxBackups; i < backups.size(); ++i) {	for (qsizetype i = MaxBackups + 1; i < backups.size(); ++i) {	one backup kept too many
src/persistence/Options.h	qint32 gradientDivisor = 16;	qint32 gradientDivisor = 15;	wrong default gradient divisor
src/x11/PixelDecoder.cpp	const int byte = msbFirst ? i : bytes - 1 - i;	const int byte = msbFirst ? bytes - 1 - i : i;	image byte order reversed
src/hook/HookRecord.cpp	return TMouseHookRecord{r.msg, r.x, r.y, r.handleWindow	return TMouseHookRecord{r.msg, r.y, r.x, r.handleWindow	record's x and y swapped
src/controls/Loupe.cpp	return luma >= 128 ? QColor(Qt::black)	return luma > 128 ? QColor(Qt::black)	loupe text colour at brightness 128
src/controls/LoupeGeometry.cpp	const int start = roomAfter >= roomBefore ? after : before;	const int start = roomAfter > roomBefore ? after : before;	loupe side on equal room
src/dialogs/Options.cpp	constexpr int MaximumStep = 64;	constexpr int MaximumStep = 63;	options dialog caps the gradient step at 63
src/mainwindow/CustomSlots.cpp	    if (m_options.clickApplies)	    if (!m_options.clickApplies)	single click applies the slot the wrong way round
src/mainwindow/MainForm.cpp	m_ctrlHeld = modifiers.testFlag(Qt::ControlModifier) || key == Qt::Key_Control;	m_ctrlHeld = modifiers.testFlag(Qt::ControlModifier);	Ctrl's own press not seen as Ctrl held
src/mainwindow/FormServices.cpp	    dialog.setIconProvider(&icons);	    // dialog.setIconProvider(&icons);	palette dialogs read the files they list to name their types
src/mainwindow/FormServices.cpp	        if (key.isEmpty() || button->icon().isNull())	        if (button)	palette dialogs get new button icons each run (Qt's pixmap cache keeps their keys)
src/portal/PortalResults.cpp	return int(std::lround(clamped * 255.0));	return int(clamped * 255.0);	portal colour truncated instead of rounded
EOF
)

scratch=$(mktemp -d "${TMPDIR:-/tmp}/jov-mutants.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
git ls-files -z | tar --null -T - -cf - | tar -xf - -C "$scratch"
cd "$scratch"

build() { nice -n 10 cmake --build build -j "$jobs" >build.log 2>&1; }
skip='^$'
run_tests() {
  (cd build && nice -n 10 ctest -L 'unit|widget' -E "$skip" --stop-on-failure >test.log 2>&1)
}

echo "Scratch copy in $scratch; building it (this takes a while)."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DJOV_E2E=OFF >/dev/null
build || { echo "The unchanged copy does not build."; exit 2; }
# A test that fails on the unchanged copy (a display server that cannot start, say) says
# nothing about the faults: it is left out.
if ! (cd build && nice -n 10 ctest -L 'unit|widget' >test.log 2>&1); then
  failing=$(sed -n 's/^[0-9]*://p' build/Testing/Temporary/LastTestsFailed.log | paste -sd'|')
  echo "Left out, failing without any fault: $failing"
  skip="^($failing)\$"
fi

caught=0 missed=0 broken=0
while IFS=$'\t' read -r file from to what; do
  [ -n "$file" ] || continue
  cp "$file" "$file.orig"
  if ! python3 - "$file" "$from" "$to" <<'PY'; then
import sys
path, old, new = sys.argv[1:]
text = open(path, encoding="utf-8").read()
if text.count(old) != 1:
    sys.exit(1)
open(path, "w", encoding="utf-8").write(text.replace(old, new))
PY
    echo "??     $what ($file: the text is not there exactly once)"
    broken=$((broken + 1))
    rm "$file.orig"
    continue
  fi
  if ! build; then
    echo "--     $what (does not build)"
    broken=$((broken + 1))
  elif run_tests; then
    echo "MISSED $what ($file)"
    missed=$((missed + 1))
  else
    echo "caught $what"
    caught=$((caught + 1))
  fi
  mv "$file.orig" "$file"
  touch "$file" # newer than the objects built from the fault, so that they are rebuilt
done <<<"$faults"

total=$((caught + missed))
echo "Caught $caught of $total faults that build ($((total ? 100 * caught / total : 0)) %); $broken not counted."
