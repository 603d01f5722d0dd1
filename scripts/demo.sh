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
mkdir -p "$out"
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

native_round() {
  echo "== native toast (delivered to the desktop's notification server) =="
  "$toastctl" --config '{"appUserModeId":"Orvex.Office"}' --wait 30000 show "{\"0\":5,\"3\":\"$icon\",
    \"5\":[\"Budget.xlsx was shared with you\",\"Ana added 3 comments\"],\"7\":\"Orvex Cloud\",
    \"10\":[{\"text\":\"Open\",\"action\":\"open-budget\"},{\"text\":\"Later\",\"action\":\"remind-later\"}]}" &
  local ctl=$!
  if [ $private = 1 ]; then
    for _ in $(seq 100); do
      dunstctl count displayed 2>/dev/null | grep -qv '^0$' && break
      sleep 0.05
    done
    import -window root "$out/native-toast.png"
    echo "screenshot: $out/native-toast.png"
    # Pick the second action from the server's context menu, as a user would.
    echo "Later" >"$WITH_DESKTOP_DIR/dmenu-pick"
    dunstctl context
  else
    echo "choose an action on the toast"
  fi
  wait "$ctl"
}

popup_round() {
  echo "== popup drawn by the module =="
  "$toastctl" --app-drawn --wait 30000 show "{\"0\":1,\"1\":\"$icon\",\"2\":\"Orvex Writer\",
    \"5\":[\"Report.docx is ready\",\"Shared by Ana\"],\"10\":[{\"text\":\"Open\",\"action\":\"open-report\"}]}" &
  local ctl=$!
  if [ $private = 1 ]; then
    local popup
    popup=$(wait_for_window 200) || { echo "no popup appeared" >&2; return 1; }
    sleep 0.4 # the 200 ms fade-in
    import -window root "$out/popup.png"
    echo "screenshot: $out/popup.png"
    eval "$(xdotool getwindowgeometry --shell "$popup")"
    # The one button sits at the bottom right, inside the shadow and the frame's margins.
    xdotool mousemove $((X + WIDTH - 58)) $((Y + HEIGHT - 42)) click 1
  else
    echo "press Open on the popup"
  fi
  wait "$ctl"
}

if [ $private = 1 ]; then
  xsetroot -solid '#3b5f7d' 2>/dev/null || true
  # A compositor, so that the popup's translucent shadow looks as on a desktop.
  if command -v xcompmgr >/dev/null; then xcompmgr >/dev/null 2>&1 & pids+=($!); fi
fi
native_round
popup_round
tray_round
