#!/bin/sh
# Guards the installed and relocated road: a host built against the installation alone hears a pick in dunst's menu.
# The minimal example host, built without a library search path of its own and run from an unrelated folder with
# nothing in its environment but the desktop's, must hear the second action. MODE says where the module comes from:
#   moved-prefix  the installation, after the whole prefix was moved elsewhere
#   build-tree    BUILD_DIR/lib, loaded by its path
#
# In moved-prefix mode a host of the other Qt major version must fail to configure against the installation.
#
#   example_host.sh MODE BUILD_DIR SOURCE_DIR QT_MAJOR [EXTRA_CXX_FLAGS]     (inside scripts/with-desktop.sh)
set -eu
mode=$1 build=$2 source=$3 qt=$4 flags=${5:-}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true' EXIT
fail() { echo "$*" >&2; exit 1; }

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
cmake -S "$source/examples/minimal-host" -B "$scratch/example" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_PREFIX_PATH="$scratch/prefix" -DQT_MAJOR="$qt" -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_SKIP_RPATH=ON >/dev/null
cmake --build "$scratch/example" >/dev/null
host=$scratch/example/minimal-host
grep -q -- "$source/src\|$source/host\|$source/platform" "$scratch/example/CMakeFiles/minimal-host.dir/flags.make" &&
    fail "the example was compiled with paths into the source tree"
readelf -d "$host" | grep -E 'RPATH|RUNPATH' && fail "the example carries a library search path"

case "$mode" in
moved-prefix)
    # Every installed binary finds its libraries relative to itself.
    for file in $(find "$scratch/prefix" -type f \( -name '*.so*' -o -perm -u+x \)); do
        readelf -d "$file" 2>/dev/null | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]/\2/p' | tr ':' '\n' |
            grep -v '^\$ORIGIN' | grep . && fail "$file has a search path that does not start at \$ORIGIN"
    done
    installed=$(find "$scratch/prefix" -name 'libsystemnotifytoast*.so.1')
    [ -n "$installed" ] || fail "no libsystemnotifytoast*.so.1 in the installation"
    other=$((11 - qt))
    package=SystemNotifyToast
    [ "$qt" = 5 ] || package=SystemNotifyToastQt$qt
    mkdir "$scratch/wrong-qt"
    printf 'cmake_minimum_required(VERSION 3.16)\nproject(WrongQt LANGUAGES CXX)\n%s\n%s\n' \
        "find_package(Qt$other REQUIRED COMPONENTS Core)" "find_package($package REQUIRED)" >"$scratch/wrong-qt/CMakeLists.txt"
    cmake -S "$scratch/wrong-qt" -B "$scratch/wrong-qt/build" -DCMAKE_PREFIX_PATH="$scratch/prefix" >"$scratch/wrong-qt.log" 2>&1 &&
        fail "a Qt $other host configured against the Qt $qt module"
    # CMake wraps long messages.
    tr -s ' \n' '  ' <"$scratch/wrong-qt.log" | grep -q "built with Qt $qt, and this project uses Qt $other" ||
        fail "a Qt $other host was not told why: $(cat "$scratch/wrong-qt.log")"
    mv "$scratch/prefix" "$scratch/moved"
    module=$scratch/moved/${installed#"$scratch/prefix/"}
    ;;
build-tree) module=$(ls "$build"/lib/libsystemnotifytoast*.so) ;;
*) fail "unknown mode $mode" ;;
esac

mkdir "$scratch/elsewhere"
(cd "$scratch/elsewhere" && exec env -i DISPLAY="$DISPLAY" DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" \
    ${ASAN_OPTIONS:+"ASAN_OPTIONS=$ASAN_OPTIONS"} ${LSAN_OPTIONS:+"LSAN_OPTIONS=$LSAN_OPTIONS"} \
    ${UBSAN_OPTIONS:+"UBSAN_OPTIONS=$UBSAN_OPTIONS"} "$host" "$module") >"$scratch/out" 2>"$scratch/err" &
pid=$!
tries=0
until [ "$(dunstctl count displayed 2>/dev/null || echo 0)" -ge 1 ]; do
    tries=$((tries + 1))
    [ $tries -le 200 ] && kill -0 "$pid" 2>/dev/null || fail "the example's toast never reached dunst: $(cat "$scratch/out" "$scratch/err")"
    sleep 0.05
done
echo "Undo" >"$WITH_DESKTOP_DIR/dmenu-pick"
dunstctl context
wait "$pid"
pid=
cat "$scratch/out"
grep -Eq '^shown id=[1-9][0-9]*$' "$scratch/out" || fail "no native toast id"
grep -Eq '^activated id=[1-9][0-9]* source=1 index=1 action=undo$' "$scratch/out" ||
    fail "the host did not hear the second action: $(cat "$scratch/err")"
