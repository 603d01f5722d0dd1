#!/usr/bin/env bash
# Runs a command on a private X display that has a system tray (Xvfb + trayer),
# so that tray icons embed and balloon messages really appear.
# Usage: with-tray.sh [--probe PROGRAM] COMMAND [ARG...]
#   --probe PROGRAM  the tray counts as up only once PROGRAM exits 0 (it is
#                    given the seconds it may wait); without it, once trayer's
#                    window is mapped.
# Exits 3, naming what did not come up, when the display or the tray does not
# answer within WITH_TRAY_TIMEOUT seconds (default 30).
set -euo pipefail
probe=
if [ "${1:-}" = "--probe" ]; then
  [ $# -ge 2 ] || { echo "usage: $0 [--probe PROGRAM] COMMAND [ARG...]" >&2; exit 2; }
  probe=$2
  shift 2
fi
[ $# -ge 1 ] || { echo "usage: $0 [--probe PROGRAM] COMMAND [ARG...]" >&2; exit 2; }
timeout=${WITH_TRAY_TIMEOUT:-30}

for tool in Xvfb trayer xdotool xdpyinfo; do
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

# Polls CHECK until it succeeds; names WHAT and shows LOG when the timeout
# passes or the process PID it waits for has died.
wait_for() { # what pid log check...
  local what=$1 pid=$2 log=$3 deadline=$((SECONDS + timeout))
  shift 3
  until "$@" >/dev/null 2>&1; do
    if [ $SECONDS -ge $deadline ] || ! kill -0 "$pid" 2>/dev/null; then
      echo "$0: $what did not come up within ${timeout} s" >&2
      [ -s "$log" ] && cat "$log" >&2
      exit 3
    fi
    sleep 0.1
  done
}

# Xvfb picks a free display and writes its number once it accepts clients.
# No reset when the last client leaves: the readiness check is a client, and
# a connection made during the reset is refused.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$workdir/display" 2>"$workdir/xvfb.log" &
pids+=($!)
wait_for "the X display (Xvfb)" "${pids[0]}" "$workdir/xvfb.log" test -s "$workdir/display"
export DISPLAY=":$(head -n1 "$workdir/display")"
wait_for "the X display $DISPLAY" "${pids[0]}" "$workdir/xvfb.log" xdpyinfo
unset QT_QPA_PLATFORM

trayer --edge bottom --align right --widthtype request --height 28 --SetDockType true \
  --transparent false --tint 0x303a46 >"$workdir/trayer.log" 2>&1 &
pids+=($!)
wait_for "the tray (trayer's window)" "${pids[1]}" "$workdir/trayer.log" xdotool search --onlyvisible --class trayer
if [ -n "$probe" ]; then
  # What the command itself will ask: whether a tray owns the display's tray selection.
  "$probe" "$timeout" >"$workdir/probe.log" 2>&1 || {
    echo "$0: the tray did not come up: $probe saw none within ${timeout} s" >&2
    cat "$workdir/trayer.log" "$workdir/probe.log" >&2
    exit 3
  }
fi

"$@"
