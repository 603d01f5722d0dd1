#!/bin/sh
# Runs a command on a private desktop: its own session bus, an X display
# (Xvfb when there is none) and dunst as the notification server.
#
#   with-desktop.sh [--bus-only] [--screenshot FILE] COMMAND [ARGS...]
#
#   --bus-only         only the private session bus: no display, no server
#   --screenshot FILE  save the display to FILE (PNG) when the command ends
#
# The command sees WITH_DESKTOP_DIR, a scratch folder holding:
#   start-dunst   starts dunst again (after a test killed it) and waits for it
#   dmenu-pick    if a test writes a text here, dunst's context menu picks the
#                 first entry containing it (entries read "#label (summary) [id,key]")
#   dmenu-input   what dunst last offered in its context menu
# and WITH_DESKTOP_DUNST_LOG, dunst's output.
#
# dunst is started before the command: its bus activation has no display.
# The desktop is ready when its bus, display and notification server answer;
# when one does not within WITH_DESKTOP_TIMEOUT seconds (default 30), the
# script exits 3 naming it.
set -eu

usage() {
    echo "usage: $0 [--bus-only] [--screenshot FILE] COMMAND [ARGS...]" >&2
    exit 2
}

if [ "${WITH_DESKTOP_INSIDE:-}" != 1 ]; then
    command -v dbus-run-session >/dev/null || { echo "$0: dbus-run-session is not installed" >&2; exit 3; }
    WITH_DESKTOP_INSIDE=1 exec dbus-run-session -- "$0" "$@"
fi
unset WITH_DESKTOP_INSIDE

bus_only=0
screenshot=
while [ $# -gt 0 ]; do
    case "$1" in
    --bus-only) bus_only=1; shift ;;
    --screenshot) [ $# -ge 2 ] || usage; screenshot=$2; shift 2 ;;
    --) shift; break ;;
    -*) usage ;;
    *) break ;;
    esac
done
[ $# -gt 0 ] || usage

timeout=${WITH_DESKTOP_TIMEOUT:-30}
export WITH_DESKTOP_TIMEOUT="$timeout"
dir=$(mktemp -d "${TMPDIR:-/tmp}/with-desktop.XXXXXX")
xvfb_pid=
cleanup() {
    if [ -s "$dir/dunst.pid" ]; then
        kill "$(cat "$dir/dunst.pid")" 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP PIPE

export WITH_DESKTOP_DIR="$dir"

# Polls a check (the remaining arguments) every 0.05 s until it succeeds.
# Fails, naming what did not come up, after $timeout seconds or once the
# process it waits for (pid, may be empty) has died.
wait_for() { # what pid log check...
    what=$1 pid=$2 log=$3
    shift 3
    tries=0
    until "$@" >/dev/null 2>&1; do
        tries=$((tries + 1))
        if [ $tries -gt $((timeout * 20)) ] || { [ -n "$pid" ] && ! kill -0 "$pid" 2>/dev/null; }; then
            echo "$0: $what did not come up within $timeout s" >&2
            [ -s "$log" ] && cat "$log" >&2
            exit 3
        fi
        sleep 0.05
    done
}

wait_for "the session bus" "" /dev/null dbus-send --session --print-reply --dest=org.freedesktop.DBus \
    /org/freedesktop/DBus org.freedesktop.DBus.GetId

if [ "$bus_only" = 1 ]; then
    set +e
    "$@"
    exit $?
fi

for tool in Xvfb dunst; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is not installed" >&2; exit 3; }
done

# A display of our own unless the caller has a working one.
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    # Xvfb writes the display number it chose to the file descriptor we give it.
    # No reset when the last client leaves: the readiness check is a client,
    # and a connection made during the reset is refused.
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    wait_for "the X display (Xvfb)" "$xvfb_pid" "$dir/xvfb.log" test -s "$dir/display"
    DISPLAY=":$(cat "$dir/display")"
    export DISPLAY
    wait_for "the X display $DISPLAY" "$xvfb_pid" "$dir/xvfb.log" xdpyinfo
fi

cat >"$dir/dmenu" <<'EOF'
#!/bin/sh
# Stands in for dmenu: records the menu and answers with the entry asked for.
cat >"$WITH_DESKTOP_DIR/dmenu-input"
[ -s "$WITH_DESKTOP_DIR/dmenu-pick" ] || exit 1
grep -F -m 1 -e "$(cat "$WITH_DESKTOP_DIR/dmenu-pick")" "$WITH_DESKTOP_DIR/dmenu-input"
EOF
chmod +x "$dir/dmenu"

cat >"$dir/dunstrc" <<EOF
[global]
    monitor = 0
    follow = none
    width = 360
    origin = top-right
    offset = 12x48
    font = Sans 10
    markup = full
    format = "<b>%s</b>\n%b"
    show_indicators = no
    # A desktop shows a few; the rest wait in dunst's queue (redrawing hundreds is slow).
    notification_limit = 20
    sticky_history = yes
    history_length = 1000
    idle_threshold = 0
    dmenu = $dir/dmenu
    mouse_left_click = do_action, close_current
    frame_width = 1
    frame_color = "#8a8a8a"
# Toasts that name no duration stay until closed, so that tests decide.
[urgency_low]
    background = "#ffffff"
    foreground = "#202020"
    timeout = 0
[urgency_normal]
    background = "#ffffff"
    foreground = "#202020"
    timeout = 0
[urgency_critical]
    background = "#ffffff"
    foreground = "#a00000"
    timeout = 0
EOF

cat >"$dir/start-dunst" <<EOF
#!/bin/sh
# Starts dunst on this desktop and returns once it answers on the notification name.
dunst -config "$dir/dunstrc" >>"$dir/dunst.log" 2>&1 &
echo \$! >"$dir/dunst.pid"
# Owned first: a call to a name nobody owns would start another server by bus activation.
answers() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.Notifications 2>/dev/null | grep -q 'boolean true' &&
    dbus-send --session --print-reply --dest=org.freedesktop.Notifications /org/freedesktop/Notifications \
        org.freedesktop.Notifications.GetServerInformation >/dev/null 2>&1
}
tries=0
until answers; do
    tries=\$((tries + 1))
    if [ \$tries -gt \$((\${WITH_DESKTOP_TIMEOUT:-30} * 20)) ] || ! kill -0 "\$(cat "$dir/dunst.pid")" 2>/dev/null; then
        echo "the notification server (dunst) did not come up:" >&2
        cat "$dir/dunst.log" >&2
        exit 3
    fi
    sleep 0.05
done
EOF
chmod +x "$dir/start-dunst"
export WITH_DESKTOP_DUNST_LOG="$dir/dunst.log"

"$dir/start-dunst"

set +e
"$@"
status=$?
set -e

if [ -n "$screenshot" ]; then
    import -window root "$screenshot" || echo "$0: no screenshot taken" >&2
fi
exit $status
