#!/usr/bin/env bash
# Runs a command on a private X display that has a system tray (Xvfb + trayer),
# so that tray icons embed and balloon messages really appear.
# Usage: with-tray.sh COMMAND [ARG...]
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 COMMAND [ARG...]" >&2; exit 2; }

for tool in Xvfb trayer xdotool; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is not installed" >&2; exit 2; }
done

workdir=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$workdir"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$workdir/display" 2>"$workdir/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$workdir/display" ] && break; sleep 0.05; done
[ -s "$workdir/display" ] || { echo "$0: Xvfb did not start" >&2; cat "$workdir/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$workdir/display")"
unset QT_QPA_PLATFORM

trayer --edge bottom --align right --widthtype request --height 28 --SetDockType true \
  --transparent false --tint 0x303a46 >"$workdir/trayer.log" 2>&1 &
pids+=($!)
# The tray is ready once its window is mapped.
for _ in $(seq 100); do
  xdotool search --onlyvisible --class trayer >/dev/null 2>&1 && break
  sleep 0.05
done

"$@"
