#!/usr/bin/env bash
# Builds the Debian package from build/, checks it with lintian (any error or
# warning fails), installs it, runs the installed toastctl, and removes the
# package again. Needs root; changes the system while it runs, so test.sh
# calls it only on CI or when asked (--deb).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
pkg=systemnotifytoast
arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
fail() { echo "check-deb: $*" >&2; exit 1; }

if dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
  echo "check-deb: $pkg is already installed here; not touching it" >&2
  exit 1
fi
rm -f "$build/${pkg}"_*.deb "$build/${pkg}"-dbgsym_*.ddeb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build/${pkg}"_*_"$arch".deb)
dbgsym=$(ls "$build/${pkg}"-dbgsym_*_"$arch".ddeb)
echo "package: $deb ($(du -k "$deb" | cut -f1) KiB), debug symbols: $dbgsym ($(du -k "$dbgsym" | cut -f1) KiB)"

status=0
report=$(lintian --fail-on error,warning "$deb" "$dbgsym" 2>&1) || status=$?
printf '%s\n' "$report" | grep -v "running with root privileges" || true
[ "$status" = 0 ] || fail "lintian found errors or warnings"

# From here on the system changes: undo it however the checks end.
cleanup() { dpkg --purge "$pkg" >/dev/null 2>&1 || true; }
trap cleanup EXIT
trap 'exit 130' INT TERM HUP
dpkg -i "$deb" >/dev/null
expect() { # command output
  local got
  got=$(cd / && "${@:1:$#-1}")
  [ "$got" = "${*: -1}" ] || fail "'${*:1:$#-1}' said '$got', expected '${*: -1}'"
}
expect /usr/bin/toastctl --platform-version 6.3.9600 supported '{"supported":false}'
expect /usr/bin/toastctl --platform-version 10.0.10240 supported '{"supported":true}'
# A native toast needs the runtime stand-ins, found beside the installed platform library.
shown=$(cd / && QT_QPA_PLATFORM=offscreen /usr/bin/toastctl --platform-version 10.0.10240 \
  --config '{"appUserModeId":"Orvex.Office.Check"}' --wait 100 show '{"0":1,"5":["Checked"]}' 2>/dev/null || true)
[[ $shown =~ ^\{\"event\":\"shown\",\"id\":[1-9][0-9]*\}$ ]] || fail "the installed toastctl showed no native toast: $shown"
pkg-config --exists "$pkg"
module=$(pkg-config --variable=module "$pkg")
[ "$(readlink -f "$module")" = "/usr/lib/$multiarch/libsystemnotifytoast.so.1.0.0" ] || fail "pkg-config names the module $module"
man --warnings -l /usr/share/man/man1/toastctl.1.gz >/dev/null
# Only the module is a library of the system's search path; the rest is private.
public=$(dpkg -L "$pkg" | grep -E "^/usr/lib/($multiarch/)?[^/]+\.so" | sort | tr '\n' ' ')
[ "$public" = "/usr/lib/$multiarch/libsystemnotifytoast.so /usr/lib/$multiarch/libsystemnotifytoast.so.1 /usr/lib/$multiarch/libsystemnotifytoast.so.1.0.0 " ] ||
  fail "libraries in the public folders: $public"

dpkg --purge "$pkg" >/dev/null
trap - EXIT
if ls "/usr/lib/$multiarch/libsystemnotifytoast.so.1" /usr/bin/toastctl "/usr/lib/$multiarch/$pkg" >/dev/null 2>&1; then
  fail "files left behind after removal"
fi
echo "check-deb: lintian is content; installs, answers and removes cleanly"
