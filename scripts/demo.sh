#!/usr/bin/env bash
# Shows trwk6.exe under Wine on a sandbox prefix of its own: the licence agreement of a
# first start, then the main window of a later start. Saves a screenshot of each.
#   scripts/demo.sh <folder of the Windows programs>      (make demo passes build/windows/bin)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:?usage: scripts/demo.sh <windows bin folder>}" && pwd)
[ -f "$bin/trwk6.exe" ] || { echo "demo: no trwk6.exe in $bin" >&2; exit 2; }

# Without a display the demo draws on a virtual one.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

prefix=$root/build/demo-prefix
home=$root/build/demo-home
shot=$root/build/demo-screenshot.png
mainshot=$root/build/demo-main-window.png
# Wine links the user's folders to HOME and empties the trash under XDG_DATA_HOME: both
# point into the build folder so that nothing of the real home is ever reached.
rm -rf "$home"
mkdir -p "$home/.local/share"
export HOME=$home XDG_DATA_HOME=$home/.local/share
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

cleanup() { wineserver -k 2>/dev/null || true; }
trap cleanup EXIT

echo "demo: making the sandbox prefix $prefix"
"$root/testing/make-wineprefix" "$prefix"
rm -f "$prefix/dosdevices/z:"
# Wine draws the window frames itself, so a display without a window manager shows them.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1

install="$prefix/drive_c/Program Files/Tarnwick"
mkdir -p "$install"
for exe in trwk6.exe Extmaker1.exe zap.exe; do
  [ -f "$bin/$exe" ] && cp "$bin/$exe" "$install/"
done
for file in "$root"/data/*; do
  cp "$bin/$(basename "$file")" "$install/"
done
echo "demo: installed into C:\\Program Files\\Tarnwick"

# Waits until a window with this exact caption is on the display.
wait_for_window() {
  for _ in $(seq 1 120); do
    if xwininfo -root -tree 2>/dev/null | grep -qF "\"$1\""; then
      sleep 2  # let it finish painting
      return 0
    fi
    sleep 0.5
  done
  echo "demo: the window \"$1\" did not appear" >&2
  return 1
}

start_trwk6() {
  (cd "$install" && exec wine 'C:\Program Files\Tarnwick\trwk6.exe') &
}

echo "demo: first start"
start_trwk6
wait_for_window "License Agreement and Disclaimer"
import -window root "$shot"
echo "demo: screenshot of the licence agreement: $shot"
wineserver -k
wait || true

# A user who has agreed once goes straight to the main window.
wine reg add 'HKCU\Software\Tarnwick\trwk6\Options' /v 'Show Tips at Startup' /d 0 /f >/dev/null 2>&1
echo "demo: second start, after the agreement was accepted"
start_trwk6
wait_for_window "Tarnwick"
import -window root "$mainshot"
echo "demo: screenshot of the main window: $mainshot"
wineserver -k
wait || true
