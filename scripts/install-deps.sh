#!/usr/bin/env bash
# Installs what building, testing and running the project needs on Debian 12.
# Does nothing when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  qtbase5-dev qtbase5-dev-tools libqt5svg5-dev
  # libqt6gui6 holds Qt 6's xcb and offscreen platform plug-ins
  qt6-base-dev qt6-base-dev-tools libqt6gui6 libqt6svg6 qt6-wayland
  libjsoncpp-dev libgtest-dev libbenchmark-dev
  dbus dbus-x11 libdbus-1-dev dunst libnotify-bin libnotify-dev
  xvfb xauth x11-utils x11-xserver-utils xdotool trayer xcompmgr imagemagick fonts-dejavu-core
  # the popup as assistive technologies see it: the accessibility bus, its
  # Python client and a screen reader
  at-spi2-core python3-pyatspi orca
  liblnk-utils libimage-exiftool-perl binutils file lintian
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 python3
  sway grim qtwayland5
  # the Windows build run as Windows runs it
  wine wine64
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "installing: ${missing[*]}"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
