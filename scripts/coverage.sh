#!/usr/bin/env bash
# Line and branch coverage of src/ from the whole suite, with gcov and gcovr.
# Writes a summary to the terminal and an HTML report to build-coverage/coverage/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh
command -v gcovr >/dev/null || { apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q gcovr; }

dir="$root/build-coverage"
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DSNT_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="--coverage -O0" -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage >/dev/null
cmake --build "$dir" -j"$(nproc)"
find "$dir" -name '*.gcda' -delete
# The Wayland test runs as an unprivileged user; its counts land here too, in
# folders it may write and count files it may update.
chmod -R a+rwX "$dir"
(umask 000 && cd "$dir" && ctest --output-on-failure -j"$(nproc)") || echo "coverage: some tests failed; figures cover what ran" >&2
mkdir -p "$dir/coverage"
gcovr -r "$root" --object-directory "$dir" --filter "$root/src/" --exclude '.*_autogen.*' \
  --exclude-unreachable-branches --exclude-throw-branches \
  --print-summary --html-details "$dir/coverage/index.html" | tail -n 4
