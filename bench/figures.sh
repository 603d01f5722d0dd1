#!/usr/bin/env bash
# Runs every benchmark and prints the README's table of figures.
#   bench/figures.sh [--qt 5|6] [BUILD_DIR]
# A Release build against Qt 5 (default build-bench) or Qt 6 (build-bench-qt6).
# Ratios compare against a baseline measured in the same run, so they mean
# something on any machine; absolute times are this machine's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
qt=5
if [ "${1:-}" = "--qt" ]; then
  qt=${2:?--qt takes 5 or 6}
  shift 2
fi
case "$qt" in
5) build=${1:-$root/build-bench} ;;
6) build=${1:-$root/build-bench-qt6} ;;
*) echo "figures.sh: --qt takes 5 or 6, not $qt" >&2; exit 2 ;;
esac
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSNT_BUILD_TESTS=OFF -DSNT_BUILD_BENCH=ON \
  -DSNT_QT_MAJOR_VERSION="$qt" >/dev/null
cmake --build "$build" -j"$(nproc)" --target bench_parse bench_nativetoast bench_popup bench_startup bench_desktoptoast >/dev/null
bin="$build/bin"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export QT_LOGGING_RULES='*.warning=false'
# A ratio is timed one call of each side in turn, so that a busy spell of the
# machine weighs on a figure and its baseline alike; each repetition gives one
# ratio, and the figure is their median with the lowest and highest.
flags=(--benchmark_repetitions=10 --benchmark_report_aggregates_only=true --benchmark_color=false)

echo "running benchmarks (a few minutes)..." >&2
"$bin/bench_parse" "${flags[@]}" --benchmark_filter=Vs >"$out/parse"
"$bin/bench_nativetoast" "${flags[@]}" --benchmark_repetitions=5 >"$out/native"
QT_QPA_PLATFORM=offscreen "$bin/bench_popup" "${flags[@]}" >"$out/popup"
"$bin/bench_startup" 20 >"$out/startup"
# Dunst's own 5 to 7 ms per toast vary far more than the clients' difference:
# with 400 toasts a repetition the ratios spread wider than their gap to 1.0.
"$root/bench/desktop/run.sh" "$build" --toasts 1000 >"$out/desktop" 2>"$out/desktop.err" || true
# Our console reporter colours its lines; the figures are read from plain text.
for f in "$out"/*; do sed -i 's/\x1b\[[0-9;]*m//g' "$f"; done

# "median (lowest-highest over N repetitions)" becomes "median (lowest–highest)".
ratio() { awk -v key="ratio $1 = " 'index($0, key) == 1 { r = substr($0, length(key) + 1);
  if (r ~ / over /) { sub(/ over .*\)/, ")", r); sub(/-/, "–", r) } else { split(r, v, " "); r = v[1] }
  print r; exit }' "$2"; }
# Median of a benchmark's real time, in ms.
median_ms() { awk -v name="$1_median" '$1 == name { v = $2; u = $3;
  if (u == "ns") v /= 1e6; else if (u == "us") v /= 1e3; else if (u == "s") v *= 1e3;
  printf "%.3f", v; exit }' "$2"; }
desktop() { awk -v what="$1" 'index($0, what) == 1 { print $(NF-1); exit }' "$out/desktop"; }
bytes_per_toast=$(sed -n 's/^BM_MemoryPerHiddenToast.*_median .*bytes_per_toast=\([0-9.]*\).*/\1/p' "$out/native")
bytes_per_closed_toast=$(sed -n 's/^BM_MemoryPerClosedToast.*_median .*bytes_per_toast=\([0-9.]*\).*/\1/p' "$out/native")
rss=$(sed -n 's/^rss MiB: start \([0-9.]*\), after 500 popups \([0-9.]*\) (growth \([0-9.]*\)), after malloc_trim \([0-9.]*\) (growth \([0-9.]*\)).*/\3 MiB raw, \5 MiB after malloc_trim/p' "$out/popup")
startup() { sed -n "s/^startup $1 = \([0-9.]*\) ms/\1 ms/p" "$out/startup"; }

cat <<TABLE
| Figure | Value | How it was measured |
|---|---|---|
| Parse ratio | $(ratio "BM_ParseVsJsoncpp/real_time" "$out/parse") | \`ToastData::parse\` of a full request (all keys, three rich lines of three segments, three actions) ÷ parsing the same six JSON texts with jsoncpp alone, same reader settings; batches of 20 of each in turn, median (lowest–highest) of 10 repetitions (\`bench_parse\`) |
| … of which the host's JSON helper | $(ratio "BM_HostHelperVsJsoncpp/real_time" "$out/parse") | the host kit's \`JsonHelper::parseJsonString\` on the same six texts as \`QString\`s ÷ jsoncpp alone on UTF-8: the part of the parse ratio that is the host's |
| Native \`showToast\`, in memory | $(median_ms BM_ShowToastFullExample "$out/native") ms | full request (image-and-text template, hero image, two lines, attribution, two actions, looping sound, long duration) on the in-memory platform; median of 5 (\`bench_nativetoast\`) |
| Native \`showToast\` vs libnotify, call returns | $(desktop "module showToast returns") ms vs $(desktop "libnotify notify_notification_show returns") ms, ratio $(ratio "showToast / notify_notification_show (call returns)" "$out/desktop") | same toast (summary, body, icon, two actions) to the same dunst, 5,000 each in rounds of 10, interleaved, medians (\`bench/desktop/run.sh\`) |
| … until \`Notify\` is on the bus | $(desktop "module: until Notify is on the bus") ms vs $(desktop "libnotify: until Notify is on the bus") ms | the same runs, timed to the call seen by a bus monitor: the client's own part |
| … until dunst answered \`Notify\` | ratio $(ratio "module / libnotify (until dunst answered Notify)" "$out/desktop") | the same runs, timed to the server's reply seen by a bus monitor; median (lowest–highest) of the ratios of 5 repetitions of 1,000 toasts each |
| Native \`showToast\`, no server on the bus | $(awk '/no notification server on the session bus/ { f = 1 } f && index($0, "module showToast returns") == 1 { print $(NF-1); exit }' "$out/desktop") ms | returns at once; the listener hears the failure later (\`bench/desktop/run.sh\`) |
| Popup show ratio | $(ratio "BM_PopupVsBareDialog/real_time" "$out/popup") | \`showToast\` of a popup with three lines and three buttons ÷ a bare \`QDialog\` with the same number of child widgets shown, offscreen, one of each in turn, median (lowest–highest) of 10 repetitions (\`bench_popup\`) |
| Memory per stored native toast | ${bytes_per_toast} B | heap in use after 10,000 toasts shown and hidden, per toast (the service keeps every entry by design; \`bench_nativetoast\`) |
| … closed by the platform, never hidden | ${bytes_per_closed_toast} B | the same, each toast timed out on the platform's side instead: its notification, document and handlers stay until it is hidden or the service goes |
| Memory after 500 popups | ${rss} | resident set after 500 popups shown and hidden, against the start (\`bench_popup\`) |
| Startup: load the module | $(startup load) | fresh process, from after its \`QApplication\`; median of 20 (\`bench_startup\`) |
| Startup: load + tray service | $(startup tray) | load, create, \`init\`, delete |
| Startup: load + native service | $(startup native) | load, create, \`init\` (identity, shortcut, manager), delete |
| Startup: load + popup service | $(startup popup) | load, create, \`init\` (three default resource files), delete |
TABLE
