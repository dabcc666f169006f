#!/usr/bin/env bash
# End to end: the first start of each build detects every path on a copy of one freshly
# booted Wine prefix (the shipped mainten.ini asks for detection with Detect=0). Run
# headless with `--clean ie` and nothing ticked, trwk6.exe under Wine and the Linux build's
# trwk6 must store the same [Path] values. The prefix's "User Shell Folders" and the older
# "Shell Folders" copy are made to differ, so that both builds must answer from the former
# as Windows and Wine do; and one of its values is relative, which names no folder. No
# browser is installed, so Netscape and Opera are "-".
#   path_detection_e2e.sh WORK_FOLDER WINDOWS_BIN NATIVE_BIN
# WORK_FOLDER is made afresh and removed at the end; nothing outside it is touched (HOME
# and the freedesktop trash point into it, the prefixes have no z: drive).
set -euo pipefail

source "$(dirname "$0")/e2e_common.sh"
e2e_start path_detection_e2e.sh "$@"
shipped=$(cd "$(dirname "$0")/../../data" && pwd)/mainten.ini
[ -f "$shipped" ] || { echo "e2e: no shipped mainten.ini at $shipped" >&2; exit 2; }

cp "$shipped" "$program/mainten.ini"

# History and the cache moved (expandable values), their old copies left behind; the
# cookies folder given as a relative text.
user=$(cd "$base/drive_c/users" && for d in *; do [ "$d" != Public ] && [ -d "$d" ] && echo "$d" && break; done)
mkdir -p "$base/drive_c/users/$user/Moved History" "$base/drive_c/users/$user/Moved Cache"
usf='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders'
sf='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
for change in "$usf|History|REG_EXPAND_SZ|%USERPROFILE%\Moved History" \
              "$usf|Cache|REG_EXPAND_SZ|%USERPROFILE%\Moved Cache" \
              "$usf|Cookies|REG_EXPAND_SZ|Cookies" \
              "$sf|History|REG_SZ|C:\windows\temp" "$sf|Cache|REG_SZ|C:\windows\temp" \
              "$sf|Cookies|REG_SZ|C:\windows\temp"; do
  IFS='|' read -r key name type data <<<"$change"
  WINEPREFIX=$base wine reg add "$key" /v "$name" /t "$type" /d "$data" /f >/dev/null 2>&1
done
WINEPREFIX=$base wineserver -w
check "the seed's shell folders differ" grep -qF '"History"="C:\\windows\\temp"' "$base/user.reg"
check "the shipped settings ask for detection" bash -c 'tr -d "\r" <"$1" | grep -qx Detect=0' _ "$program/mainten.ini"

e2e_run_both --clean ie --accept-licence

# The [Path] section as stored, one key=value a line.
path_section() {
  tr -d '\r' <"$1/drive_c/Program Files/Tarnwick/mainten.ini" |
    awk '/^\[/ { on = ($0 == "[Path]"); next } on && /=/ { print }'
}
# The messages for the missing families, and the log, with their times masked.
console() { tr -d '\r' <"$1" | sed -E 's/[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9:]{8}/<time>/g'; }
log_lines() { tr -d '\r' <"$1/drive_c/Program Files/Tarnwick/trwk.log" | sed -E 's/^"[^\t]*\t/"/'; }
for side in wine native; do
  path_section "$work/$side" >"$work/$side.path"
  console "$work/$side.out" >"$work/$side.console"
  log_lines "$work/$side" >"$work/$side.log"
done
check "same [Path] on both" diff -u "$work/wine.path" "$work/native.path"
check "same messages on both" diff -u "$work/wine.console" "$work/native.console"
check "same log on both" diff -u "$work/wine.log" "$work/native.log"
check "the missing families are told" grep -qF '[Info] Could not find Opera paths.' "$work/native.console"
check "the relative cookies folder is told" grep -qF '[Info] Could not find Internet Explorer paths.' "$work/native.console"

# And right, not merely alike.
p=$work/native.path
value() { sed -n "s/^$1=//p" "$p"; }
check "detection is marked done" [ "$(value Detect)" = 1 ]
for key in IE1 IE2 Win1 Win2; do
  check "$key is a folder ending in a backslash" bash -c '[[ "$1" == [A-Za-z]:\\*\\ ]]' _ "$(value $key)"
done
moved="C:\\users\\$user\\Moved"
check "IE1 is the User Shell Folders' History" [ "$(value IE1)" = "$moved History\\" ]
check "IE2 is the User Shell Folders' cache" [ "$(value IE2)" = "$moved Cache\\" ]
check "IE3, relative, is not stored" [ -z "$(value IE3)" ]
check "IE4 is the cache folder's index" [ "$(value IE4)" = "$(value IE2)Content.ie5\\" ]
check "Win2 is the Windows folder's Temp" [ "$(value Win2 | tr A-Z a-z)" = 'c:\windows\temp\' ]
for key in Netscape1A Netscape2 Opera1 Opera2; do
  check "$key is not found" [ "$(value $key)" = "-" ]
done
check "no Netscape user is chosen" [ "$(value Netscape1B),$(value Netscape1C)" = "-1,Error" ]

if [ "$fail" != 0 ]; then
  for side in wine native; do
    echo "--- $side stdout"; cat "$work/$side.out"; echo "--- $side stderr"; cat "$work/$side.err"
    echo "--- $side [Path]"; cat "$work/$side.path"
    echo "--- $side log"; tr -d '\r' <"$work/$side/drive_c/Program Files/Tarnwick/trwk.log" 2>/dev/null || true
  done
fi
exit $fail
