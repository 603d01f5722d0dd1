#!/usr/bin/env bash
# Shows one toast of each kind with toastctl and reports what the user (or,
# on a private desktop, xdotool and dunstctl) did with it.
# Usage: demo.sh [--private] OUTDIR
set -euo pipefail
private=0
if [ "${1:-}" = "--private" ]; then private=1; shift; fi
out=${1:?usage: demo.sh [--private] OUTDIR}
root=$(cd "$(dirname "$0")/.." && pwd)
toastctl="$root/build/bin/toastctl"
icon="$root/tests/data/toast-icon.png"
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done' EXIT

# Waits until a visible window of toastctl larger than a tray icon exists and prints its id.
wait_for_window() {
  local min_width=$1
  for _ in $(seq 200); do
    for w in $(xdotool search --onlyvisible --class toastctl 2>/dev/null); do
      local width
      width=$(xdotool getwindowgeometry --shell "$w" | sed -n 's/^WIDTH=//p')
      if [ "${width:-0}" -ge "$min_width" ]; then echo "$w"; return 0; fi
    done
    sleep 0.05
  done
  return 1
}

tray_round() {
  echo "== tray balloon (Windows 8.1) =="
  if [ $private = 1 ]; then
    trayer --edge bottom --align right --widthtype request --height 28 --SetDockType true \
      --transparent false --tint 0x303a46 >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do xdotool search --onlyvisible --class trayer >/dev/null 2>&1 && break; sleep 0.05; done
  fi
  "$toastctl" --platform-version 6.3.9600 --wait 30000 show "{\"0\":1,\"1\":\"$icon\",
    \"5\":[\"Report ready\",\"Quarterly numbers were exported to Sheets\"],
    \"10\":[{\"text\":\"Open\",\"action\":\"open-report\"}]}" &
  local ctl=$!
  if [ $private = 1 ]; then
    local balloon
    balloon=$(wait_for_window 60) || { echo "no balloon appeared" >&2; return 1; }
    import -window root "$out/tray-balloon.png"
    echo "screenshot: $out/tray-balloon.png"
    xdotool mousemove --window "$balloon" 30 45 click 1
  else
    echo "click the balloon in your tray"
  fi
  wait "$ctl"
}

xsetroot -solid '#3b5f7d' 2>/dev/null || true
tray_round
