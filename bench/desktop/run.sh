#!/bin/sh
# Builds the desktop benchmark and prints its figures: a native toast through
# the module against libnotify on a private dunst, then showToast on a session
# bus without a notification server. The programs' own warnings go to
# BUILD_DIR/bench_desktoptoast.log.
#   bench/desktop/run.sh [BUILD_DIR] [--toasts N] [--repetitions N]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build-bench}
[ $# -gt 0 ] && shift
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSNT_BUILD_BENCH=ON >/dev/null
fi
cmake --build "$build" --target bench_desktoptoast -j2 >/dev/null
bench="$build/bin/bench_desktoptoast"
log="$build/bench_desktoptoast.log"
: >"$log"

run() {
    "$@" 2>>"$log" || { echo "failed: $*" >&2; tail -20 "$log" >&2; exit 1; }
}

echo "== against dunst =="
run "$root/scripts/with-desktop.sh" "$bench" "$@"
echo
echo "== no notification server on the bus =="
run "$root/scripts/with-desktop.sh" --bus-only "$bench" --no-server "$@"
