#!/usr/bin/env bash
# Checks platform/include name by name against the real SDK
# (check-sdk-names.py), then compiles every translation unit of src/ as a
# Windows build would: MinGW-w64's cross-compiler, the real SDK's declarations
# (MinGW's headers and the newer Windows Runtime headers of the winsdk folder),
# Qt 5 headers, and platform/ kept off the include path. Then reads the export directives of the object
# that defines the exports: exactly the module's three names, and none in any
# other object. Objects only: Qt for Windows is not available here, so no DLL
# is linked.
#
# The Windows Runtime headers: $SNT_WINSDK_DIR, else ../shared/winsdk beside
# the repository. Without either the check is skipped, except under CI=true.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

winsdk=${SNT_WINSDK_DIR:-$root/../shared/winsdk}
if [ ! -d "$winsdk/include" ]; then
  if [ "${CI:-}" = "true" ]; then
    echo "windows check: FAILED: no Windows Runtime headers in '$winsdk/include' (set SNT_WINSDK_DIR)" >&2
    exit 1
  fi
  echo "windows check: skipped: no Windows Runtime headers in '$winsdk/include'" \
       "(set SNT_WINSDK_DIR to a folder with include/ from the MinGW-w64 project)"
  exit 0
fi
winsdk=$(cd "$winsdk" && pwd)

cxx=x86_64-w64-mingw32-g++-posix
objcopy=x86_64-w64-mingw32-objcopy
for tool in "$cxx" "$objcopy"; do
  command -v "$tool" >/dev/null || { echo "windows check: FAILED: $tool missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
done
qt=$(pkg-config --variable=includedir Qt5Core)

fail() { echo "windows check: FAILED: $*" >&2; exit 1; }

# What src/ compiles against on Linux must be what it gets on Windows.
python3 scripts/check-sdk-names.py "$winsdk/include" || fail "platform/include and the real SDK differ"

# Windows' min/max macros: MinGW's headers happen not to show them to the
# module, MSVC's do. Every file that includes windows.h asks for NOMINMAX first.
while IFS= read -r file; do
  awk '/#define NOMINMAX/ { seen = 1 } /#include <windows.h>/ { exit seen ? 0 : 1 }' "$file" \
    || fail "$file includes <windows.h> without defining NOMINMAX first"
done < <(grep -rl --include='*.cpp' --include='*.h' '#include <windows.h>' src || true)

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# A file that includes its moc output gets it from Qt 5's moc, run for Windows.
moc=$(pkg-config --variable=host_bins Qt5Core)/moc
mkdir -p "$out/moc"
mocRuns=0
while IFS= read -r file; do
  while IFS= read -r generated; do
    base=${generated%.moc}; base=${base#moc_}; base=${base%.cpp}
    dir=$(dirname "$file")
    if [[ $generated == *.moc ]]; then input=$dir/$base.cpp; else input=$dir/$base.h; fi
    "$moc" -D_WIN32 -DQ_OS_WIN "$input" -o "$out/moc/$generated" || fail "moc of $input"
    mocRuns=$((mocRuns + 1))
  done < <(grep -oE '#include "(moc_[^"]+\.cpp|[^"]+\.moc)"' "$file" | sed -E 's/.*"(.*)"/\1/')
done < <(find src -name '*.cpp' | sort)

flags=(-std=c++17 -DUNICODE -D____FIReference_1_BYTE_INTERFACE_DEFINED__ -Wno-attributes
       -I"$winsdk/include"
       -I"$qt" -I"$qt/QtCore" -I"$qt/QtGui" -I"$qt/QtWidgets"
       $(pkg-config --cflags jsoncpp)
       -I"$out/moc")
for dir in front common hostkit native native/winrt legacy popup; do
  flags+=(-I"src/$dir")
done
case " ${flags[*]} " in *"platform/include"*) fail "platform/include is on the include path" ;; esac

mapfile -t units < <(find src -name '*.cpp' | sort)
# The host stand-ins the module links, and the cloud-skin add-on, build for
# Windows too; each is compiled as CMake builds it, exporting its own API.
hostUnits=()
for lib in umlite zandr orvexcloudskin; do
  for unit in host/$lib/*.cpp; do hostUnits+=("$unit"); done
done

export cxx out
printf '%s\n' "${flags[@]}" > "$out/flags"
compile() { # unit: to $out/obj/<unit>.o
  local obj=$out/obj/${1%.cpp}.o log=$out/$(echo "$1" | tr / _).log extra=()
  mkdir -p "$(dirname "$obj")"
  mapfile -t f < "$out/flags"
  if [[ $1 == host/* ]]; then
    local lib
    lib=$(basename "$(dirname "$1")")
    extra=(-D"${lib}_EXPORTS" -I"host/$lib" -DUMLITE_SKIN_FROM_BUILT_LIB='"."' -DUMLITE_SKIN_FROM_APP_DIR='"."' -DUMLITE_SKIN_FROM_INSTALLED_LIB='"."')
  fi
  if ! "$cxx" "${f[@]}" "${extra[@]}" -c "$1" -o "$obj" > "$log" 2>&1; then
    echo "--- $1" >&2
    cat "$log" >&2
    return 1
  fi
}
export -f compile
printf '%s\n' "${units[@]}" "${hostUnits[@]}" | xargs -P "$(nproc)" -I{} bash -c 'compile "$@"' _ {} \
  || fail "a translation unit does not compile for Windows (above)"

# Export directives, as the linker reads them from each object's .drectve.
exportsOf() {
  "$objcopy" --dump-section .drectve="$out/drectve" "$1" "$out/scratch.o" 2>/dev/null || true
  [ -s "$out/drectve" ] || return 0
  tr '\0' ' ' < "$out/drectve" | grep -oE -- '-export:("[^"]*"|[^ ]*)(,data)?' | sed -E 's/^-export://; s/"//g' | sort
  rm -f "$out/drectve"
}
exportsObject=$out/obj/src/front/exports.o
mapfile -t names < <(exportsOf "$exportsObject")
expected=(createSystemNotifyToast deleteSystemNotifyToast isSupportSystemToast)
[ "${names[*]:-}" = "${expected[*]}" ] \
  || fail "src/front/exports.cpp exports '${names[*]:-nothing}', expected exactly '${expected[*]}'"
while IFS= read -r obj; do
  [ "$obj" = "$exportsObject" ] && continue
  stray=$(exportsOf "$obj")
  [ -z "$stray" ] || fail "${obj#"$out"/obj/} exports $(echo $stray)"
done < <(find "$out/obj/src" -name '*.o' | sort)

[ "$(exportsOf "$out/obj/host/orvexcloudskin/orvexcloudskin.o")" = getOrvexCloudSkinProxy ] \
  || fail "the cloud-skin add-on does not export exactly getOrvexCloudSkinProxy"

echo "windows check: ${#units[@]} translation units of src/ compiled with $cxx against $winsdk/include," \
     "MinGW-w64's and Qt 5's headers (platform/ not on the include path)"
echo "windows check: export directives of src/front/exports.cpp: ${names[*]} (none in any other object)"
echo "windows check: also compiled: ${#hostUnits[@]} translation units of the host stand-ins umlite, zandr" \
     "and the cloud-skin add-on (which exports getOrvexCloudSkinProxy)"
echo "windows check: moc run for $mocRuns included moc output(s); the moc files CMake's AUTOMOC" \
     "compiles on its own are not compiled here"
echo "windows check: objects only; no DLL is linked, because Qt for Windows is not available here"
