#!/usr/bin/env bash
# Runs the pipette benchmark on a private virtual display. Usage: bench/pipette.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
fdfile=$(mktemp)
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$fdfile" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$fdfile"' EXIT
for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
export XDG_CONFIG_HOME=$(mktemp -d)
DISPLAY=":$(cat "$fdfile")" "$build/bin/bench_pipette"
rm -rf "$XDG_CONFIG_HOME"
