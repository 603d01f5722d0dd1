#!/bin/sh
# Guards the popup road end to end: a click a person makes that never reaches the host.
# A real pointer click on a popup's button, on an X display (see CMakeLists.txt),
# with the host laid out right to left: the popup sits at the bottom-left corner.
#
#   toastctl_click.sh TOASTCTL [SCREENSHOT.png]
set -eu

toastctl=$1 screenshot=${2:-}
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true' EXIT

"$toastctl" --app-drawn --rtl --wait 15000 \
    show '{"0":1,"2":"Orvex Writer","5":["Report.docx is ready","Shared by Ana"],"10":[{"text":"Open","action":"open"}]}' \
    >"$out" 2>"$err" &
pid=$!

# Up to 30 s for each wait: a loaded machine starts Qt slowly; a toastctl that ended says why.
poll() { i=0; until eval "$1"; do i=$((i + 1)); [ $i -lt 300 ] && kill -0 "$pid" 2>/dev/null || return 1; sleep 0.1; done; }
poll 'window=$(xdotool search --onlyvisible --class toastctl 2>/dev/null | tail -n 1); [ -n "$window" ]' \
    || { echo "no popup window appeared on $DISPLAY" >&2; cat "$out" "$err" >&2; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"
# The corner rule mirrored: the window (its shadow included) 12 px from the left edge.
[ "$X" -eq 12 ] || { echo "the popup is at x $X, not 12 px from the left edge" >&2; exit 1; }
# The fade-in is over when the window's opacity is full.
poll '[ "$(xprop -id "$window" _NET_WM_WINDOW_OPACITY 2>/dev/null)" = "_NET_WM_WINDOW_OPACITY(CARDINAL) = 4294967295" ]' \
    || { echo "the popup never reached full opacity" >&2; exit 1; }
[ -z "$screenshot" ] || import -window root "$screenshot"

# The only button sits at the bottom left of the frame, inside the shadow
# (left 12, bottom 14) and the frame's own margins.
x=$((X + 12 + 16 + 30))
y=$((Y + HEIGHT - 14 - 14 - 14))
xdotool mousemove "$x" "$y" click 1

status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || { cat "$out" "$err" >&2; echo "toastctl ended with status $status" >&2; exit 1; }
id=$(sed -n '1s/^{"event":"shown","id":\([1-9][0-9]*\)}$/\1/p' "$out")
printf '{"event":"shown","id":%s}\n{"action":"open","event":"activated","id":%s,"index":0,"source":1}\n' "${id:-?}" "${id:-?}" \
    | diff - "$out" >&2 || { echo "toastctl did not print one show and one click on its first button" >&2; exit 1; }
