#!/bin/sh
# Guards the popup road end to end: a click a person makes that never reaches the host.
# A host shows an application-drawn popup; a real pointer click on its button
# reaches the host's listener.  Runs on an X display (see CMakeLists.txt).
#
#   toastctl_click.sh TOASTCTL [SCREENSHOT.png]
set -eu

toastctl=$1
screenshot=${2:-}
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true' EXIT

"$toastctl" --app-drawn --wait 15000 \
    show '{"0":1,"2":"Orvex Writer","5":["Report.docx is ready","Shared by Ana"],"10":[{"text":"Open","action":"open"}]}' \
    >"$out" 2>"$err" &
pid=$!

# Up to 30 s: a loaded machine starts Qt slowly; a toastctl that ended says why.
window=
tries=0
while [ -z "$window" ] && [ $tries -lt 300 ] && kill -0 "$pid" 2>/dev/null; do
    window=$(xdotool search --onlyvisible --class toastctl 2>/dev/null | tail -n 1 || true)
    tries=$((tries + 1))
    [ -n "$window" ] || sleep 0.1
done
[ -n "$window" ] || { echo "no popup window appeared on $DISPLAY" >&2; cat "$out" "$err" >&2; exit 1; }

eval "$(xdotool getwindowgeometry --shell "$window")"
# Let the 200 ms fade-in finish before the picture and the click.
sleep 0.4
[ -z "$screenshot" ] || import -window root "$screenshot"

# The only button sits at the bottom right of the frame, inside the shadow
# (right 12, bottom 14) and the frame's own margins.
x=$((X + WIDTH - 12 - 16 - 30))
y=$((Y + HEIGHT - 14 - 14 - 14))
xdotool mousemove "$x" "$y" click 1

status=0
wait "$pid" || status=$?
pid=
cat "$out"
[ "$status" -eq 0 ] || { echo "toastctl ended with status $status" >&2; exit 1; }
grep -q '"event":"activated"' "$out" && grep -q '"source":1' "$out" && grep -q '"index":0' "$out" \
    && grep -q '"action":"open"' "$out" || { echo "the click did not reach the listener" >&2; exit 1; }
