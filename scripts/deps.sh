#!/usr/bin/env bash
# Installs the Debian packages JOV needs, when any is missing: to build and run it (what
# ./run.sh needs, with a virtual display for machines without one), and with --tests also what
# the tests, the sanitizer build and the packaging checks need (what ./test.sh needs).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n qt6-tools-dev qt6-l10n-tools libgl-dev libx11-dev libxi-dev libxfixes-dev libxcb-damage0-dev
  xvfb openbox xdotool x11-utils imagemagick fonts-dejavu-core
)
if [ "${1:-}" = "--tests" ]; then
  packages+=(
    clang libclang-rt-14-dev clang-format clang-tidy
    wmctrl xclip x11-xserver-utils strace libsm-dev
    desktop-file-utils appstream librsvg2-bin dpkg-dev file
    dbus dbus-daemon weston xwayland qt6-wayland at-spi2-core python3-pyatspi
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
