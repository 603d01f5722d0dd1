#!/bin/sh
# Installs the build into a scratch prefix, builds the minimal example host
# against that installation only, runs it on the private desktop and answers
# its native toast from dunst's menu: the host must hear the second action.
#
#   example_host.sh BUILD_DIR SOURCE_DIR [EXTRA_CXX_FLAGS]
# Runs inside scripts/with-desktop.sh.
set -eu
build=$1
source=$2
flags=${3:-}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true' EXIT

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
cmake -S "$source/examples/minimal-host" -B "$scratch/example" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_PREFIX_PATH="$scratch/prefix" -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$scratch/example" >/dev/null

# Nothing of the source tree may reach the example's compilation.
if grep -rq -- "$source/src\|$source/host\|$source/platform" "$scratch/example/CMakeFiles/minimal-host.dir/flags.make"; then
    echo "the example was compiled with paths into the source tree" >&2
    exit 1
fi

# The installed libraries are not in the loader's default path in a scratch prefix.
LD_LIBRARY_PATH="$scratch/prefix/lib" "$scratch/example/minimal-host" >"$scratch/out" 2>"$scratch/err" &
pid=$!
tries=0
until [ "$(dunstctl count displayed 2>/dev/null || echo 0)" -ge 1 ]; do
    tries=$((tries + 1))
    if [ $tries -gt 200 ] || ! kill -0 "$pid" 2>/dev/null; then
        echo "the example's toast never reached dunst" >&2
        cat "$scratch/out" "$scratch/err" >&2
        exit 1
    fi
    sleep 0.05
done
echo "Undo" >"$WITH_DESKTOP_DIR/dmenu-pick"
dunstctl context
wait "$pid"
pid=
cat "$scratch/out"
grep -Eq '^shown id=[1-9][0-9]*$' "$scratch/out" || { echo "no native toast id" >&2; exit 1; }
grep -Eq '^activated id=[1-9][0-9]* source=1 index=1 action=undo$' "$scratch/out" || {
    echo "the host did not hear the second action" >&2
    cat "$scratch/err" >&2
    exit 1
}
