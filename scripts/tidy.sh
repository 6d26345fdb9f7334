#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) over the program's own sources, using the compile commands of
# a release build in build/ (configured here when missing). Exits non-zero on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/compile_commands.json ] ||
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
# Generated sources (moc, resources, the version header) must exist for the includes.
cmake --build build --target jov Hook >/dev/null
mapfile -t files < <(git ls-files 'src/*.cpp' 'hooklib/*.cpp')
printf '%s\n' "${files[@]}" |
  xargs -P "$(nproc)" -n 4 clang-tidy -p build --quiet 2>/dev/null
echo "clang-tidy: ${#files[@]} files clean."
