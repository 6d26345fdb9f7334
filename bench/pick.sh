#!/usr/bin/env bash
# Runs the pick start-up benchmark on a private virtual display (no window manager, so only the
# program itself is measured). Usage: bench/pick.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-9}
fdfile=$(mktemp)
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$fdfile" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$fdfile"' EXIT
for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
DISPLAY=":$(cat "$fdfile")" "$build/bin/bench_pick" "$build/bin/jov" "$runs"
