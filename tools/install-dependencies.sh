#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -euo pipefail
# The second line is the toolkit's Wayland support (X11's comes with qt6-base-dev); the
# third is the desktop test tier: a private X server, a window manager, and X clients that
# read the clipboard and press keys.
packages=(cmake g++ make pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev
          qt6-wayland
          xvfb xauth openbox x11-utils xclip xdotool libxcb1-dev)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_prefix=""
  [ "$(id -u)" -ne 0 ] && sudo_prefix="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_prefix apt-get update -q
  $sudo_prefix apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
