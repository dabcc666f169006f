#!/usr/bin/env bash
# Race stress under Wine: trwk6.exe cleans the Windows family (its downloaded program
# files are removed with their folders) while a host process keeps exchanging a sub-folder
# of that folder with a link to a canary folder outside the drive. Every run must leave
# the canary whole. Prints the runs, the swaps and the canary files lost.
#   race_swap_wine.sh WORK_FOLDER WINDOWS_BIN
# STRESS_WINE_RUNS runs (30). WORK_FOLDER is made afresh and removed at the end (unless
# KEEP_STRESS=1); the prefix in it has no z: drive, HOME points into it.
set -euo pipefail
work=${1:?usage: race_swap_wine.sh WORK_FOLDER WINDOWS_BIN}
winbin=$(cd "${2:?usage: race_swap_wine.sh WORK_FOLDER WINDOWS_BIN}" && pwd)
runs=${STRESS_WINE_RUNS:-30}
[ -f "$winbin/trwk6.exe" ] || { echo "race_swap_wine.sh: no trwk6.exe in $winbin" >&2; exit 2; }
command -v python3 >/dev/null || { echo "race_swap_wine.sh: python3 is needed for the swapper; skipped"; exit 0; }
case "$work" in /|/tmp|/tmp/|"$HOME"|"$HOME"/.wine*) echo "race_swap_wine.sh: refusing $work" >&2; exit 2 ;; esac

rm -rf "$work"
mkdir -p "$work/home/.local/share"
work=$(cd "$work" && pwd)
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share WINEPREFIX=$work/prefix
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
swapper=
finish() {
  [ -n "$swapper" ] && kill "$swapper" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  [ "${KEEP_STRESS:-}" = 1 ] || rm -rf "$work"
}
trap finish EXIT

echo "race_swap_wine.sh: booting a fresh prefix"
wineboot -i </dev/null >/dev/null 2>&1 || true
wineserver -w
rm -f "$WINEPREFIX/dosdevices/z:"
c=$WINEPREFIX/drive_c
program="$c/Program Files/Tarnwick"
mkdir -p "$program"
cp "$winbin/trwk6.exe" "$program/"
{
  printf '[Path]\r\nDetect=1\r\nIE1=-\r\nIE2=-\r\nIE3=-\r\nNetscape1A=-\r\nNetscape2=-\r\nOpera1=-\r\nOpera2=-\r\n'
  printf 'Win1=C:\\race\\recent\\\r\nWin2=C:\\race\\temp\\\r\nWin3=C:\\race\\dpf\\\r\n'
  printf '[Rensa]\r\nValue14=1\r\nValue15=1\r\nValue16=1\r\n[Inst]\r\nSafetylevel=1\r\n'
} >"$program/mainten.ini"

canary=$work/canary
mkdir -p "$canary/sub"
for f in a.tmp b.dat sub/c.tmp; do echo "canary $f" >"$canary/$f"; done
sums() { (cd "$canary" && find . -type f -print0 | sort -z | xargs -0 md5sum); }
sums >"$work/canary.sums"

# A tree worth walking: the swapped folder holds enough entries for the walk to take a while.
plant() {
  rm -rf "$c/race" "$work/park"
  mkdir -p "$c/race/recent" "$c/race/temp" "$c/race/dpf/sub/deeper" "$work/park"
  for n in $(seq 1 40); do : >"$c/race/dpf/f$n.ocx"; : >"$c/race/dpf/sub/s$n.inf"; done
  : >"$c/race/dpf/sub/deeper/d.inf"
  ln -s "$canary" "$work/park/link"
}

swaps_total=0 lost=0 start=$(date +%s)
wineserver -p  # one wineserver for every run
for run in $(seq 1 "$runs"); do
  plant
  rm -f "$work/ready"
  python3 - "$c/race/dpf/sub" "$work/park/link" "$work/ready" >"$work/swaps" <<'PY' &
import ctypes, signal, sys
libc = ctypes.CDLL(None, use_errno=True)
a, b = (s.encode() for s in sys.argv[1:3])
swaps = 0
def stop(*_):
    print(swaps)
    sys.exit(0)
signal.signal(signal.SIGTERM, stop)
open(sys.argv[3], "w").close()
while True:
    if libc.renameat2(-100, a, -100, b, 2) == 0:  # AT_FDCWD, RENAME_EXCHANGE
        swaps += 1
PY
  swapper=$!
  for _ in $(seq 1 1000); do [ -e "$work/ready" ] && break; sleep 0.01; done
  (cd "$program" && wine 'C:\Program Files\Tarnwick\trwk6.exe' --clean windows --accept-licence \
    >"$work/run.out" 2>&1 </dev/null) || echo "race_swap_wine.sh: run $run ended with $?"
  kill "$swapper"
  wait "$swapper" || true
  swapper=
  swaps=$(cat "$work/swaps" 2>/dev/null || true)
  swaps_total=$((swaps_total + ${swaps:-0}))
  if ! sums | cmp -s - "$work/canary.sums"; then
    lost=$((lost + 1))
    echo "race_swap_wine.sh: run $run changed the canary:"
    sums | diff "$work/canary.sums" - || true
    break
  fi
done
echo "race_swap_wine.sh: $run runs in $(($(date +%s) - start)) s, $swaps_total swaps, canary changed in $lost runs"
[ "$lost" = 0 ]
