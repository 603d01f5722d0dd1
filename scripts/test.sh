#!/usr/bin/env bash
# Builds and runs every check: the Windows build run under Wine, the suite built with
# Qt 5 and again with Qt 6, the Debian packages of both (on CI), the Qt 5 suite under
# AddressSanitizer + UndefinedBehaviorSanitizer, and a short fuzzing run.
# Usage: scripts/test.sh [--quick|--deb]
#   --quick  only the Windows check and the plain suites (Qt 5 and Qt 6)
#   --deb    also install, run and remove the Debian packages of both (always on CI)
#
# The Linux builds take the cores one after another; the Windows check (a
# small build, then Wine, which mostly waits) and each step that mostly waits
# run beside them:
#
#   Windows: MinGW build, then Wine   |  Qt 5 build
#   Qt 5 tests                        |  Qt 6 build
#   Qt 6 tests, then the packages     |  sanitizer build
#   sanitizer tests                   |  fuzzing build, then 30 s of fuzzing
#
# Steps that may meet never share a display, a bus or a Wine prefix; no test
# runs while the packages are installed. Each step writes a log, printed whole
# when the step ends; the first step that fails stops the others and fails
# the command.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)
case ${1:-} in
  "" | --quick | --deb) ;;
  *) echo "usage: $0 [--quick|--deb]" >&2; exit 2 ;;
esac

scripts/install-deps.sh
# New build trees use Ninja (an existing tree keeps its generator).
if command -v ninja >/dev/null; then
  export CMAKE_GENERATOR=${CMAKE_GENERATOR:-Ninja}
fi

logs=$(mktemp -d)
begin=$SECONDS
declare -A lane_pid=()
step_group=
stop_all() {
  local pid
  for pid in $step_group "${lane_pid[@]}"; do
    kill -TERM -- "-$pid" 2>/dev/null || true
  done
  for pid in $step_group "${lane_pid[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
}
trap 'stop_all; rm -rf "$logs"' EXIT
trap 'exit 130' INT TERM HUP

# step NAME COMMAND...: runs the command with its output in NAME's log, then
# prints the log (one step's at a time) and how it ended. The command runs
# as a job of its own so that set -e holds inside it; started from the main
# shell, in a process group of its own, so that stopping it stops its children.
step() {
  local name=$1 start=$SECONDS status=0 pid; shift
  { flock 9; echo "-- $name: started at $((SECONDS - begin)) s"; } 9>"$logs/.print"
  [ "$BASHPID" != "$$" ] || set -m
  "$@" >"$logs/$name.log" 2>&1 </dev/null &
  pid=$!
  set +m
  [ "$BASHPID" != "$$" ] || step_group=$pid
  wait "$pid" || status=$?
  [ "$BASHPID" != "$$" ] || step_group=
  {
    flock 9
    echo "== $name =="
    cat "$logs/$name.log"
    if [ "$status" -eq 0 ]; then
      echo "== $name: passed in $((SECONDS - start)) s (at $((SECONDS - begin)) s)"
    else
      echo "== $name: FAILED (exit $status) after $((SECONDS - start)) s"
    fi
  } 9>"$logs/.print"
  return "$status"
}

# lane NAME COMMAND...: runs the command in the background, in a process group
# of its own; its exit status lands in NAME.rc once it ends.
lane() {
  local name=$1; shift
  set -m
  # Not "$@" || ...: set -e would not hold inside the command.
  (trap 'echo $? >"$logs/$name.rc"' EXIT; "$@") </dev/null &
  lane_pid[$name]=$!
  set +m
}
# join NAME: waits for the lane; its failure fails the command.
join() {
  local pid=${lane_pid[$1]:-}
  [ -n "$pid" ] || return 0
  wait "$pid" || true
  unset "lane_pid[$1]"
  [ "$(cat "$logs/$1.rc" 2>/dev/null)" = 0 ] || { echo "test.sh: $1 failed (its log is above)" >&2; exit 1; }
}
# Fails at once when a lane has already failed, rather than at its join.
check_lanes() {
  local name
  for name in "${!lane_pid[@]}"; do
    local rc
    rc=$(cat "$logs/$name.rc" 2>/dev/null || true)
    [ -z "$rc" ] || join "$name"
  done
}

configure() { # build-dir, extra cmake args...
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSNT_BUILD_BENCH=OFF "$@" >/dev/null
}
build() { # build-dir, extra cmake args...
  configure "$@"
  cmake --build "$1" -j"$jobs"
}
run_tests() { # build-dir
  (cd "$1" && ctest --output-on-failure --no-tests=error -j"$jobs")
}

lane windows step "Windows: built with MinGW-w64, its DLL's exports, run under Wine" scripts/check-windows.sh
step "Qt 5: build" build "$root/build"
check_lanes
lane qt5-tests step "Qt 5: tests" run_tests "$root/build"
step "Qt 6: build" build "$root/build-qt6" -DSNT_QT_MAJOR_VERSION=6
check_lanes
# One desktop session's tests at a time: the Wayland test's helper sets up a
# system user the first time, and the packages must not be installed under a test.
join qt5-tests
if [ "${1:-}" = "--quick" ]; then
  step "Qt 6: tests" run_tests "$root/build-qt6"
  join windows
  echo "test.sh --quick: passed in $((SECONDS - begin)) s"
  exit 0
fi

qt6_then_packages() {
  step "Qt 6: tests" run_tests "$root/build-qt6"
  # Installing a package changes the machine: only on CI, or when asked.
  if [ "${CI:-}" = "true" ] || [ "$1" = "--deb" ]; then
    step "Debian packages, Qt 5 and Qt 6: lintian, install side by side, run, remove" \
      scripts/check-deb.sh build build-qt6
  fi
}
lane qt6-tests qt6_then_packages "${1:-}"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_odr_violation=0"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# No test draws with OpenGL; on an X display Qt still loads Mesa's GLX to probe
# it, which leaks a block and is unloaded before LeakSanitizer can name (and so
# suppress) it.
export QT_XCB_GL_INTEGRATION=none
# A tree only for testing: line tables are all a sanitizer's report needs.
step "ASan+UBSan: build" build "$root/build-asan" -DSNT_SANITIZE=ON \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"
join qt6-tests
join windows
lane asan-tests step "ASan+UBSan: tests" run_tests "$root/build-asan"

fuzz() {
  configure "$root/build-fuzz" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DSNT_BUILD_TESTS=OFF -DSNT_BUILD_FUZZ=ON
  cmake --build "$root/build-fuzz" --target fuzz_toastdata -j"$jobs"
  local corpus
  corpus=$(mktemp -d)
  cp "$root"/fuzz/corpus/* "$corpus"/
  local status=0
  "$root/build-fuzz/bin/fuzz_toastdata" -max_total_time=30 -rss_limit_mb=2048 -dict="$root/fuzz/toastdata.dict" \
    "$corpus" >"$corpus.log" 2>&1 || status=$?
  tail -n 3 "$corpus.log"
  [ "$status" -eq 0 ] || cat "$corpus.log"
  rm -rf "$corpus" "$corpus.log"
  [ "$status" -eq 0 ] && echo "fuzzing: no crash"
}
step "fuzzing whole requests, down to the native toast's XML (30 s)" fuzz
join asan-tests
echo "test.sh: every step passed in $((SECONDS - begin)) s"
