#!/usr/bin/env bash
# Runs the pipette benchmark on a private virtual display whose background is in 1-pixel
# stripes of two colours, so that every pixel the pointer moves changes the sample and the
# loupe's picture (the costly case). Usage: bench/pipette.sh [BUILD_DIR] [PROGRAM]; PROGRAM is
# bench_pipette unless given (bench_loupe measures the loupe alone).
set -euo pipefail
build=${1:-build}
fdfile=$(mktemp)
stripes=$(mktemp)
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset 5>"$fdfile" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$fdfile" "$stripes"' EXIT
for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$fdfile")"
printf '#define s_width 2\n#define s_height 2\nstatic unsigned char s_bits[] = {\n   0x01, 0x02};\n' >"$stripes"
xsetroot -bitmap "$stripes" -fg '#FF2020' -bg '#2040FF'
export XDG_CONFIG_HOME=$(mktemp -d)
# The machine may be shared: the load says how far the figures can be trusted.
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bin/${2:-bench_pipette}"
echo "load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"
rm -rf "$XDG_CONFIG_HOME"
