#!/usr/bin/env bash
# Installs what Abonix needs to build, run and test on Debian 12.
set -euo pipefail
packages=(
  build-essential cmake ninja-build clang pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev
  libsdl2-dev libfreetype-dev libfontconfig-dev libpng-dev fonts-liberation
  pxlib-dev xvfb xdotool x11-utils x11-xserver-utils
  x11-xkb-utils
  xclip
  libx11-dev libxext-dev libxdamage-dev
  libxcursor-dev libxi-dev libxfixes-dev libxrandr-dev
  desktop-file-utils
  xdg-utils
  openbox
  time
  sqlite3
)
# The clean Debian 12 root the package is installed on (scripts/test.sh, ABONIX_DEB_ROOT).
if [ "${ABONIX_DEB_ROOT:-${ABONIX_SLOW:-0}}" = 1 ]; then packages+=(debootstrap); fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update
  $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi
