#!/usr/bin/env bash
# Installs the Debian packages JOV needs to build, run and test, when any is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev libx11-dev libxi-dev
  clang libclang-rt-14-dev clang-format clang-tidy
  xvfb openbox xdotool wmctrl xclip x11-utils x11-xserver-utils imagemagick strace
  fonts-dejavu-core
  desktop-file-utils appstream librsvg2-bin dpkg-dev file
  dbus dbus-daemon weston xwayland qt6-wayland
)

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
