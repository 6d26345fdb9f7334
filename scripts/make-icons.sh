#!/usr/bin/env bash
# Draws the PNG icon sizes from resources/icons/jov.svg (the source of the program's icon):
# resources/icons/jov-<size>.png for the hicolor theme and the window icon. Run it after
# changing the SVG and commit the PNG files with it; the install tests check they agree.
# With --check, draws into a temporary folder and fails when a committed file differs.
set -euo pipefail
cd "$(dirname "$0")/.."
sizes=(16 22 24 32 48 64 128 256)
out=resources/icons
if [ "${1:-}" = "--check" ]; then
  out=$(mktemp -d)
  trap 'rm -rf "$out"' EXIT
fi
for s in "${sizes[@]}"; do
  rsvg-convert -w "$s" -h "$s" resources/icons/jov.svg -o "$out/jov-$s.png"
done
[ "${1:-}" = "--check" ] || exit 0
status=0
for s in "${sizes[@]}"; do
  # A few pixels may differ between renderer versions; a changed drawing differs in many.
  diff=$(compare -metric AE -fuzz 8% "$out/jov-$s.png" "resources/icons/jov-$s.png" null: 2>&1) ||
    true
  if ! [[ "$diff" =~ ^[0-9]+$ ]] || [ "$diff" -gt $((s * s / 50)) ]; then
    echo "resources/icons/jov-$s.png does not match jov.svg ($diff pixels differ):" \
      "run scripts/make-icons.sh" >&2
    status=1
  fi
done
exit $status
