#!/usr/bin/env bash
# Builds JOV, runs clang-tidy over its sources and every test tier through CTest: unit, widget,
# end-to-end and install tests on a release build (build/), then unit and widget tests, the
# fuzzers and a short soak of the real program under AddressSanitizer and
# UndefinedBehaviorSanitizer on a clang build (build-asan/). Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc)

scripts/deps.sh --tests
scripts/check-format.sh

echo "== release build: unit, widget, e2e, install"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$jobs"
scripts/tidy.sh
(cd build && ctest --output-on-failure -j "$jobs" -L 'unit|widget')
(cd build && ctest --output-on-failure -L e2e)
(cd build && ctest --output-on-failure -L install)

echo "== sanitizer build: unit, widget, fuzz, soak"
CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DJOV_SANITIZE=ON -DJOV_FUZZ=ON -DJOV_E2E=OFF >/dev/null
cmake --build build-asan -j "$jobs"
(cd build-asan && ctest --output-on-failure -j "$jobs" -L 'unit|widget|fuzz|soak')
echo "All test tiers passed."
