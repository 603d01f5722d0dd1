#!/usr/bin/env bash
# Runs the Windows build as a Windows user would, under Wine on a private X
# display with a system tray. The cases share two Wine prefixes, one of
# Windows 7 and one of Windows 10, made side by side:
#   units      (7)  the host kit's Windows path rules
#   windows7   (7)  no native toasts: the tray service, its icon shown and
#                   removed; hostile requests on the tray and on popups
#   popup      (10) a popup seen on the screen in its corner, timing out; laid
#                   out right to left in the other corner, its button clicked;
#                   call backs from a popup's reports
#   native     (10) hostile requests on the native service while Wine has no
#                   notification classes (refused) and on popups; then the
#                   Linux suite's native test, through the simulated
#                   notification classes built as a runtime component
#                   (OUT/winsim), registered in the prefix and activated by
#                   Wine's own RoGetActivationFactory
# Prints each check, then "N passed, M failed"; exits 1 when any failed.
#
# Usage: tests/windows/run.sh OUT [CASE...]   (OUT from scripts/build-windows.sh
#        --tests OUT; no CASE: all of them)
#        SNT_WINE_SCREENSHOTS=DIR keeps the screenshots taken.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

[ $# -ge 1 ] && [ -f "$1/bin/toastctl.exe" ] || { echo "usage: $0 OUT [CASE...] (OUT from scripts/build-windows.sh --tests)" >&2; exit 2; }
if [ "${RUN_INSIDE_TRAY:-}" != 1 ]; then
  RUN_INSIDE_TRAY=1 exec "$root/scripts/with-tray.sh" "$0" "$@"
fi
out=$(cd "$1" && pwd)
shift
all=" units windows7 popup native "
for c in "$@"; do [[ $all == *" $c "* ]] || { echo "$0: no case '$c' (cases:$all)" >&2; exit 2; }; done
cases=" ${*:-$all} "
bin=$out/bin
scratch=$(mktemp -d)
shots=${SNT_WINE_SCREENSHOTS:-$scratch}
mkdir -p "$shots"
children=()
cleanup() {
  for pid in "${children[@]}"; do kill "$pid" 2>/dev/null || true; done
  for prefix in "$scratch"/prefix-*; do [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k 2>/dev/null; done
  rm -rf "$scratch"
}
trap cleanup EXIT

# No Mono or Gecko: nothing here needs them, and their installers would ask.
# No crash debugger either: a crash ends the program at once.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=;winedbg.exe=d"
passed=0 failed=0
check() { # what, command...: one line per check
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); echo "PASS  $what"
  else failed=$((failed + 1)); echo "FAIL  $what"; fi
}

# Each prefix is made up front, both at a time; a case waits for its own.
make_prefix() { # windows-version
  local prefix=$scratch/prefix-$1
  WINEPREFIX=$prefix wineboot -i >/dev/null 2>&1
  [ "$1" = 7 ] || WINEPREFIX=$prefix wine winecfg -v "win$1" >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -w
  touch "$prefix.ready"
}
wants() { for c in "$@"; do [[ $cases == *" $c "* ]] && return 0; done; return 1; }
if wants units windows7; then make_prefix 7 & children+=($!); fi
if wants popup native; then make_prefix 10 & children+=($!); fi
case_() { # name windows-version: whether to run the case, in its prefix once that is made
  wants "$1" || return 1
  echo "== $1"
  local i=0
  until [ -e "$scratch/prefix-$2.ready" ]; do
    i=$((i + 1))
    [ $i -lt 1200 ] || { failed=$((failed + 1)); echo "FAIL  $1: no Wine prefix after 120 s"; return 1; }
    sleep 0.1
  done
  export WINEPREFIX=$scratch/prefix-$2
}

# A Qt Test program of the folder; its totals count as checks of their own.
qtest() { # name program [test functions...]
  local name=$1 program=$2 log=$scratch/$1.txt; shift 2
  wine "$bin/$program" -o "$(winepath -w "$log"),txt" "$@" >/dev/null 2>&1
  local totals
  totals=$(sed -n 's/^Totals: \([0-9]*\) passed, \([0-9]*\) failed.*/\1 \2/p' "$log" 2>/dev/null)
  if [ -z "$totals" ]; then
    failed=$((failed + 1)); echo "FAIL  $name: $program ended without totals"; cat "$log" 2>/dev/null
    return
  fi
  set -- $totals
  passed=$((passed + $1)); failed=$((failed + $2))
  echo "$( [ "$2" -eq 0 ] && echo PASS || echo FAIL)  $name: $program, $1 passed, $2 failed"
  [ "$2" -eq 0 ] || grep -A3 '^FAIL' "$log"
}

poll() { # seconds, command...: until the command succeeds
  local deadline=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do [ $SECONDS -lt $deadline ] || return 1; sleep 0.1; done
}
has_line() { tr -d '\r' <"$1" | grep -qxF "$2"; }
same() { [ "$1" = "$2" ] || { echo "      got '$1', expected '$2'"; return 1; }; }

# Wine docks a tray icon into the tray as a window of its explorer.
tray_icons() { xwininfo -root -tree | sed -n '/"panel": ("panel" "trayer")/,/^     0x/p' | grep -c '("explorer.exe"'; }

# Mean brightness (0 to 1) of a rectangle of a screenshot.
brightness() { convert "$1" -crop "$2" +repage -colorspace Gray -format '%[fx:mean]' info:; }
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }

start=$SECONDS
toastctl=$bin/toastctl.exe

case_ units 7 && qtest units tst_winunits.exe

if case_ windows7 7; then
  check "windows7: toastctl supported says false" same "$(wine "$toastctl" supported 2>/dev/null | tr -d '\r')" '{"supported":false}'
  # The balloon's icon is the request's; a balloon without one shows no icon.
  icon=$(winepath -w "$root/tests/data/toast-icon.png")
  before=$(tray_icons)
  wine "$toastctl" --all --wait 20000 --hide-after 6000 \
    show "{\"0\":1,\"1\":$(printf '%s' "$icon" | sed 's/\\/\\\\/g; s/^/"/; s/$/"/'),\"5\":[\"Saved\",\"Report.docx\"]}" \
    >"$scratch/tray.out" 2>&1 &
  pid=$!
  check "windows7: the tray service shows its balloon under id 0" poll 30 has_line "$scratch/tray.out" '{"event":"shown","id":0}'
  check "windows7: the icon is in the tray" poll 20 test "$(tray_icons)" -gt "$before"
  check "windows7: hideToast answers true" poll 30 has_line "$scratch/tray.out" '{"event":"hidden","id":0,"result":true}'
  check "windows7: hideToast took the icon out of the tray" poll 10 test "$(tray_icons)" -eq "$before"
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  qtest windows7 tst_winhost.exe hostileRequests
  wineserver -k
fi

if case_ popup 10; then
  request='{"0":1,"2":"Orvex Writer","9":4000,"5":["Report.docx is ready","Shared by Ana"],"10":[{"text":"Open","action":"open"}]}'
  for layout in ltr rtl; do
    args=(--app-drawn --wait 30000)
    [ $layout = rtl ] && args+=(--rtl)
    # A window of the host's that has the keyboard, as a document window would.
    if [ $layout = ltr ]; then
      xmessage -geometry +500+300 -title host "a host window" 2>/dev/null &
      children+=($!)
      poll 10 xdotool search --onlyvisible --name '^host$' && xdotool windowfocus "$(xdotool search --onlyvisible --name '^host$' | head -n 1)"
    fi
    wine "$toastctl" "${args[@]}" show "$request" >"$scratch/popup-$layout.out" 2>&1 &
    pid=$!
    window=
    find_popup() { window=$(xdotool search --onlyvisible --class toastctl 2>/dev/null | tail -n 1); [ -n "$window" ]; }
    if ! poll 30 find_popup; then
      check "popup ($layout): a window appears" false; cat "$scratch/popup-$layout.out"; kill "$pid"; continue
    fi
    eval "$(xdotool getwindowgeometry --shell "$window")"
    read -r screen_w screen_h < <(xdpyinfo | sed -n 's/ *dimensions: *\([0-9]*\)x\([0-9]*\) .*/\1 \2/p')
    # The frame sits 12 px from the screen's edges, inside a shadow of 12 px (14 below).
    if [ $layout = ltr ]; then
      check "popup (ltr): in the bottom-right corner" same "$((screen_w - (X + WIDTH - 12))),$((screen_h - (Y + HEIGHT - 14)))" "12,12"
    else
      check "popup (rtl): in the bottom-left corner" same "$((X + 12)),$((screen_h - (Y + HEIGHT - 14)))" "24,12"
    fi
    # Seen, not just mapped: the frame is light on the black root once the fade is over.
    shot=$shots/popup-$layout.png
    frame="$((WIDTH - 64))x$((HEIGHT - 64))+$((X + 32))+$((Y + 32))"
    far="$((WIDTH - 64))x$((HEIGHT - 64))+$((screen_w - X - WIDTH + 32))+32"
    seen() { import -window root "$shot" && at_least "$(brightness "$shot" "$frame")" 0.6; }
    check "popup ($layout): seen on a screenshot" poll 10 seen
    check "popup ($layout): nothing drawn elsewhere" test "$(brightness "$shot" "$far")" = 0
    if [ $layout = ltr ]; then
      echo "      keyboard focus: $(xdotool getwindowname "$(xdotool getwindowfocus 2>/dev/null)" 2>/dev/null || echo none)" \
           "(the host's window is \"host\", the popup \"$(xdotool getwindowname "$window")\")"
      check "popup (ltr): times out as dismissed, reason 2" poll 20 grep -q '"event":"dismissed".*"reason":2' "$scratch/popup-ltr.out"
    else
      # The only button, at the bottom of the frame on the leading side.
      xdotool mousemove "$((X + 12 + 16 + 30))" "$((Y + HEIGHT - 14 - 14 - 14))" click 1
      check "popup (rtl): the click reaches the listener with the button's index and action" \
        poll 20 grep -q '"action":"open","event":"activated","id":[1-9][0-9]*,"index":0,"source":1' "$scratch/popup-rtl.out"
    fi
    wait "$pid" 2>/dev/null
  done
  check "popup: toastctl supported says true" same "$(wine "$toastctl" supported 2>/dev/null | tr -d '\r')" '{"supported":true}'
  qtest popup tst_winhost.exe callBackFromReport
  wineserver -k
fi

if case_ native 10; then
  # Before the classes are there, as Wine has it: native toasts refused.
  qtest native tst_winhost.exe hostileRequests
  # The component's classes, registered as the system's own are.
  component=$(winepath -w "$out/winsim/winsimcomponent.dll" | sed 's/\\/\\\\/g')
  for class in Windows.UI.Notifications.ToastNotificationManager Windows.UI.Notifications.ToastNotification \
               Windows.Data.Xml.Dom.XmlDocument; do
    printf '\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\WindowsRuntime\\ActivatableClassId\\%s]\n' "$class"
    printf '"DllPath"="%s"\n"ActivationType"=dword:00000000\n"Threading"=dword:00000000\n' "$component"
  done | sed '1i REGEDIT4' >"$scratch/component.reg"
  wine regedit /S "$(winepath -w "$scratch/component.reg")" >/dev/null 2>&1
  qtest native tst_nativeroad.exe
  wineserver -k
fi

echo "windows under wine: $((SECONDS - start)) s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
