#!/usr/bin/env bash
# Cross-builds the module for 64-bit Windows with Debian's MinGW-w64 and lays
# out OUT as a host would ship it:
#   OUT/bin/      systemnotifytoast.dll, the host kit (umlite.dll, zandr.dll),
#                 toastctl.exe, and every DLL they import (Qt, jsoncpp, MinGW's
#                 run-time), with Qt's plug-ins in their folders beside them
#   OUT/addons/   the cloud-skin add-on, where the host kit looks (<exe>/../addons)
#   OUT/share/    the kit's skin (<exe>/../share/systemnotifytoast/skin)
# Windows finds a DLL's imports in the executable's folder, so all of it sits in bin/.
#
# Usage: scripts/build-windows.sh [--tests] OUT
#   --tests  also build the programs that check the build under Wine; they go
#            into OUT/bin beside the module, where a host would be, and the
#            simulated notification classes as a runtime component into OUT/winsim
#
# Qt for Windows: $SNT_QT5_MINGW (a folder holding bin/Qt5Core.dll), else the
# archive ../shared/qt5-mingw/qt5-mingw.tar.xz unpacked once into
# ~/.cache/qt5-mingw. Build tree: $SNT_WINDOWS_BUILD_DIR (default build-windows).
# The Windows Runtime headers MinGW-w64 lacks: $SNT_WINSDK_DIR/include, else
# ../shared/winsdk/include (the build's own default).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

tests=OFF
if [ "${1:-}" = "--tests" ]; then tests=ON; shift; fi
[ $# -eq 1 ] || { echo "usage: $0 [--tests] OUT" >&2; exit 2; }
out=$1

fail() { echo "build-windows: $*" >&2; exit 1; }
command -v x86_64-w64-mingw32-g++-posix >/dev/null || fail "x86_64-w64-mingw32-g++-posix missing (scripts/install-deps.sh installs it)"

qt=${SNT_QT5_MINGW:-}
if [ -z "$qt" ]; then
  archive=$root/../shared/qt5-mingw/qt5-mingw.tar.xz
  qt=${XDG_CACHE_HOME:-$HOME/.cache}/qt5-mingw/qt5-mingw
  if [ ! -f "$qt/bin/Qt5Core.dll" ]; then
    [ -f "$archive" ] || fail "no Qt for Windows: set SNT_QT5_MINGW, or put qt5-mingw.tar.xz in $(dirname "$archive")"
    mkdir -p "$(dirname "$qt")"
    tar -xJf "$archive" -C "$(dirname "$qt")"
  fi
fi
[ -f "$qt/bin/Qt5Core.dll" ] || fail "no Qt5Core.dll in $qt/bin"
qt=$(cd "$qt" && pwd)

build=${SNT_WINDOWS_BUILD_DIR:-$root/build-windows}
# Ninja for a new tree (an existing one keeps its generator).
if command -v ninja >/dev/null; then
  export CMAKE_GENERATOR=${CMAKE_GENERATOR:-Ninja}
fi
headers=()
[ -z "${SNT_WINSDK_DIR:-}" ] || headers=(-DSNT_WINRT_HEADERS_DIR="$SNT_WINSDK_DIR/include")
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_PREFIX_PATH="$qt" -DCMAKE_BUILD_TYPE=Release -DSNT_BUILD_WINDOWS_TESTS="$tests" "${headers[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"

# Every object must have been built with a real WRL: the winsdk folder's
# wrl/event.h is a compile-only stand-in whose Callback makes null handlers.
stand_in=$(grep -rl --include='*.d' '/wrl/event\.h' "$build" || true)
[ -z "$stand_in" ] || fail "built with the compile-only wrl/event.h: $stand_in"

rm -rf "$out"
mkdir -p "$out/bin/platforms" "$out/bin/styles" "$out/bin/imageformats" "$out/addons" "$out/share"
cp "$build"/bin/*.dll "$build/bin/toastctl.exe" "$out/bin/"
cp -r "$build/addons/." "$out/addons/"
cp -r "$build/share/." "$out/share/"
cp "$qt/plugins/platforms/qwindows.dll" "$out/bin/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$out/bin/styles/"
cp "$qt"/plugins/imageformats/*.dll "$out/bin/imageformats/"
if [ "$tests" = ON ]; then
  cp "$build"/tests-windows/*.exe "$out/bin/"
  # The simulated notification classes, registered only in the test's own prefix.
  mkdir -p "$out/winsim"
  cp "$build/tests-windows/winsim/winsimcomponent.dll" "$out/winsim/"
fi

# The DLLs the folder's binaries import, as far down as they go; the system's
# own are left to Windows.
objdump=x86_64-w64-mingw32-objdump
imports() { "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'; }
queue=("$out"/bin/*.dll "$out"/bin/*.exe "$out"/bin/*/*.dll "$out"/addons/*/*.dll)
while [ ${#queue[@]} -gt 0 ]; do
  file=${queue[0]}
  queue=("${queue[@]:1}")
  while IFS= read -r dll; do
    [ -e "$out/bin/$dll" ] && continue
    if [ -f "$qt/bin/$dll" ]; then
      cp "$qt/bin/$dll" "$out/bin/"
      queue+=("$out/bin/$dll")
    fi
  done < <(imports "$file")
done

echo "build-windows: $out: $(du -sh "$out" | cut -f1)," \
     "$(find "$out" -type f | wc -l) files; module imports: $(imports "$out/bin/systemnotifytoast.dll" | tr '\n' ' ')"
