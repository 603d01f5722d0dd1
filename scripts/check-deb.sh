#!/usr/bin/env bash
# Builds the Debian package of each build folder given (default build/),
# checks it with lintian (any error or warning fails), installs them all side
# by side, runs each installed toastctl, and removes the packages again. Needs
# root; changes the system while it runs, so test.sh calls it only on CI or
# when asked (--deb).
#   scripts/check-deb.sh [BUILD_DIR...]     e.g. build build-qt6
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -gt 0 ] || set -- build
arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
fail() { echo "check-deb: $*" >&2; exit 1; }

pkgs=() debs=()
for build in "$@"; do
  # systemnotifytoast, or systemnotifytoast-qt6 for a Qt 6 build.
  pkg=$(sed -n 's/^set(CPACK_PACKAGE_NAME "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
  [ -n "$pkg" ] || fail "$build has no package configured"
  if dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    fail "$pkg is already installed here; not touching it"
  fi
  rm -f "$build/${pkg}"_*.deb "$build/${pkg}"-dbgsym_*.ddeb
  (cd "$build" && cpack -G DEB >/dev/null)
  deb=$(ls "$build/${pkg}"_*_"$arch".deb)
  dbgsym=$(ls "$build/${pkg}"-dbgsym_*_"$arch".ddeb)
  echo "package: $deb ($(du -k "$deb" | cut -f1) KiB), debug symbols: $dbgsym ($(du -k "$dbgsym" | cut -f1) KiB)"
  status=0
  report=$(lintian --fail-on error,warning "$deb" "$dbgsym" 2>&1) || status=$?
  printf '%s\n' "$report" | grep -v "running with root privileges" || true
  [ "$status" = 0 ] || fail "lintian found errors or warnings in $pkg"
  pkgs+=("$pkg") debs+=("$deb")
done

# From here on the system changes: undo it however the checks end.
cleanup() { dpkg --purge "${pkgs[@]}" >/dev/null 2>&1 || true; }
trap cleanup EXIT
trap 'exit 130' INT TERM HUP
# All at once: the packages of the Qt 5 and Qt 6 builds share no file.
dpkg -i "${debs[@]}" >/dev/null
expect() { # command output
  local got
  got=$(cd / && "${@:1:$#-1}")
  [ "$got" = "${*: -1}" ] || fail "'${*:1:$#-1}' said '$got', expected '${*: -1}'"
}
for pkg in "${pkgs[@]}"; do
  suffix=${pkg#systemnotifytoast}
  toastctl=/usr/bin/toastctl$suffix
  lib=libsystemnotifytoast$suffix.so
  expect "$toastctl" --platform-version 6.3.9600 supported '{"supported":false}'
  expect "$toastctl" --platform-version 10.0.10240 supported '{"supported":true}'
  # A native toast needs the runtime stand-ins, found beside the installed platform library.
  shown=$(cd / && QT_QPA_PLATFORM=offscreen "$toastctl" --platform-version 10.0.10240 \
    --config '{"appUserModeId":"Orvex.Office.Check"}' --wait 100 show '{"0":1,"5":["Checked"]}' 2>/dev/null || true)
  [[ $shown =~ ^\{\"event\":\"shown\",\"id\":[1-9][0-9]*\}$ ]] || fail "the installed $toastctl showed no native toast: $shown"
  pkg-config --exists "$pkg"
  module=$(pkg-config --variable=module "$pkg")
  [ "$(readlink -f "$module")" = "/usr/lib/$multiarch/$lib.1.0.0" ] || fail "pkg-config names the module $module"
  # The module links the Qt the package says it was built with.
  qt=$(pkg-config --variable=qt_major_version "$pkg")
  objdump -p "$module" | grep -q "NEEDED *libQt${qt}Core.so" || fail "$module does not run on the Qt $qt that $pkg.pc names"
  man --warnings -l "/usr/share/man/man1/toastctl$suffix.1.gz" >/dev/null
  # Only the module is a library of the system's search path; the rest is private.
  public=$(dpkg -L "$pkg" | grep -E "^/usr/lib/($multiarch/)?[^/]+\.so" | sort | tr '\n' ' ')
  [ "$public" = "/usr/lib/$multiarch/$lib /usr/lib/$multiarch/$lib.1 /usr/lib/$multiarch/$lib.1.0.0 " ] ||
    fail "libraries in the public folders: $public"
done

dpkg --purge "${pkgs[@]}" >/dev/null
trap - EXIT
for pkg in "${pkgs[@]}"; do
  suffix=${pkg#systemnotifytoast}
  if ls "/usr/lib/$multiarch/libsystemnotifytoast$suffix.so.1" "/usr/bin/toastctl$suffix" "/usr/lib/$multiarch/$pkg" >/dev/null 2>&1; then
    fail "files of $pkg left behind after removal"
  fi
done
echo "check-deb: lintian is content; ${pkgs[*]} install side by side, answer and remove cleanly"
