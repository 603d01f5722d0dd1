#!/usr/bin/env bash
# Builds and runs every check: the Windows build run under Wine, the suite built with
# Qt 5 and again with Qt 6, the Qt 5 suite under AddressSanitizer +
# UndefinedBehaviorSanitizer, and a short fuzzing run.
# Usage: scripts/test.sh [--quick|--deb]
#   --quick  only the Windows check and the plain suites (Qt 5 and Qt 6)
#   --deb    also install, run and remove the Debian packages of both (always on CI)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)

scripts/install-deps.sh

run_suite() { # build-dir, extra cmake args...
  local dir=$1 start=$SECONDS; shift
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSNT_BUILD_BENCH=OFF "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  (cd "$dir" && ctest --output-on-failure --no-tests=error -j"$jobs")
  echo "$(basename "$dir"): built and passed in $((SECONDS - start)) s"
}

echo "== Windows: built with MinGW-w64, its DLL's exports, run under Wine =="
scripts/check-windows.sh

echo "== suite =="
run_suite "$root/build"
echo "== suite built with Qt 6 =="
run_suite "$root/build-qt6" -DSNT_QT_MAJOR_VERSION=6

[ "${1:-}" = "--quick" ] && exit 0

# Installing a package changes the machine: only on CI, or when asked.
if [ "${CI:-}" = "true" ] || [ "${1:-}" = "--deb" ]; then
  echo "== Debian packages, Qt 5 and Qt 6: install side by side, run, remove =="
  scripts/check-deb.sh build build-qt6
fi

echo "== suite under AddressSanitizer and UndefinedBehaviorSanitizer =="
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_odr_violation=0"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# No test draws with OpenGL; on an X display Qt still loads Mesa's GLX to probe
# it, which leaks a block and is unloaded before LeakSanitizer can name (and so
# suppress) it.
export QT_XCB_GL_INTEGRATION=none
run_suite "$root/build-asan" -DSNT_SANITIZE=ON

echo "== fuzzing whole requests, down to the native toast's XML (30 s) =="
cmake -S "$root" -B "$root/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DSNT_BUILD_TESTS=OFF -DSNT_BUILD_BENCH=OFF -DSNT_BUILD_FUZZ=ON >/dev/null
cmake --build "$root/build-fuzz" --target fuzz_toastdata -j"$jobs"
corpus=$(mktemp -d)
cp "$root"/fuzz/corpus/* "$corpus"/
"$root/build-fuzz/bin/fuzz_toastdata" -max_total_time=30 -rss_limit_mb=2048 -dict="$root/fuzz/toastdata.dict" \
  "$corpus" 2>&1 | tail -n 3
rm -rf "$corpus"
echo "fuzzing: no crash"
