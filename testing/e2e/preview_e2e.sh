#!/usr/bin/env bash
# End to end: one Wine prefix seeded with traces of all three browsers and of Windows is
# previewed with `--preview all --json`, by trwk6.exe under Wine on one copy and by the
# Linux build's trwk6 on another. Both plans must be the same, entry by entry, and right;
# neither preview may change a file (bytes, times), a registry value, the settings, the
# run log or the trash. Then `--clean all --json` on each copy must free what its plan said.
#   preview_e2e.sh WORK_FOLDER WINDOWS_BIN NATIVE_BIN
# WORK_FOLDER is made afresh and removed at the end; nothing outside it is touched.
set -euo pipefail

source "$(dirname "$0")/e2e_common.sh"
e2e_start preview_e2e.sh "$@"
[ -f "$winbin/opera.win" ] && cp "$winbin/opera.win" "$program/"

c=$base/drive_c
ie=$c/ietraces
seed_ie_traces "$ie"

nsuser=$c/nstraces/Users/tester
mkdir -p "$nsuser" "$c/nstraces/Cache"
echo "visited" >"$nsuser/netscape.hst"
printf '# Netscape HTTP Cookie File\n.ads.example\tTRUE\t/\tFALSE\t2000000000\ttrack\t42\n' >"$nsuser/cookies.txt"
printf 'user_pref("browser.url_history.URL_1", "http://typed.example/");\nuser_pref("a", 1);\n' >"$nsuser/prefs.js"
echo "cached" >"$c/nstraces/Cache/M0A1B2C3.htm"

op=$c/optraces
mkdir -p "$op/Cache4"
for f in opera.win global.dat cookies4.dat opera.dir vlink4.dat opera6.ini; do echo "old $f" >"$op/$f"; done
echo "cached" >"$op/Cache4/opr00001.htm"

wt=$c/wintraces
mkdir -p "$wt/Recent/sub" "$wt/Downloaded Program Files/CONFLICT.1" "$wt/Temp"
echo "link" >"$wt/Recent/letter.doc.lnk"
echo "deeper" >"$wt/Recent/sub/kept.lnk"
echo "control" >"$wt/Downloaded Program Files/viewer.ocx"
echo "inf" >"$wt/Downloaded Program Files/CONFLICT.1/viewer.inf"
echo "old" >"$wt/Temp/old.tmp"
echo "new" >"$wt/Temp/new.tmp"
touch -d '3 days ago' "$wt/Temp/old.tmp"
echo "fragment" >"$c/FILE0000.CHK"
cat >>"$base/user.reg" <<'REG'

[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU] 1733660000
#time=1d94a1b2c3d4e5f
"a"="notepad\\1"
"b"="regedit\\1"
"MRUList"="ba"
REG

{
  printf '[Path]\r\nDetect=1\r\n'
  printf 'IE1=C:\\ietraces\\History\\\r\nIE2=C:\\ietraces\\Temporary Internet Files\\\r\n'
  printf 'IE3=C:\\ietraces\\Cookies\\\r\nIE4=C:\\ietraces\\Temporary Internet Files\\Content.IE5\\\r\n'
  printf 'Netscape1A=C:\\nstraces\\Users\\\r\nNetscape1B=0\r\nNetscape1C=tester\r\nNetscape2=C:\\nstraces\\Cache\\\r\n'
  printf 'Opera1=C:\\optraces\\\r\nOpera2=C:\\optraces\\Cache4\\\r\n'
  printf 'Win1=C:\\wintraces\\Recent\\\r\nWin2=C:\\wintraces\\Temp\\\r\nWin3=C:\\wintraces\\Downloaded Program Files\\\r\n'
  printf '[Rensa]\r\n'
  for n in $(seq 1 21); do printf 'Value%d=1\r\n' "$n"; done
  printf '[Inst]\r\nSafetylevel=2\r\n'
} >"$program/mainten.ini"
echo '"before" 0' >"$program/trwk.log"

cp -a "$base" "$work/wine"
cp -a "$base" "$work/native"
for side in wine native; do
  mkdir -p "$work/$side-home/.local/share/Trash/files" "$work/$side-home/.local/share/Trash/info"
  echo "deleted" >"$work/$side-home/.local/share/Trash/files/report.doc"
  printf '[Trash Info]\nPath=/x/report.doc\nDeletionDate=2026-01-01T10:00:00\n' \
    >"$work/$side-home/.local/share/Trash/info/report.doc.trashinfo"
done

# run SIDE OUTPUT ARGS...: one side's trwk6 on its own copy, with its own home.
run() {
  local side=$1 output=$2
  shift 2
  local home=$work/$side-home code
  set +e
  if [ "$side" = wine ]; then
    (cd "$work/wine/drive_c/Program Files/Tarnwick" &&
      HOME=$home XDG_DATA_HOME=$home/.local/share WINEPREFIX=$work/wine \
        wine 'C:\Program Files\Tarnwick\trwk6.exe' "$@" >"$work/$output.out" 2>"$work/$output.err" </dev/null)
    code=$?
    WINEPREFIX=$work/wine wineserver -w
  else
    HOME=$home XDG_DATA_HOME=$home/.local/share WINEPREFIX=$work/native \
      TRWK_PROGRAM_FOLDER='C:\Program Files\Tarnwick' "$natbin/trwk6" "$@" \
      >"$work/$output.out" 2>"$work/$output.err" </dev/null
    code=$?
  fi
  set -e
  echo "$code"
}

# Everything a preview must leave alone: every file of the traces and the program folder
# with its bytes and time, the trash, and the registry values the cleaners touch.
state() {
  local p=$work/$1
  (cd "$p/drive_c" && find ietraces nstraces optraces wintraces "Program Files/Tarnwick" FILE0000.CHK \
    -printf '%y %s %TY-%Tm-%Td %TT %p\n' | sort)
  (cd "$p/drive_c" && find ietraces nstraces optraces wintraces "Program Files/Tarnwick" -type f -print0 |
    sort -z | xargs -0 md5sum)
  (cd "$work/$1-home/.local/share/Trash" && find . -printf '%y %p\n' | sort)
  reg_section "$p/user.reg" 'Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU'
  reg_section "$p/user.reg" 'Software\\Microsoft\\Internet Explorer\\TypedURLs'
  reg_section "$p/system.reg" 'Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce'
  reg_section "$p/user.reg" 'Software\\Microsoft\\Windows\\CurrentVersion\\Run'
  # The Linux build writes the registry files itself: not a byte of them may change. Wine's
  # server saves them as it likes, so there the values above are what counts.
  if [ "$1" = native ]; then (cd "$p" && md5sum user.reg system.reg); fi
}

# "item kind path size" of every planned entry, sorted: the two builds may list a folder
# in another order.
plan_lines() {
  tr -d '\r' <"$1" | sed 's/{"item":/\n{"item":/g' | grep '^{"item":' | while IFS= read -r chunk; do
    item=${chunk#\{\"item\":}
    item=${item%%,*}
    grep -o '{"kind":"[^"]*","path":"\([^"\\]\|\\.\)*","size":[0-9]*' <<<"$chunk" | sed "s/^/$item /" || true
  done | sort
}
# The totals that both a plan and a report give: files, folders, values, bytes.
totals() {
  tr -d '\r' <"$1" | grep -o '"total":{[^}]*}' |
    grep -o '"\(files\|folders\|links\|registryValues\|registryKeys\|bytes\)":[0-9]*' | tr '\n' ' '
}

for side in wine native; do state "$side" >"$work/$side.before"; done
for side in wine native; do
  echo "e2e: $side trwk6 --preview all --json"
  code=$(run "$side" "$side-plan" --preview all --json --accept-licence)
  check "$side preview ends with 0 (was $code)" [ "$code" = 0 ]
  state "$side" >"$work/$side.after"
  check "$side preview changed nothing" diff -u "$work/$side.before" "$work/$side.after"
  plan_lines "$work/$side-plan.out" >"$work/$side.plan"
  check "$side plan is one JSON document" [ "$(tr -d '\r' <"$work/$side-plan.out" | grep -c '^{"command":"preview"')" = 1 ]
done
check "same plan on both builds" diff -u "$work/wine.plan" "$work/native.plan"
check "same totals on both builds" [ "$(totals "$work/wine-plan.out")" = "$(totals "$work/native-plan.out")" ]

p=$work/native.plan
has() { grep -qxF "$1" "$p"; }
check "IE: a cookie not kept is planned" has '3 {"kind":"file","path":"C:\\ietraces\\Cookies\\tester@example[1].txt","size":23'
check "IE: the kept cookie is not" bash -c "! grep -qF 'tester@bank' '$p'"
check "Netscape: cookies.txt goes, then the keep list takes its place" \
  bash -c "grep -qF '8 {\"kind\":\"file\",\"path\":\"C:\\\\nstraces\\\\Users\\\\tester\\\\cookies.txt\"' '$p' && grep -qF '8 {\"kind\":\"rewrite\",\"path\":\"C:\\\\nstraces\\\\Users\\\\tester\\\\cookies.txt\"' '$p'"
check "Netscape: prefs.js is rewritten" bash -c "grep -qF '9 {\"kind\":\"rewrite\",\"path\":\"C:\\\\nstraces\\\\Users\\\\tester\\\\prefs.js\",\"size\":84' '$p'"
check "Windows: a document link" has '14 {"kind":"file","path":"C:\\wintraces\\Recent\\letter.doc.lnk","size":5'
check "Windows: the downloaded folder goes with its file" \
  has '15 {"kind":"folder","path":"C:\\wintraces\\Downloaded Program Files\\CONFLICT.1","size":0'
check "Windows: the old temporary file only" \
  bash -c "grep -qF 'Temp\\\\old.tmp' '$p' && ! grep -qF 'new.tmp' '$p'"
check "Windows: the recycle bin with the bytes in it" has '17 {"kind":"recycle bin","path":"Recycle Bin","size":8'
check "Windows: the scandisk fragment" has '18 {"kind":"file","path":"C:\\FILE0000.CHK","size":9'
check "Windows: the Run history values" \
  has '19 {"kind":"registry value","path":"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU\\a","size":9'

# The cleaning frees what the preview said it would.
for side in wine native; do
  echo "e2e: $side trwk6 --clean all --json"
  code=$(run "$side" "$side-clean" --clean all --json --accept-licence)
  # 1: a step failed, as the plan said one would (the cache index goes with the cache).
  check "$side clean ends with 0 or 1 (was $code)" [ "$code" -le 1 ]
  check "$side cleaning freed what its plan said" \
    [ "$(totals "$work/$side-clean.out")" = "$(totals "$work/$side-plan.out")" ]
done
check "IE: the kept cookie stays" [ -f "$work/native/drive_c/ietraces/Cookies/tester@bank[1].txt" ]
check "Windows: today's temporary file stays" [ -f "$work/native/drive_c/wintraces/Temp/new.tmp" ]

if [ "$fail" != 0 ]; then
  for side in wine native; do
    for run in plan clean; do
      echo "--- $side $run stdout"; cat "$work/$side-$run.out" || true
      echo "--- $side $run stderr"; cat "$work/$side-$run.err" || true
    done
    echo "--- $side plan lines"; cat "$work/$side.plan" || true
  done
fi
exit $fail
