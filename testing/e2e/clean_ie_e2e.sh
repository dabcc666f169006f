#!/usr/bin/env bash
# End to end: the same seeded Wine prefix is cleaned twice, by trwk6.exe under Wine on one
# copy and by the Linux build's trwk6 on another, with `--clean ie`; then the files left,
# the registry values concerned, the log lines and the console output (times masked) must
# be the same on both, and right. Then zap runs on each copy, as Windows would start it
# at the next boot (zap.exe under Wine, the Linux build's zap natively), and the index
# files it removes, the history's records among them, must be gone alike on both.
#   clean_ie_e2e.sh WORK_FOLDER WINDOWS_BIN NATIVE_BIN
# WORK_FOLDER is made afresh and removed at the end; nothing outside it is touched (HOME
# and the freedesktop trash point into it, the prefixes have no z: drive).
set -euo pipefail

source "$(dirname "$0")/e2e_common.sh"
e2e_start clean_ie_e2e.sh "$@"

# The seed: a program folder with ticks for all five Internet Explorer items at safety
# level 3, history, temporary files and cookies (one kept), typed URLs.
ie="$base/drive_c/ietraces"
mkdir -p "$ie/History/History.IE5/MSHist01" "$ie/Temporary Internet Files/Content.IE5/AB12CD34" "$ie/Cookies"
echo "visited" >"$ie/History/History.IE5/MSHist01/index.dat"
echo "history" >"$ie/History/History.IE5/index.dat"
echo "[InternetShortcut]" >"$ie/History/History.IE5/MSHist01/visit.url"
echo "page" >"$ie/Temporary Internet Files/Content.IE5/AB12CD34/page[1].htm"
echo "index" >"$ie/Temporary Internet Files/Content.IE5/index.dat"
printf 'session\n1\nexample.com/\n' >"$ie/Cookies/tester@example[1].txt"
printf 'keep me\n1\nbank.example/\n' >"$ie/Cookies/tester@bank[1].txt"
printf 'case\n' >"$ie/Cookies/Tester@Bank[1].txt"
echo "cookie index" >"$ie/Cookies/index.dat"
printf 'tester@bank[1].txt\r\n' >"$program/cookies1.lst"
printf '[Path]\r\nDetect=1\r\nIE1=C:\\ietraces\\History\\\r\nIE2=C:\\ietraces\\Temporary Internet Files\\\r\nIE3=C:\\ietraces\\Cookies\\\r\nIE4=C:\\ietraces\\Temporary Internet Files\\Content.IE5\\\r\n[Rensa]\r\nValue1=1\r\nValue2=1\r\nValue3=1\r\nValue4=1\r\nValue5=1\r\n[Inst]\r\nSafetylevel=3\r\n' >"$program/mainten.ini"
cat >>"$base/user.reg" <<'REG'

[Software\\Microsoft\\Internet Explorer\\TypedURLs] 1733660000
#time=1d94a1b2c3d4e5f
"url1"="http://example.com/"
"url2"="http://bank.example/"
REG
check "the seed has the RunOnce key" grep -qF '[Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce]' "$base/system.reg"
[ -f "$winbin/zap.exe" ] || { echo "e2e: no zap.exe in $winbin" >&2; exit 2; }
[ -x "$natbin/zap" ] || { echo "e2e: no native zap in $natbin (build the native preset first)" >&2; exit 2; }
cp "$winbin/zap.exe" "$program/"

e2e_run_both --clean ie --accept-licence

# What each run left, in a form that compares: times, free-space figures and CRs masked.
files_left() { (cd "$1/drive_c" && find ietraces "Program Files/Tarnwick" -printf '%y %p\n' | sort); }
registry() {
  echo "TypedURLs:"
  reg_section "$1/user.reg" 'Software\\Microsoft\\Internet Explorer\\TypedURLs'
  echo "RunOnce:"
  reg_section "$1/system.reg" 'Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce'
  echo "RunServicesOnce:"
  reg_section "$1/system.reg" 'Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce'
  echo "Agreement:"
  reg_section "$1/user.reg" 'Software\\Tarnwick\\trwk6\\Options'
}
log_lines() { tr -d '\r' <"$1/drive_c/Program Files/Tarnwick/trwk.log" | sed -E 's/^"[^\t]*\t/"/'; }
console() { tr -d '\r' <"$1" | sed -E 's/[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9:]{8}/<time>/g'; }

for side in wine native; do
  p=$work/$side
  files_left "$p" | grep -Ev '^f Program Files/Tarnwick/(trwk6|zap)\.exe$' >"$work/$side.files"
  settings "$p" >"$work/$side.ini"
  registry "$p" >"$work/$side.reg"
  log_lines "$p" >"$work/$side.log"
  console "$work/$side.out" >"$work/$side.console"
done
for what in files ini reg log console; do
  check "same $what on both" diff -u "$work/wine.$what" "$work/native.$what"
done

# And right, not merely alike.
f=$work/native.files
check "the kept cookie stays" grep -qxF 'f ietraces/Cookies/tester@bank[1].txt' "$f"
check "a cookie differing in letter case goes" bash -c "! grep -qF 'Tester@Bank' '$f'"
check "other cookies go" bash -c "! grep -qF 'tester@example' '$f'"
check "the cookies' index.dat stays" grep -qxF 'f ietraces/Cookies/index.dat' "$f"
check "temporary files go" bash -c "! grep -qF 'page[1].htm' '$f'"
check "history goes" bash -c "! grep -qF 'visit.url' '$f'"
check "the history's records are left for zap" grep -qxF 'f ietraces/History/History.IE5/MSHist01/index.dat' "$f"
check "typed URLs are gone" bash -c "! grep -qF 'http://example.com/' '$work/native.reg'"
check "zap runs once at the next start" grep -qF '"String Value"="C:\\Program Files\\Tarnwick\\zap.exe"' "$work/native.reg"
check "the agreement is stored as accepted" grep -qF '"Show Tips at Startup"="0"' "$work/native.reg"
check "the log starts the session" grep -qF 'Session Started at line 0 -  TRWK 6.17 (0)' "$work/native.log"
check "the run says it is done" grep -qF '[Info] Cleaning System...Done -> OK' "$work/native.console"
check "the stamp is stored" grep -qF 'Value1=<time>' "$work/native.ini"

# The next start of Windows: zap, from the run-once value just written, on both copies.
echo "e2e: zap.exe under Wine"
set +e
(cd "$work/wine/drive_c/Program Files/Tarnwick" &&
  WINEPREFIX=$work/wine wine 'C:\Program Files\Tarnwick\zap.exe' >"$work/wine.zap.out" 2>&1 </dev/null)
wine_zap=$?
WINEPREFIX=$work/wine wineserver -w
echo "e2e: native zap"
WINEPREFIX=$work/native TRWK_PROGRAM_FOLDER='C:\Program Files\Tarnwick' "$natbin/zap" >"$work/native.zap.out" 2>&1 </dev/null
native_zap=$?
set -e
check "zap under Wine ends with 0 (was $wine_zap)" [ "$wine_zap" = 0 ]
check "native zap ends with 0 (was $native_zap)" [ "$native_zap" = 0 ]
for side in wine native; do
  files_left "$work/$side" | grep -Ev '^f Program Files/Tarnwick/(trwk6|zap)\.exe$' >"$work/$side.zapped"
  log_lines "$work/$side" >"$work/$side.zaplog"
done
check "same files after zap on both" diff -u "$work/wine.zapped" "$work/native.zapped"
check "same log after zap on both" diff -u "$work/wine.zaplog" "$work/native.zaplog"
z=$work/native.zapped
check "zap removes the history's own index" bash -c "! grep -qxF 'f ietraces/History/History.IE5/index.dat' '$z'"
check "zap removes the index of each MSHist folder" bash -c "! grep -qF 'MSHist01/index.dat' '$z'"
check "and the MSHist folder that held only its index" bash -c "! grep -qF 'MSHist01' '$z'"
check "History.IE5 itself stays" grep -qxF 'd ietraces/History/History.IE5' "$z"
check "zap removes the cache index" bash -c "! grep -qF 'Content.IE5/index.dat' '$z'"
check "zap removes the cookies' index" bash -c "! grep -qxF 'f ietraces/Cookies/index.dat' '$z'"
check "zap leaves the kept cookie" grep -qxF 'f ietraces/Cookies/tester@bank[1].txt' "$z"
check "zap logs nothing" bash -c "! grep -qF 'ZAP-' '$work/native.zaplog'"

if [ "$fail" != 0 ]; then
  for side in wine native; do
    echo "--- $side stdout"; cat "$work/$side.out"; echo "--- $side stderr"; cat "$work/$side.err"
    echo "--- $side files"; cat "$work/$side.files"; echo "--- $side registry"; cat "$work/$side.reg"
    echo "--- $side log"; cat "$work/$side.log"
    echo "--- $side after zap"; cat "$work/$side.zapped" 2>/dev/null || true
    echo "--- $side zap output"; cat "$work/$side.zap.out" 2>/dev/null || true
  done
fi
exit $fail
