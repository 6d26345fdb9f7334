#!/usr/bin/env bash
# Builds JOV (release, in build/) and starts it. Without a display, JOV runs on a virtual X
# display; a screenshot is saved to build/jov.png once the window is up.
set -euo pipefail
cd "$(dirname "$0")"

scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target jov Hook jov_data

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec build/bin/jov "$@"
fi

echo "No display found: starting JOV on a virtual X display (Xvfb)."
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT INT TERM

Xvfb -displayfd 4 -screen 0 1024x768x24 -nolisten tcp 4>/tmp/jov-run-display.$$ &
pids+=($!)
for _ in $(seq 50); do [ -s /tmp/jov-run-display.$$ ] && break; sleep 0.1; done
export DISPLAY=":$(cat /tmp/jov-run-display.$$)"
rm -f /tmp/jov-run-display.$$
echo "Virtual display $DISPLAY"
openbox >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.1
done
build/bin/jov "$@" &
jov=$!
pids+=($jov)
for _ in $(seq 200); do
  xdotool search --all --onlyvisible --pid "$jov" --name '^JOV' >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1
import -window root build/jov.png && echo "Screenshot saved to build/jov.png"
echo "JOV is running on $DISPLAY; press Ctrl+C to stop."
wait "$jov"
