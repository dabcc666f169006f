#!/usr/bin/env bash
# End to end: one Wine prefix seeded with traces of all three browsers and of Windows is
# cleaned twice with `--clean all`, by trwk6.exe under Wine on one copy and by the Linux
# build's trwk6 on another; then the files left, the registry values concerned, the trash,
# the log lines and the console output (times masked) must be the same on both, and right.
#   clean_all_e2e.sh WORK_FOLDER WINDOWS_BIN NATIVE_BIN
# WORK_FOLDER is made afresh and removed at the end; nothing outside it is touched: each
# run has a HOME and a freedesktop trash of its own inside it, the prefixes have no z:.
set -euo pipefail

source "$(dirname "$0")/e2e_common.sh"
e2e_start clean_all_e2e.sh "$@"
[ -f "$winbin/opera.win" ] && cp "$winbin/opera.win" "$program/"

c=$base/drive_c

# Internet Explorer, as its own end-to-end test seeds it.
ie=$c/ietraces
seed_ie_traces "$ie"

# Netscape: a users folder with one user, and the cache.
ns=$c/nstraces
nsuser=$ns/Users/tester
mkdir -p "$nsuser" "$ns/Cache/sub"
echo "visited" >"$nsuser/netscape.hst"
printf '# Netscape HTTP Cookie File\n.bank.example\tTRUE\t/\tFALSE\t2000000000\tsid\tkeep\n.ads.example\tTRUE\t/\tFALSE\t2000000000\ttrack\t42\n' >"$nsuser/cookies.txt"
printf '.bank.example\tTRUE\t/\tFALSE\t2000000000\tsid\tkeep\r\n' >"$program/cookies2.lst"
printf '// Mozilla User Preferences\nuser_pref("browser.url_history.URL_1", "http://typed.example/");\nuser_pref("browser.startup.homepage", "http://home.example/");\nuser_pref("browser.url_history.URL_2", "http://second.example/");\nuser_pref("network.cookie.cookieBehavior", 0);\n' >"$nsuser/prefs.js"
echo 'user_pref("li.server.ldap.url", "x");' >"$nsuser/liprefs.js"
echo "<html>bookmarks</html>" >"$nsuser/bookmark.htm"
echo "cached" >"$ns/Cache/M0A1B2C3.htm"
echo "cached" >"$ns/Cache/M0D4E5F6.gif"
echo "deeper" >"$ns/Cache/sub/kept.dat"

# Opera: the user folder and its cache.
op=$c/optraces
mkdir -p "$op/Cache4/sub"
for f in opera.win global.dat cookies4.dat opera.dir vlink4.dat opera6.ini; do echo "old $f" >"$op/$f"; done
echo "cached" >"$op/Cache4/opr00001.htm"
echo "cached" >"$op/Cache4/opr00002.gif"
echo "deeper" >"$op/Cache4/sub/kept.dat"

# Windows: document history, downloaded program files, old and new temporary files,
# scandisk's fragments, the Run and Find lists and the trash of each run's own home.
wt=$c/wintraces
mkdir -p "$wt/Recent/sub" "$wt/Downloaded Program Files/CONFLICT.1" "$wt/Temp"
echo "link" >"$wt/Recent/letter.doc.lnk"
echo "link" >"$wt/Recent/budget.xls.lnk"
echo "deeper" >"$wt/Recent/sub/kept.lnk"
echo "control" >"$wt/Downloaded Program Files/viewer.ocx"
echo "inf" >"$wt/Downloaded Program Files/CONFLICT.1/viewer.inf"
echo "old" >"$wt/Temp/old.tmp"
echo "new" >"$wt/Temp/new.tmp"
touch -d '3 days ago' "$wt/Temp/old.tmp"
touch -d 'now' "$wt/Temp/new.tmp"
echo "fragment" >"$c/FILE0000.CHK"
echo "fragment" >"$c/file0001.chk"
echo "keep" >"$c/keep.txt"
for key in RunMRU 'Doc Find Spec MRU'; do
  cat >>"$base/user.reg" <<REG

[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\$key] 1733660000
#time=1d94a1b2c3d4e5f
"a"="notepad\\\\1"
"b"="regedit\\\\1"
"c"="cmd\\\\1"
"MRUList"="cba"
REG
done

{
  printf '[Path]\r\nDetect=1\r\n'
  printf 'IE1=C:\\ietraces\\History\\\r\nIE2=C:\\ietraces\\Temporary Internet Files\\\r\n'
  printf 'IE3=C:\\ietraces\\Cookies\\\r\nIE4=C:\\ietraces\\Temporary Internet Files\\Content.IE5\\\r\n'
  printf 'Netscape1A=C:\\nstraces\\Users\\\r\nNetscape1B=0\r\nNetscape1C=tester\r\nNetscape2=C:\\nstraces\\Cache\\\r\n'
  printf 'Opera1=C:\\optraces\\\r\nOpera2=C:\\optraces\\Cache4\\\r\n'
  printf 'Win1=C:\\wintraces\\Recent\\\r\nWin2=C:\\wintraces\\Temp\\\r\nWin3=C:\\wintraces\\Downloaded Program Files\\\r\n'
  printf '[Rensa]\r\n'
  for n in $(seq 1 21); do printf 'Value%d=1\r\n' "$n"; done
  printf '[Inst]\r\nSafetylevel=3\r\n'
} >"$program/mainten.ini"

# Each side gets its own home with the same trash, since emptying it is part of the run.
seed_trash() {
  local share=$1/.local/share
  mkdir -p "$share/Trash/files/old folder" "$share/Trash/info"
  echo "deleted" >"$share/Trash/files/report.doc"
  echo "deleted" >"$share/Trash/files/old folder/note.txt"
  printf '[Trash Info]\nPath=/somewhere/report.doc\nDeletionDate=2026-01-01T10:00:00\n' \
    >"$share/Trash/info/report.doc.trashinfo"
  printf '[Trash Info]\nPath=/somewhere/old folder\nDeletionDate=2026-01-01T10:00:00\n' \
    >"$share/Trash/info/old folder.trashinfo"
}

cp -a "$base" "$work/wine"
cp -a "$base" "$work/native"
for side in wine native; do seed_trash "$work/$side-home"; done
args=(--clean all --accept-licence)
set +e
echo "e2e: trwk6.exe ${args[*]} under Wine"
(cd "$work/wine/drive_c/Program Files/Tarnwick" &&
  HOME=$work/wine-home XDG_DATA_HOME=$work/wine-home/.local/share WINEPREFIX=$work/wine \
    wine 'C:\Program Files\Tarnwick\trwk6.exe' "${args[@]}" >"$work/wine.out" 2>"$work/wine.err" </dev/null)
wine_code=$?
WINEPREFIX=$work/wine wineserver -w  # the registry reaches user.reg now
echo "e2e: native trwk6 ${args[*]}"
HOME=$work/native-home XDG_DATA_HOME=$work/native-home/.local/share WINEPREFIX=$work/native \
  TRWK_PROGRAM_FOLDER='C:\Program Files\Tarnwick' "$natbin/trwk6" "${args[@]}" \
  >"$work/native.out" 2>"$work/native.err" </dev/null
native_code=$?
set -e
# Item 1 empties the temporary Internet files, Content.IE5 with them, and then finds no
# Content.IE5 to empty: that one step fails (and is logged), the rest of the run goes on,
# and the run ends with 1.
check "Wine run ends with 1 (was $wine_code)" [ "$wine_code" = 1 ]
check "native run ends with 1 (was $native_code)" [ "$native_code" = 1 ]
one_failed_step() {  # one_failed_step REPORT: item 1's line and the closing line say it
  local out
  out=$(tr -d '\r' <"$1")
  [ "$(grep -c 'step failed' <<<"$out")" = 2 ] && grep -q '^Item 1, .*; 1 step failed$' <<<"$out"
}
for side in wine native; do
  check "$side report names the one failed step under item 1 and in the total" one_failed_step "$work/$side.out"
done

# What each run left, in a form that compares: times, free-space figures and CRs masked.
files_left() {
  (cd "$1/drive_c" &&
    { find ietraces nstraces optraces wintraces "Program Files/Tarnwick" -printf '%y %p\n'
      find . -maxdepth 1 -type f -printf '%y %P\n'; } | grep -v '^f Program Files/Tarnwick/trwk6.exe$' | sort)
}
contents() {  # the bytes of the files the cleaners rewrite or copy in
  (cd "$1/drive_c" && for f in nstraces/Users/tester/cookies.txt nstraces/Users/tester/prefs.js optraces/opera.win \
    wintraces/Temp/new.tmp; do echo "== $f"; od -c "$f" 2>&1 | head -n 40; done)
}
registry() {
  echo "RunMRU:"
  reg_section "$1/user.reg" 'Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU'
  echo "Doc Find Spec MRU:"
  reg_section "$1/user.reg" 'Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Doc Find Spec MRU'
  echo "TypedURLs:"
  reg_section "$1/user.reg" 'Software\\Microsoft\\Internet Explorer\\TypedURLs'
}
trash() {  # what is left in the trash's files and info folders
  [ -d "$1/.local/share/Trash" ] || return 0
  (cd "$1/.local/share/Trash" && find . -mindepth 2 -printf '%y %p\n' | sort)
}
log_lines() { tr -d '\r' <"$1/drive_c/Program Files/Tarnwick/trwk.log" | sed -E 's/^"[^\t]*\t/"/'; }
console() { tr -d '\r' <"$1" | sed -E 's/[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9:]{8}/<time>/g'; }

for side in wine native; do
  p=$work/$side
  files_left "$p" >"$work/$side.files"
  contents "$p" >"$work/$side.contents"
  settings "$p" >"$work/$side.ini"
  registry "$p" >"$work/$side.reg"
  trash "$work/$side-home" >"$work/$side.trash"
  log_lines "$p" >"$work/$side.log"
  console "$work/$side.out" >"$work/$side.console"
done
for what in files contents ini reg trash log console; do
  check "same $what on both" diff -u "$work/wine.$what" "$work/native.$what"
done

# And right, not merely alike.
f=$work/native.files
n=$work/native
gone() { ! grep -qF "$1" "$f"; }
kept() { grep -qxF "$1" "$f"; }
check "IE: the kept cookie stays, the others go" bash -c "$(declare -f gone kept); f='$f'; kept 'f ietraces/Cookies/tester@bank[1].txt' && gone 'tester@example'"
check "IE: history and temporary files go" bash -c "$(declare -f gone); f='$f'; gone 'visit.url' && gone 'page[1].htm'"
check "Netscape: cache files go, its sub-folder stays" bash -c "$(declare -f gone kept); f='$f'; gone 'M0A1B2C3' && gone 'M0D4E5F6' && kept 'f nstraces/Cache/sub/kept.dat'"
check "Netscape: history and liprefs.js go" bash -c "$(declare -f gone); f='$f'; gone 'netscape.hst' && gone 'liprefs.js'"
check "Netscape: other user files stay" kept 'f nstraces/Users/tester/bookmark.htm'
check "Netscape: cookies.txt is the keep list" cmp -s "$n/drive_c/nstraces/Users/tester/cookies.txt" "$n/drive_c/Program Files/Tarnwick/cookies2.lst"
printf '// Mozilla User Preferences\r\nuser_pref("browser.startup.homepage", "http://home.example/");\r\nuser_pref("network.cookie.cookieBehavior", 0);\r\n' >"$work/prefs.expected"
check "Netscape: prefs.js keeps every line but the typed addresses" cmp "$work/prefs.expected" "$n/drive_c/nstraces/Users/tester/prefs.js"
check "Opera: cache files go, its sub-folder stays" bash -c "$(declare -f gone kept); f='$f'; gone 'opr0000' && kept 'f optraces/Cache4/sub/kept.dat'"
for x in global.dat cookies4.dat opera.dir vlink4.dat; do check "Opera: $x goes" gone "optraces/$x"; done
check "Opera: other files stay" kept 'f optraces/opera6.ini'
if [ -f "$program/opera.win" ]; then
  check "Opera: the clean opera.win is put back" cmp -s "$program/opera.win" "$n/drive_c/optraces/opera.win"
fi
check "Windows: document history files go, sub-folders stay" bash -c "$(declare -f gone kept); f='$f'; gone '.doc.lnk' && gone '.xls.lnk' && kept 'f wintraces/Recent/sub/kept.lnk'"
check "Windows: downloaded program files go, folders too" bash -c "$(declare -f gone kept); f='$f'; gone 'viewer.' && gone 'CONFLICT.1' && kept 'd wintraces/Downloaded Program Files'"
check "Windows: old temporary files go, today's stay" bash -c "$(declare -f gone kept); f='$f'; gone 'old.tmp' && kept 'f wintraces/Temp/new.tmp'"
check "Windows: C:\\*.chk go, other files on C:\\ stay" bash -c "$(declare -f gone kept); f='$f'; gone 'FILE0000.CHK' && gone 'file0001.chk' && kept 'f keep.txt'"
check "Windows: the Run and Find lists lose a..c and keep their order value" \
  diff -u <(printf 'RunMRU:\nkey\n"MRUList"="cba"\nDoc Find Spec MRU:\nkey\n"MRUList"="cba"\nTypedURLs:\n') "$work/native.reg"
check "Windows: the trash is empty" [ ! -s "$work/native.trash" ]
check "the run says it is done, once" [ "$(grep -cF '[Info] Cleaning System...Done -> OK' "$work/native.console")" = 1 ]
check "the stamp is stored" grep -qF 'Value1=<time>' "$work/native.ini"
check "no step of the Netscape, Opera and Windows cleaners failed" \
  bash -c "! grep -E '^\"(cmdCleanNets|cmdCleanOpera|cmdCleanWin|EmptyBitBucket)' '$work/native.log'"

if [ "$fail" != 0 ]; then
  for side in wine native; do
    echo "--- $side stdout"; cat "$work/$side.out"; echo "--- $side stderr"; cat "$work/$side.err"
    echo "--- $side files"; cat "$work/$side.files"; echo "--- $side registry"; cat "$work/$side.reg"
    echo "--- $side trash"; cat "$work/$side.trash"; echo "--- $side log"; cat "$work/$side.log"
  done
fi
exit $fail
