#!/usr/bin/env bash
# End to end: the safety contract on both builds. Stored paths that name C:\, the Windows
# folder, Program Files, the profiles folder and the program folder, and a plugin naming
# the same places, all ticked and run with `--clean all` then `--clean plugins` by
# trwk6.exe under Wine on one copy of a seeded prefix and by the Linux build's trwk6 on
# another. Host links planted in every folder that may be cleaned lead to a canary folder
# outside the drive (cookies.txt, prefs.js and opera.win are such links too). Afterwards:
# nothing in the protected places changed, every canary file is byte-identical, the one
# legitimate plugin line did its work, and the log refused each protected target.
#   safety_e2e.sh WORK_FOLDER WINDOWS_BIN NATIVE_BIN
# WORK_FOLDER is made afresh and removed at the end; nothing outside it is touched: each
# run has a HOME and a freedesktop trash of its own inside it, the prefixes have no z:.
set -euo pipefail

source "$(dirname "$0")/e2e_common.sh"
e2e_start safety_e2e.sh "$@"
[ -f "$winbin/opera.win" ] && cp "$winbin/opera.win" "$program/"

c=$base/drive_c
user=$(find "$c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public -printf '%f\n' | head -n 1)
[ -n "$user" ] || { echo "e2e: the prefix has no user profile" >&2; exit 1; }

# Real-looking content in the protected places, old enough for any sweep to take it.
old() { mkdir -p "$(dirname "$1")"; printf '%s\n' "${2:-seed}" >"$1"; touch -d '10 days ago' "$1"; }
old "$c/windows/trwk-seed.tmp"
old "$c/windows/trwk-seed.log"
old "$c/windows/system32/trwk-seed.dll"
old "$c/windows/system32/drivers/trwk-seed.sys"
old "$c/Program Files/Seed App/seed.exe"
old "$c/Program Files/Seed App/cache/seed.tmp"
old "$c/Program Files/seed-readme.txt"
old "$c/users/$user/Documents/letter.doc"
old "$c/users/$user/Documents/notes.txt"
old "$c/users/$user/old.tmp"
old "$c/users/Public/Documents/shared.doc"
old "$program/readme.txt"
old "$program/history.tmp"
old "$c/keep.txt"
old "$c/old.tmp"

# The canary, outside every drive; each copy of the prefix carries its own, and the links
# are relative so that each copy's links lead to its own canary.
canary=$base/canary
mkdir -p "$canary/sub"
for f in keep.txt b.tmp x.dll sub/inner.txt; do printf 'canary %s\n' "$f" >"$canary/$f"; done
printf '# Netscape HTTP Cookie File\n.canary.example\tTRUE\t/\tFALSE\t2000000000\tsid\tcanary\n' >"$canary/cookies.txt"
printf 'user_pref("browser.url_history.URL_1", "http://canary.example/");\n' >"$canary/prefs.js"
printf '[session]\nwindow count=7\n' >"$canary/opera.win"
link() {  # link TARGET_IN_CANARY LINK_PATH
  mkdir -p "$(dirname "$2")"
  ln -s "$(realpath -m --relative-to="$(dirname "$2")" "$canary/$1")" "$2"
}
plant_links() {  # a folder link, a file link and a link to a file a mask matches
  link . "$1/dl.tmp"
  link keep.txt "$1/fl.tmp"
  link b.tmp "$1/bl.tmp"
  link sub "$1/deeper/dl"
}

# The folders that may be cleaned, each with ordinary traces and links.
l=$c/legit
old "$l/History/History.IE5/visit.url"
old "$l/Content.IE5/AB12CD34/page[1].htm"
old "$l/nsusers/$user/netscape.hst"
old "$l/nscache/M0A1B2C3.htm"
old "$l/opera/global.dat"
old "$l/opera/cache4/opr00001.htm"
old "$l/scratch/junk.tmp"
old "$l/scratch/keep.txt"
for d in History Content.IE5 nscache opera/cache4 scratch; do plant_links "$l/$d"; done
link cookies.txt "$l/nsusers/$user/cookies.txt"
link prefs.js "$l/nsusers/$user/prefs.js"
link opera.win "$l/opera/opera.win"
old "$l/userset/junk.tmp"
old "$l/userset/keep.txt"
ln -s ../windows "$l/winlink"  # a link inside the drive to the Windows folder

# Every stored path that must be refused, and the legitimate ones.
{
  printf '[Path]\r\nDetect=1\r\n'
  printf 'IE1=C:\\legit\\History\\\r\nIE2=C:\\Program Files\\Tarnwick\\\r\nIE3=C:\\\r\nIE4=C:\\legit\\Content.IE5\\\r\n'
  printf 'Netscape1A=C:\\legit\\nsusers\\\r\nNetscape1B=0\r\nNetscape1C=%s\r\nNetscape2=C:\\legit\\nscache\\\r\n' "$user"
  printf 'Opera1=C:\\legit\\opera\\\r\nOpera2=C:\\legit\\opera\\cache4\\\r\n'
  printf 'Win1=C:\\users\\\r\nWin2=C:\\windows\\\r\nWin3=C:\\Program Files\\\r\n'
  printf '[Rensa]\r\n'
  for n in $(seq 1 22); do printf 'Value%d=1\r\n' "$n"; done
  printf '[Inst]\r\nSafetylevel=3\r\n[UserDef]\r\nUDvalue1=1\r\nUDname1=Typed\r\n'
} >"$program/mainten.ini"

# A user set of typed paths: other spellings of the protected places (dots, doubled and
# forward separators, trailing dots and spaces, short names, device and stream forms, no
# drive, a variable, a link inside the drive), then one legitimate line.
printf '%s\r\n' 'C:\windows\.' 'C:\windows\..\windows' 'C:\legit\..\windows\*.*' 'C:/windows/*.*' \
  'C:\\windows' 'c:\WiNdOwS\' 'C:\windows.' 'C:\windows ' '\\?\C:\windows' '\\.\C:\windows' \
  '\??\C:\windows' 'C:\PROGRA~1' 'C:\PROGRA~1\*.*' 'C:windows' '\windows' 'windows\*.*' '%WINDIR%\*.*' \
  "C:\\users\\$user" "C:\\users\\$user\\*.*" "C:\\users\\$user\\Documents\\*.*" 'C:\windows\system32\*.dll' \
  'C:\*.*' 'C:\*' 'C:\' 'C:\windows::$INDEX_ALLOCATION' 'C:\windows\system32:x' 'C:\legit\winlink\*.*' \
  'C:\legit\winlink\system32' 'C:\Program Files\Tarnwick\mainten.ini' 'C:\PROGRA~1\Tarnwick\MAINTEN.INI' \
  'C:\Program Files\Tarnwick\*.*' 'C:\Program Files\Tarnwick' 'C:\legit\userset\*.tmp' >"$program/userdef1.lst"

# A plugin whose every line but the last names a protected place.
printf '[Main]\r\nName=Reckless\r\nVersion=1.0\r\nActive=True\r\n' >"$program/Reckless.cp2"
printf '%s\r\n' '/* everything here but the last line must be refused' 'C:\windows' 'C:\Program Files\*.*' \
  'C:\users' 'C:\Program Files\Tarnwick' 'C:\windows\system32\*.dll' 'C:\legit\scratch\*.tmp' \
  >"$program/Reckless.cp1"

# The protected places as a listing: every folder, every link with its target, every other
# entry with its size, time and checksum. The files a run writes on purpose are left out.
written='^(f|l) \./Program Files/Tarnwick/(trwk\.log|mainten\.ini) '
listing() {
  find "$@" \( \( -type d -printf 'd %p\n' \) -o \( -type l -printf 'l %p -> %l\n' \) -o -printf '%y %p %s %T@\n' \)
}
snapshot() {
  (cd "$1/drive_c" &&
    { listing ./windows "./Program Files" ./users; listing . -mindepth 1 -maxdepth 1
      { find ./windows "./Program Files" ./users -type f -print0; find . -maxdepth 1 -type f -print0; } |
        xargs -0 md5sum | sed -E 's/^([0-9a-f]+)  (.*)$/f \2 md5 \1/'; } | grep -Ev "$written" | sort)
}
canary_sums() { (cd "$1/canary" && find . -printf '%y %p %s\n' | sort && find . -type f -print0 | xargs -0 md5sum | sort -k2); }
snapshot "$base" >"$work/before.protected"
canary_sums "$base" >"$work/before.canary"

cp -a "$base" "$work/wine"
cp -a "$base" "$work/native"
run_side() {  # run_side SIDE ARGS...: one run of that side's build on that side's prefix
  local side=$1
  shift
  mkdir -p "$work/$side-home/.local/share"
  if [ "$side" = wine ]; then
    (cd "$work/wine/drive_c/Program Files/Tarnwick" &&
      HOME=$work/wine-home XDG_DATA_HOME=$work/wine-home/.local/share WINEPREFIX=$work/wine \
        wine 'C:\Program Files\Tarnwick\trwk6.exe' "$@" </dev/null)
    local code=$?
    WINEPREFIX=$work/wine wineserver -w
    return $code
  fi
  HOME=$work/native-home XDG_DATA_HOME=$work/native-home/.local/share WINEPREFIX=$work/native \
    TRWK_PROGRAM_FOLDER='C:\Program Files\Tarnwick' "$natbin/trwk6" "$@" </dev/null
}
for side in wine native; do
  for family in all plugins; do
    echo "e2e: $side trwk6 --clean $family"
    set +e
    SECONDS=0
    run_side $side --clean $family --accept-licence >>"$work/$side.out" 2>>"$work/$side.err"
    code=$?
    set -e
    # Every refusal is a failed step: the run goes to its end and says so with 1.
    check "$side --clean $family ends with 1, steps refused (was $code) in ${SECONDS}s" [ "$code" = 1 ]
  done
done

log_of() { tr -d '\r' <"$work/$1/drive_c/Program Files/Tarnwick/trwk.log"; }
for side in wine native; do
  p=$work/$side
  snapshot "$p" >"$work/$side.protected"
  canary_sums "$p" >"$work/$side.canary"
  check "$side: nothing in Windows, Program Files, the profiles or C:\\ changed" \
    diff -u "$work/before.protected" "$work/$side.protected"
  check "$side: every canary file is byte-identical" diff -u "$work/before.canary" "$work/$side.canary"
  check "$side: the plugin's legitimate line took scratch\\junk.tmp" [ ! -e "$p/drive_c/legit/scratch/junk.tmp" ]
  check "$side: and left scratch\\keep.txt" [ -f "$p/drive_c/legit/scratch/keep.txt" ]
  check "$side: the user set's legitimate line took userset\\junk.tmp" [ ! -e "$p/drive_c/legit/userset/junk.tmp" ]
  check "$side: and left userset\\keep.txt" [ -f "$p/drive_c/legit/userset/keep.txt" ]
  # Internet Explorer is off as a whole: two of its three folders are refused.
  check "$side: the Netscape and Opera caches were emptied" \
    bash -c '! [ -e "$1/nscache/M0A1B2C3.htm" ] && ! [ -e "$1/opera/cache4/opr00001.htm" ]' _ "$p/drive_c/legit"
  for f in "nsusers/$user/cookies.txt" opera/opera.win; do
    check "$side: $f is a file of its own now" bash -c '[ -f "$1" ] && [ ! -L "$1" ]' _ "$p/drive_c/legit/$f"
  done
  log_of $side >"$work/$side.log"
  # Each stored path is refused with a line of its own, not only the plugin's lines.
  for target in 'C:\' 'C:\Program Files\Tarnwick' 'C:\users' 'C:\windows' 'C:\Program Files'; do
    check "$side: the log refuses the stored path $target" \
      bash -c 'grep -vF "pluginCleanFiles at line" "$1" | grep -F "$2" | grep -qE "is a protected location|Refused|is not Internet Explorer"' \
      _ "$work/$side.log" "$target"
  done
  # The plugin's lines name the places (the mask lines by their folder).
  for target in 'C:\windows' 'C:\Program Files' 'C:\users' 'C:\Program Files\Tarnwick' 'C:\windows\system32'; do
    check "$side: the log refuses the plugin line for $target" \
      bash -c 'grep -F "pluginCleanFiles at line" "$1" | grep -qF "$2 is a protected location"' _ "$work/$side.log" "$target"
  done
done

# Natively every link in a cleaned folder goes as itself. Under Wine a host link that
# cannot be opened as itself stays (and is logged); the canary is what counts there.
check "native: the links in the cleaned folders went as links" \
  bash -c '[ -z "$(find "$1/nscache" "$1/opera/cache4" "$1/scratch" -maxdepth 1 -type l)" ]' _ "$work/native/drive_c/legit"
# How each build treated the links it was to replace or read (cookies.txt, opera.win and
# prefs.js), and what the Wine run left of the links it met: told, not judged.
for side in wine native; do
  echo "note $side: links left in C:\legit: $(cd "$work/$side/drive_c/legit" && find . -type l -printf '%P\n' | sort | tr '\n' ' ')"
  f=$work/$side/drive_c/legit/nsusers/$user/prefs.js
  if [ -L "$f" ]; then echo "note $side: prefs.js is still a link"; else echo "note $side: prefs.js is a file of its own"; fi
done

e2e_end
