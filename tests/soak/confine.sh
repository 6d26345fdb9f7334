#!/bin/sh
# confine.sh DIR COMMAND [ARGS...]: runs COMMAND in a private mount namespace in which every
# file system is read-only except DIR (and the kernel's /proc and /sys), so that whatever a
# monkey does in the program's file dialogs (new folders, saves, renames, deletions anywhere it
# can browse to) cannot touch the machine. Refuses to run COMMAND when that cannot be set up.
# The command keeps this process: its pid is the one the caller started.
set -eu
dir=$(cd "$1" && pwd)
shift
exec unshare --mount --propagation private sh -c '
  dir=$1; shift
  mount --bind "$dir" "$dir" || exit 97
  for target in $(awk "{ print \$5 }" /proc/self/mountinfo | sort -u); do
    case "$target" in /proc | /proc/* | /sys | /sys/* | "$dir") continue ;; esac
    mount -o remount,bind,ro "$target" 2>/dev/null || true
  done
  # Nothing runs unless the root really is read-only here.
  if touch /.jov-confine-probe 2>/dev/null; then rm -f /.jov-confine-probe; exit 98; fi
  exec "$@"' sh "$dir" "$@"
