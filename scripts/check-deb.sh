#!/usr/bin/env bash
# Builds the Debian package from build/, installs it, runs the installed
# toastctl, and removes the package again. Needs root; changes the system
# while it runs, so test.sh calls it only on CI or when asked (--deb).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

if dpkg-query -W -f='${Status}' systemnotifytoast 2>/dev/null | grep -q "install ok installed"; then
  echo "check-deb: systemnotifytoast is already installed here; not touching it" >&2
  exit 1
fi
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/systemnotifytoast_*_"$(dpkg --print-architecture)".deb | head -n1)
echo "package: $deb"

trap 'dpkg -r systemnotifytoast >/dev/null 2>&1 || true' EXIT
dpkg -i "$deb" >/dev/null
expect() { # command output
  local got
  got=$(cd / && "${@:1:$#-1}")
  [ "$got" = "${*: -1}" ] || { echo "check-deb: '${*:1:$#-1}' said '$got', expected '${*: -1}'" >&2; exit 1; }
}
expect /usr/bin/toastctl --platform-version 6.3.9600 supported '{"supported":false}'
expect /usr/bin/toastctl --platform-version 10.0.10240 supported '{"supported":true}'
pkg-config --exists systemnotifytoast
dpkg -r systemnotifytoast >/dev/null
trap - EXIT
if ls /usr/lib/libsystemnotifytoast.so /usr/bin/toastctl >/dev/null 2>&1; then
  echo "check-deb: files left behind after removal" >&2
  exit 1
fi
echo "check-deb: installs, answers and removes cleanly"
