#!/bin/sh
# Runs a command in a private Wayland session: a headless sway (no X server,
# no input devices, software rendering) on one 1280x800 output whose
# background is #204060, and nothing else on it.
#
#   with-sway.sh COMMAND [ARGS...]
#
# sway refuses to run as root; so does a real user's session. As root the
# compositor and the command run as the system user snt-wayland (created when
# missing). A command that user cannot read (a build tree under /root) runs
# from a copy of its build tree (bin/COMMAND, lib/, share/, addons/).
#
# The command runs with QT_QPA_PLATFORM=wayland, WAYLAND_DISPLAY and SWAYSOCK
# set, and WITH_SWAY_DIR, a scratch folder it may write to. The session is
# ready when sway answers on its socket; when it does not within
# WITH_SWAY_TIMEOUT seconds (default 30), or sway or grim is not installed,
# the script exits 3 saying why. Otherwise it exits with the command's status.
set -eu

[ $# -gt 0 ] || { echo "usage: $0 COMMAND [ARGS...]" >&2; exit 2; }
for tool in sway:sway swaymsg:sway grim:grim; do
    command -v "${tool%%:*}" >/dev/null ||
        { echo "$0: ${tool%%:*} is missing: install the Debian package ${tool#*:}" >&2; exit 3; }
done

timeout=${WITH_SWAY_TIMEOUT:-30}
user=snt-wayland
# A prefix, not a function: started in the background, sway keeps the pid
# the cleanup kills (setpriv and env exec it).
as_user=
if [ "$(id -u)" -eq 0 ]; then
    id "$user" >/dev/null 2>&1 ||
        useradd --system --user-group --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user"
    as_user="setpriv --reuid=$user --regid=$user --clear-groups --"
fi

dir=$(mktemp -d "${TMPDIR:-/tmp}/with-sway.XXXXXX")
sway_pid=
sock=
cleanup() {
    if [ -n "$sway_pid" ]; then
        # Asked first, then told; a compositor still there after 5 s is killed.
        [ -z "$sock" ] || $as_user env SWAYSOCK="$sock" swaymsg exit >/dev/null 2>&1 || true
        kill "$sway_pid" 2>/dev/null || true
        tries=0
        while [ $tries -lt 100 ] && [ -e "/proc/$sway_pid" ] &&
            ! grep -q '^[0-9]* ([^)]*) Z' "/proc/$sway_pid/stat" 2>/dev/null; do
            tries=$((tries + 1))
            sleep 0.05
        done
        kill -KILL "$sway_pid" 2>/dev/null || true
        wait "$sway_pid" 2>/dev/null || true
    fi
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP PIPE

chmod 755 "$dir"
mkdir -m 700 "$dir/run"
mkdir -m 755 "$dir/home"
[ "$(id -u)" -ne 0 ] || chown "$user:" "$dir/run" "$dir/home"
cat >"$dir/config" <<'EOF'
xwayland disable
default_border none
output * resolution 1280x800 bg #204060 solid_color
EOF

# The command from a copy when the user cannot reach it where it is.
cmd=$(command -v "$1" || echo "$1")
case $cmd in /*) ;; *) cmd=$(pwd)/$cmd ;; esac
shift
# Nor may it start in a folder that user cannot enter.
$as_user test -x "$(pwd)" || cd "$dir"
if ! $as_user test -r "$cmd" -a -x "$cmd"; then
    tree=$(dirname "$(dirname "$cmd")")
    mkdir "$dir/tree" "$dir/tree/bin"
    cp -p "$cmd" "$dir/tree/bin/"
    for sub in lib share addons; do
        [ ! -d "$tree/$sub" ] || cp -a "$tree/$sub" "$dir/tree/"
    done
    chmod -R a+rX "$dir/tree"
    cmd=$dir/tree/bin/$(basename "$cmd")
    echo "$0: running a copy of $tree, which $user cannot read" >&2
fi
# A leak checker's suppressions may sit in the same unreadable place.
supp=$(echo "${LSAN_OPTIONS:-}" | tr ':' '\n' | sed -n 's/^suppressions=//p' | head -n 1)
if [ -n "$supp" ] && [ -f "$supp" ] && ! $as_user test -r "$supp"; then
    cp "$supp" "$dir/lsan.supp" && chmod 644 "$dir/lsan.supp"
    LSAN_OPTIONS=$(echo "$LSAN_OPTIONS" | sed "s|^suppressions=[^:]*|suppressions=$dir/lsan.supp|; s|:suppressions=[^:]*|:suppressions=$dir/lsan.supp|")
    export LSAN_OPTIONS
fi

session_env="HOME=$dir/home XDG_RUNTIME_DIR=$dir/run XDG_CACHE_HOME=$dir/home/.cache XDG_CONFIG_HOME=$dir/home/.config"
# shellcheck disable=SC2086 # the folder is mktemp's, without blanks
$as_user env $session_env WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway --config "$dir/config" >"$dir/sway.log" 2>&1 &
sway_pid=$!

tries=0
sock=
until [ -n "$sock" ] && $as_user env SWAYSOCK="$sock" swaymsg -t get_outputs >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ $tries -gt $((timeout * 20)) ] || ! kill -0 "$sway_pid" 2>/dev/null; then
        echo "$0: sway did not come up within $timeout s" >&2
        cat "$dir/sway.log" >&2
        exit 3
    fi
    sleep 0.05
    sock=$(ls "$dir"/run/sway-ipc.*.sock 2>/dev/null | head -n 1 || true)
done
display=$(cd "$dir/run" && ls wayland-* | grep -v '\.lock$' | head -n 1)

mkdir -m 777 "$dir/scratch"
status=0
# shellcheck disable=SC2086
$as_user env $session_env WAYLAND_DISPLAY="$display" SWAYSOCK="$sock" QT_QPA_PLATFORM=wayland \
    WITH_SWAY_DIR="$dir/scratch" DISPLAY= "$cmd" "$@" || status=$?
exit $status
