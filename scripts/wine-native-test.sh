#!/usr/bin/env bash
# The native road on a Windows runtime, under Wine: the module's Windows build
# meets the simulated notification classes, built as a Windows runtime
# component (platform/wincomponent) and registered in a fresh Windows 10 prefix
# of this run's own, through Wine's RoGetActivationFactory.
#
#   scripts/wine-native-test.sh BUILD_OUT
#
# BUILD_OUT is the output folder of scripts/build-windows.sh: BUILD_OUT/bin holds
# systemnotifytoast.dll, umlite.dll and the DLLs they import. The component and
# the test host (tests/wine) are built into $SNT_WINE_TEST_BUILD_DIR (default
# build-wine-test/). Prints the
# test's report and "N passed, M failed"; exits 0 only when nothing failed.
#
# Qt for Windows: $SNT_QT5_MINGW, else ~/.cache/qt5-mingw/qt5-mingw (unpacked
# from ../shared/qt5-mingw when missing). Windows Runtime headers:
# $SNT_WINSDK_DIR, else ../shared/winsdk.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

usage() { echo "usage: $0 BUILD_OUT" >&2; exit 2; }
fail() { echo "wine native test: FAILED: $*" >&2; exit 1; }
[ $# -eq 1 ] || usage
out=$(cd "$1" 2>/dev/null && pwd) || fail "no folder '$1'"
bin=$out/bin
[ -f "$bin/systemnotifytoast.dll" ] || fail "no systemnotifytoast.dll in $bin (run scripts/build-windows.sh first)"
[ -f "$bin/umlite.dll" ] || fail "no umlite.dll in $bin"
for tool in wine wineboot wineserver xvfb-run cmake x86_64-w64-mingw32-g++-posix; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs it)"
done

qt=${SNT_QT5_MINGW:-$HOME/.cache/qt5-mingw/qt5-mingw}
if [ ! -d "$qt/bin" ] && [ -f "$root/../shared/qt5-mingw/qt5-mingw.tar.xz" ]; then
  mkdir -p "$(dirname "$qt")"
  tar -xJf "$root/../shared/qt5-mingw/qt5-mingw.tar.xz" -C "$(dirname "$qt")"
fi
[ -f "$qt/bin/Qt5Test.dll" ] || fail "no Qt 5 for Windows in '$qt' (set SNT_QT5_MINGW)"
winsdk=${SNT_WINSDK_DIR:-$root/../shared/winsdk}
[ -d "$winsdk/include" ] || fail "no Windows Runtime headers in '$winsdk/include' (set SNT_WINSDK_DIR)"

# Builds, incremental from one run to the next (build-windows.sh empties OUT).
work=${SNT_WINE_TEST_BUILD_DIR:-$root/build-wine-test}
configure() { # source build [extra cmake args]
  local src=$1 build=$2; shift 2
  cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_PREFIX_PATH="$qt" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}
configure platform/wincomponent "$work/component" -DSNT_WINSDK_DIR="$winsdk" || fail "configuring the component"
cmake --build "$work/component" -j2 >/dev/null || fail "building the component"
configure tests/wine "$work/host" -DSNT_WINDOWS_BIN="$bin" || fail "configuring the test host"
cmake --build "$work/host" -j2 >/dev/null || fail "building the test host"

# A prefix of this run's own: Windows 10, the component's three classes
# registered, no crash debugger (a crash ends the process at once).
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/wine-native-test.XXXXXX)
export WINEDEBUG=-all WINEDLLOVERRIDES="winedbg.exe=d"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
xvfb-run -a sh -c 'wineboot -i && wine winecfg -v win10 && wineserver -w' >/dev/null 2>&1 \
  || fail "making a Wine prefix"
drive=$WINEPREFIX/drive_c
mkdir -p "$drive/test" "$drive/winsim"
# Imports are found in the program's folder, the component's included.
for dll in Qt5Core Qt5Gui Qt5Widgets Qt5Test libjsoncpp libstdc++-6 libgcc_s_seh-1 libwinpthread-1; do
  cp "$qt/bin/$dll.dll" "$drive/test/"
done
cp "$bin"/*.dll "$drive/test/"
cp "$work/host/tst_winenative.exe" "$drive/test/"
cp "$work/component/winsimcomponent.dll" "$drive/winsim/"
for class in Windows.UI.Notifications.ToastNotificationManager Windows.UI.Notifications.ToastNotification \
             Windows.Data.Xml.Dom.XmlDocument; do
  key="HKLM\\Software\\Microsoft\\WindowsRuntime\\ActivatableClassId\\$class"
  wine reg add "$key" /v DllPath /t REG_SZ /d 'C:\winsim\winsimcomponent.dll' /f >/dev/null 2>&1
  wine reg add "$key" /v ActivationType /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wine reg add "$key" /v Threading /t REG_DWORD /d 0 /f >/dev/null 2>&1
done

# The report goes to a file: Wine's console output is not reliable under xvfb-run.
status=0
xvfb-run -a wine 'C:\test\tst_winenative.exe' -o 'C:\test\report.txt,txt' >"$work/wine-output.txt" 2>&1 || status=$?
report=$drive/test/report.txt
[ -f "$report" ] || fail "the test host wrote no report (status $status): $(tail -5 "$work/wine-output.txt")"
cat "$report"
echo
totals=$(grep -E '^Totals:' "$report" || true)
passed=$(sed -nE 's/^Totals: ([0-9]+) passed.*/\1/p' <<<"$totals")
failed=$(sed -nE 's/^Totals: [0-9]+ passed, ([0-9]+) failed.*/\1/p' <<<"$totals")
[ -n "$passed" ] && [ -n "$failed" ] || fail "the test host stopped before its totals (status $status)"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$status" -eq 0 ]
