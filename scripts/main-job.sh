#!/usr/bin/env bash
# The main job: builds the module and toastctl, then shows toasts with them.
# On a machine without a desktop it brings its own (Xvfb, a session bus, dunst
# and a tray) and saves screenshots in out/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" --target toastctl systemnotifytoast -j"$(nproc)"
mkdir -p "$root/out"

has_desktop() {
  [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 &&
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner string:org.freedesktop.Notifications 2>/dev/null | grep -q 'boolean true'
}

if has_desktop; then
  exec scripts/demo.sh "$root/out"
fi
echo "no desktop here: starting Xvfb, a session bus, dunst and a tray"
exec env -u DISPLAY scripts/with-desktop.sh scripts/demo.sh --private "$root/out"
