#!/usr/bin/env bash
# The benchmark table: trwk6 through its real command line against the system's own tools,
# on identical fresh data made untimed before each round, with `sync` between the two
# sides and the order turned round every round; median and minimum of the rounds. Native
# rows run the Release build (build/release); the Wine rows run build/windows/bin/trwk6.exe.
# The cleaned folders are legitimate trace folders of a throwaway prefix: a user set
# (userdef1.lst) for a tree and a mask, the Windows family's temporary folder (Win2) for
# the sweep, the Internet Explorer cookie folder at safety level 5 for the overwrite.
# Drive D: of the prefix is a folder on tmpfs, E: one on the disk of build/.
#
#   bench/run.sh                              (make bench builds what it needs first)
# Sizes and rounds come from the environment (defaults in brackets):
#   BENCH_ROUNDS [5]  BENCH_TREE_FILES [100000]  BENCH_FLAT_FILES [50000]
#   BENCH_SWEEP_FILES [100000]  BENCH_WINE_FILES [10000]  BENCH_BIG_MIB [256]
#   BENCH_MEMORY_FILES [1000000]  BENCH_RULE_LINES [50000]  BENCH_ROWS [all: tree-disk tree-tmpfs
#   tree-wine tree-wine-plain mask sweep sweep-wine overwrite memory rules preview peer]  BENCH_PROFILE [1: syscalls per file]
# The table goes to the console and, as Markdown, to build/bench/report.md.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
release=${BENCH_RELEASE_BUILD:-$here/build/release}
winbin=${BENCH_WINDOWS_BIN:-$here/build/windows/bin}
out=$here/build/bench
rounds=${BENCH_ROUNDS:-5}
tree_files=${BENCH_TREE_FILES:-100000}
flat_files=${BENCH_FLAT_FILES:-50000}
sweep_files=${BENCH_SWEEP_FILES:-100000}
wine_files=${BENCH_WINE_FILES:-10000}
big_mib=${BENCH_BIG_MIB:-256}
memory_files=${BENCH_MEMORY_FILES:-1000000}
rule_lines=${BENCH_RULE_LINES:-50000}
rows=${BENCH_ROWS:-tree-disk tree-tmpfs tree-wine tree-wine-plain mask sweep sweep-wine overwrite memory rules preview peer}
profile=${BENCH_PROFILE:-1}
tool=$release/bin/trwk_bench_tool
native_exe=$release/bin/trwk6
program_windows='C:\Program Files\Tarnwick'

for f in "$tool" "$native_exe"; do
  [ -x "$f" ] || { echo "bench: $f is missing (make bench builds it)" >&2; exit 2; }
done
fstype() { stat -f -c %T "$1"; }
tmpfs=
for candidate in /dev/shm /tmp; do
  if [ -d "$candidate" ] && [ "$(fstype "$candidate")" = tmpfs ]; then tmpfs=$candidate; break; fi
done
[ -n "$tmpfs" ] || { echo "bench: no tmpfs (/dev/shm or /tmp) to measure on" >&2; exit 2; }
mkdir -p "$out"
[ "$(fstype "$out")" != tmpfs ] || { echo "bench: $out is on tmpfs, the disk rows would not be on disk" >&2; exit 2; }

work=$out/work
wine_ok=0
if [[ " $rows " == *" tree-wine"* || " $rows " == *" sweep-wine "* || "$profile" = 1 ]]; then
  if [ -f "$winbin/trwk6.exe" ] && command -v wine >/dev/null; then wine_ok=1; else
    echo "bench: no $winbin/trwk6.exe or no Wine: everything under Wine is skipped"
  fi
fi
cleanup() {
  [ -d "$work/wine" ] && WINEPREFIX=$work/wine wineserver -k 2>/dev/null || true
  rm -rf "$work" "${shm:-}"
}
trap cleanup EXIT
cleanup
mkdir -p "$work/home/.local/share" "$work/e"
shm=$(mktemp -d "$tmpfs/trwk-bench.XXXXXX")
mkdir -p "$shm/d"
# Nothing here may reach the real trash or configuration.
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
D=$shm/d E=$work/e

# A prefix with C: in it, D: on tmpfs and E: on the disk, and the program's shipped files.
lend_drives() {
  mkdir -p "$1/dosdevices"
  rm -f "$1/dosdevices/z:" "$1/dosdevices/d:" "$1/dosdevices/e:"
  ln -sfn "$D" "$1/dosdevices/d:"
  ln -sfn "$E" "$1/dosdevices/e:"
  mkdir -p "$1/drive_c/Program Files/Tarnwick"
  cp "$here"/data/* "$1/drive_c/Program Files/Tarnwick/"
}
native_prefix=$work/native
mkdir -p "$native_prefix/dosdevices" "$native_prefix/drive_c"
ln -s ../drive_c "$native_prefix/dosdevices/c:"
lend_drives "$native_prefix"
if [ "$wine_ok" = 1 ]; then
  echo "bench: booting a Wine prefix"
  WINEPREFIX=$work/wine wineboot -i </dev/null >/dev/null 2>&1 || true
  WINEPREFIX=$work/wine wineserver -w
  lend_drives "$work/wine"
  cp "$winbin/trwk6.exe" "$work/wine/drive_c/Program Files/Tarnwick/"
  [ ! -f "$winbin/trwk_plain_remove.exe" ] || cp "$winbin/trwk_plain_remove.exe" "$work/wine/drive_c/Program Files/Tarnwick/"
  WINEPREFIX=$work/wine wineserver -k 2>/dev/null || true
fi
# The prefix's server runs for the Wine rows only (its own work would fall into the native
# ones), and stays up through each of them so that every start of a program is quick; the
# untimed first program starts the prefix's services.
server_up() {
  [ "$wine_ok" = 1 ] || return 0
  WINEPREFIX=$work/wine wineserver -p 600 </dev/null >/dev/null 2>&1
  WINEPREFIX=$work/wine wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}
server_down() {
  [ "$wine_ok" = 1 ] || return 0
  WINEPREFIX=$work/wine wineserver -k 2>/dev/null || true
  timeout 60 env WINEPREFIX="$work/wine" wineserver -w 2>/dev/null || true
}

program_of() { echo "$1/drive_c/Program Files/Tarnwick"; }
# settings SIDE: mainten.ini and userdef1.lst from the given lines, before every run.
settings() {
  local side=$1 ini=$2 list=${3:-}
  local p
  p=$(program_of "$([ "$side" = wine ] && echo "$work/wine" || echo "$native_prefix")")
  printf '%s' "$ini" >"$p/mainten.ini"
  printf '%s' "$list" >"$p/userdef1.lst"
  rm -f "$p/trwk.log"
}
# A whole mainten.ini: INI PATH_LINES TICKED_ITEMS SAFETY_LEVEL (user set 1 active).
ini() {
  local n k
  printf '[Path]\r\nDetect=1\r\n%s[Rensa]\r\n' "$1"
  for n in $(seq 1 25); do printf 'Value%d=%d\r\n' "$n" "$([[ " $2 " == *" $n "* ]] && echo 1 || echo 0)"; done
  printf '[Inst]\r\nSafetylevel=%s\r\n[Tab]\r\nIE=1\r\nNetscape=1\r\nOpera=1\r\nWindows=1\r\n[UserDef]\r\n' "$3"
  for k in 1 2 3 4; do printf 'UDvalue%d=%d\r\nUDname%d=Set %d\r\n' "$k" "$([ "$k" = 1 ] && echo 1 || echo 0)" "$k" "$k"; done
}
userdef_ini=$(ini "" 22 1)
sweep_ini() { ini "Win2=$1\\"$'\r\n' 16 1; }
# Internet Explorer runs only with its history, cache and cookie folders all known.
cookie_ini() { ini "IE1=$1\\history\\"$'\r\n'"IE2=$1\\cache\\"$'\r\n'"IE3=$1\\cookies\\"$'\r\n' 3 5; }

# The commands of each side. Native: the Linux build on its prefix; wine: trwk6.exe.
trwk_native() {
  env WINEPREFIX="$native_prefix" TRWK_PROGRAM_FOLDER="$program_windows" "$native_exe" --clean "$1" --accept-licence
}
trwk_wine() {
  cd "$(program_of "$work/wine")" && env WINEPREFIX="$work/wine" wine "$program_windows\\trwk6.exe" --clean "$1" --accept-licence
}
# The Wine rows' own reference: the bare Win32 calls over the same tree, no checks.
plain_wine() {
  env WINEPREFIX="$work/wine" wine "$program_windows\\trwk_plain_remove.exe" "$1"
}
export -f trwk_native trwk_wine plain_wine program_of
export native_prefix native_exe program_windows work

# timed RESULT_VAR COMMAND...: seconds, peak KiB and status of one run, its output in a log.
timed() {
  local var=$1
  shift
  "$tool" run "$work/result" bash -c '"$@" >>"'"$work"'/run.log" 2>&1' _ "$@"
  read -r t_secs t_kib t_code t_user t_sys <"$work/result"
  printf -v "$var" '%s' "$t_secs"
  last_kib=$t_kib last_cpu="$t_user $t_sys"
  if [ "$t_code" != 0 ]; then
    echo "bench: '$*' ended with $t_code; its output:" >&2
    tail -n 20 "$work/run.log" >&2
    exit 1
  fi
}
gone() {  # gone PATH WHAT: the side really removed what it was given
  if [ -e "$1" ] && [ -n "$(find "$1" -mindepth 1 -print -quit 2>/dev/null)" ]; then
    echo "bench: $2 left $(find "$1" | wc -l) entries in $1; the last output and run log:" >&2
    tail -n 20 "$work/run.log" >&2
    cat "$(program_of "$native_prefix")/trwk.log" >&2 2>/dev/null || true
    exit 1
  fi
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
minimum() { sort -g | head -n 1; }
table=()
add_row() {  # add_row WORK OURS_LIST REFERENCE_NAME REF_LIST [NOTE]
  local ours_med ours_min ref_med ref_min ratio
  ours_med=$(tr ' ' '\n' <<<"$2" | grep . | median)
  ours_min=$(tr ' ' '\n' <<<"$2" | grep . | minimum)
  ref_med=$(tr ' ' '\n' <<<"$4" | grep . | median)
  ref_min=$(tr ' ' '\n' <<<"$4" | grep . | minimum)
  ratio=$(awk -v a="$ours_med" -v b="$ref_med" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
  table+=("| $1 | $(printf '%.3f' "$ours_med") s (min $(printf '%.3f' "$ours_min")) | $3 $(printf '%.3f' "$ref_med") s (min $(printf '%.3f' "$ref_min")) | $ratio${5:+ ($5)} |")
  echo "bench: $1: Tarnwick $ours_med s, $3 $ref_med s, ratio $ratio"
}

# two_sides ROW_NAME PREPARE OURS REFERENCE_NAME REFERENCE CHECK [NOTE]: `rounds` rounds;
# PREPARE makes both data sets (untimed), OURS and REFERENCE are timed, CHECK after both.
two_sides() {
  local name=$1 prepare=$2 ours=$3 refname=$4 ref=$5 check=$6 note=${7:-}
  local ours_t="" ref_t="" ours_user="" ours_sys="" ref_user="" ref_sys="" r s
  echo "bench: $name, $rounds rounds"
  for ((r = 1; r <= rounds; r++)); do
    $prepare
    sync
    for s in 1 2; do
      if { [ $s = 1 ] && ((r % 2)); } || { [ $s = 2 ] && ! ((r % 2)); }; then
        timed secs $ours
        ours_t+=" $secs" ours_user+=" ${last_cpu% *}" ours_sys+=" ${last_cpu#* }"
      else
        timed secs $ref
        ref_t+=" $secs" ref_user+=" ${last_cpu% *}" ref_sys+=" ${last_cpu#* }"
      fi
      sync
    done
    $check
  done
  add_row "$name" "$ours_t" "$refname" "$ref_t" "$note"
  cpu_lines+=("$name: Tarnwick user $(med "$ours_user") s + system $(med "$ours_sys") s of $(med "$ours_t") s; $refname user $(med "$ref_user") s + system $(med "$ref_sys") s of $(med "$ref_t") s")
}
med() { tr ' ' '\n' <<<"$1" | grep . | median; }
cpu_lines=()

# ---- The rows ------------------------------------------------------------------------

# Which side's prefix: native rows clean the native prefix, Wine rows the Wine one.
side=native
ours_cmd() { if [ "$side" = wine ]; then echo trwk_wine; else echo trwk_native; fi; }

# A tree of tree_count files at <tree_root>/bench/ours (drive tree_letter) and at .../ref.
prep_tree() {
  rm -rf "$tree_root/bench"
  mkdir -p "$tree_root/bench"
  "$tool" tree "$tree_root/bench/ours" "$tree_count"
  "$tool" tree "$tree_root/bench/ref" "$tree_count"
  settings "$side" "$userdef_ini" "$tree_letter:\\bench\\ours"$'\r\n'
}
check_tree() { gone "$tree_root/bench/ours" Tarnwick; gone "$tree_root/bench/ref" reference; }
tree_row() {  # tree_row SIDE LETTER HOST_ROOT FILES NAME REFERENCE_NAME
  side=$1 tree_letter=$2 tree_root=$3 tree_count=$4
  two_sides "$5" prep_tree "$(ours_cmd) userdef" "$6" "rm -rf $tree_root/bench/ref" check_tree
}
[[ " $rows " == *" tree-disk "* ]] &&
  tree_row native E "$E" "$tree_files" "$tree_files-file tree, disk (native CLI, Release)" "\`rm -rf\`"
[[ " $rows " == *" tree-tmpfs "* ]] &&
  tree_row native D "$D" "$tree_files" "$tree_files-file tree, tmpfs (native CLI, Release)" "\`rm -rf\`"
if [[ " $rows " == *" tree-wine "* ]] && [ "$wine_ok" = 1 ]; then
  server_up
  tree_row wine D "$D" "$wine_files" "$wine_files-file tree, tmpfs, Windows build under Wine" "native \`rm -rf\`"
  server_down
fi
if [[ " $rows " == *" tree-wine-plain "* ]] && [ "$wine_ok" = 1 ]; then
  if [ -f "$winbin/trwk_plain_remove.exe" ]; then
    server_up
    side=wine tree_letter=D tree_root=$D tree_count=$wine_files
    two_sides "$wine_files-file tree, tmpfs, both under Wine" prep_tree "trwk_wine userdef" \
      "bare Win32 calls (\`trwk_plain_remove.exe\`)" 'plain_wine D:\bench\ref' check_tree
    server_down
  else
    echo "bench: no $winbin/trwk_plain_remove.exe: the row against the bare Win32 calls is skipped"
  fi
fi

if [[ " $rows " == *" mask "* ]]; then
  side=native
  prep_mask() {
    rm -rf "$D/bench"
    mkdir -p "$D/bench"
    "$tool" flat "$D/bench/ours" "$flat_files"
    "$tool" flat "$D/bench/ref" "$flat_files"
    settings native "$userdef_ini" $'D:\\bench\\ours\\*.*\r\n'
  }
  check_mask() { gone "$D/bench/ours" Tarnwick; gone "$D/bench/ref" find; }
  two_sides "$flat_files files in one folder, \`*.*\`, tmpfs" prep_mask "trwk_native userdef" \
    "\`find -maxdepth 1 -type f -delete\`" "find $D/bench/ref -maxdepth 1 -type f -delete" check_mask
fi

prep_sweep() {
  rm -rf "$D/bench"
  mkdir -p "$D/bench"
  "$tool" flat "$D/bench/ours" "$sweep_count" 3
  "$tool" flat "$D/bench/ref" "$sweep_count" 3
  settings "$side" "$(sweep_ini 'D:\bench\ours')"
}
check_sweep() { gone "$D/bench/ours" Tarnwick; gone "$D/bench/ref" find; }
sweep_row() {  # sweep_row SIDE FILES NAME
  side=$1 sweep_count=$2
  two_sides "$3" prep_sweep "$(ours_cmd) windows" "\`find ! -newermt '-1 day' -delete\`" \
    "find $D/bench/ref -mindepth 1 -maxdepth 1 -type f ! -newermt -1day -delete" check_sweep
}
[[ " $rows " == *" sweep "* ]] && sweep_row native "$sweep_files" "age sweep (older than one day) of $sweep_files files, tmpfs"
if [[ " $rows " == *" sweep-wine "* ]] && [ "$wine_ok" = 1 ]; then
  server_up
  sweep_row wine "$wine_files" "age sweep of $wine_files files, tmpfs, Windows build under Wine"
  server_down
fi

if [[ " $rows " == *" overwrite "* ]]; then
  side=native
  prep_big() {
    rm -rf "$E/bench"
    mkdir -p "$E/bench/history" "$E/bench/cache" "$E/bench/cookies" "$E/bench/ref"
    "$tool" big "$E/bench/cookies/tester@big[1].txt" "$big_mib"
    "$tool" big "$E/bench/ref/big.txt" "$big_mib"
    printf '' >"$(program_of "$native_prefix")/cookies1.lst"
    settings native "$(cookie_ini 'E:\bench')"
  }
  dd_ref() {
    for _ in 1 2 3 4 5 6 7; do
      dd if=/dev/zero of="$E/bench/ref/big.txt" bs=1M count="$big_mib" conv=notrunc,fsync status=none
    done
    rm -f "$E/bench/ref/big.txt"
  }
  export -f dd_ref
  export E big_mib
  check_big() { gone "$E/bench/cookies" Tarnwick; gone "$E/bench/ref" dd; }
  two_sides "7 passes over $big_mib MiB + delete, disk" prep_big "trwk_native ie" \
    "\`dd conv=notrunc,fsync\` ×7 + \`rm\`" dd_ref check_big
fi

if [[ " $rows " == *" memory "* ]]; then
  side=native
  echo "bench: peak memory, $memory_files files in one folder (one round)"
  rm -rf "$D/bench"
  mkdir -p "$D/bench"
  "$tool" flat "$D/bench/one" 1
  settings native "$userdef_ini" $'D:\\bench\\one\\*.*\r\n'
  timed secs trwk_native userdef
  base_kib=$last_kib
  "$tool" flat "$D/bench/ours" "$memory_files"
  "$tool" flat "$D/bench/ref" "$memory_files"
  settings native "$userdef_ini" $'D:\\bench\\ours\\*.*\r\n'
  sync
  timed secs trwk_native userdef
  ours_kib=$last_kib
  timed secs rm -rf "$D/bench/ref"
  ref_kib=$last_kib
  gone "$D/bench/ours" Tarnwick
  per_entry=$(awk -v a="$ours_kib" -v b="$base_kib" -v n="$memory_files" 'BEGIN { printf "%.0f", (a - b) * 1024 / n }')
  table+=("| peak memory, $memory_files files in one folder, tmpfs | $((ours_kib / 1024)) MiB | \`rm -rf\` $((ref_kib / 1024)) MiB | grows ~$per_entry B/entry (1 file: $((base_kib / 1024)) MiB) |")
  echo "bench: peak memory: Tarnwick $ours_kib KiB (1 file: $base_kib KiB), rm -rf $ref_kib KiB"
fi

if [[ " $rows " == *" rules "* ]]; then
  # A rule file of rule_lines lines, ten to an entry, each entry with a registry and a file
  # detection, two FileKeys, a RegKey, an exclusion and a warning; every tenth vendor is
  # installed on the prefix. Nothing is ticked: the run reads, detects and judges every
  # entry at start, then cleans nothing. The registry is a booted prefix's when there is one.
  side=native
  rules_prefix=$work/rules
  rules_program=$(program_of "$rules_prefix")
  rules_user=bench
  if [ "$wine_ok" = 1 ]; then
    rules_user=$(find "$work/wine/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public -printf '%f\n' | head -n 1)
  fi
  mkdir -p "$rules_prefix/dosdevices" "$rules_prefix/drive_c/users/$rules_user" "$rules_program"
  ln -sfn ../drive_c "$rules_prefix/dosdevices/c:"
  cp "$here"/data/* "$rules_program/"
  if [ "$wine_ok" = 1 ]; then
    cp "$work/wine/user.reg" "$rules_prefix/user.reg"
    cp "$work/wine/system.reg" "$rules_prefix/system.reg"
  else
    {
      printf 'WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n'
      printf '[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1700000000\n'
      printf '"AppData"="C:\\\\users\\\\bench\\\\AppData\\\\Roaming"\n'
      printf '"Local AppData"="C:\\\\users\\\\bench\\\\AppData\\\\Local"\n'
    } >"$rules_prefix/user.reg"
    printf 'WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n' >"$rules_prefix/system.reg"
  fi
  rules_file=$work/rules.ini
  awk -v lines="$rule_lines" 'BEGIN {
    for (n = 0; n * 10 < lines; n++) {
      printf "[Vendor %d App Cache *]\r\nLangSecRef=%d\r\n", n, 3021 + n % 5
      printf "Detect=HKCU\\Software\\Vendor %d\\App\r\n", n
      printf "DetectFile=%%LocalAppData%%\\Vendor %d*\\App\r\n", n
      printf "FileKey1=%%LocalAppData%%\\Vendor %d\\App\\Cache|*.*|RECURSE\r\n", n
      printf "FileKey2=%%AppData%%\\Vendor %d\\App\\Logs|*.log;*.tmp\r\n", n
      printf "RegKey1=HKCU\\Software\\Vendor %d\\App\\Recent\r\n", n
      printf "ExcludeKey1=FILE|%%LocalAppData%%\\Vendor %d\\App\\Cache\\|keep.dat\r\n", n
      printf "Warning=Entry %d has a warning.\r\n; entry %d ends here\r\n", n, n
    }
  }' >"$rules_file"
  for ((n = 0; n * 10 < rule_lines; n += 10)); do
    mkdir -p "$rules_prefix/drive_c/users/$rules_user/AppData/Local/Vendor $n/App/Cache"
    printf 'x' >"$rules_prefix/drive_c/users/$rules_user/AppData/Local/Vendor $n/App/Cache/data"
  done
  cp "$rules_file" "$rules_program/winapp2.ini"
  printf '[Path]\r\nDetect=1\r\n[Tab]\r\nRules=1\r\n' >"$rules_program/mainten.ini"
  trwk_rules() {
    env WINEPREFIX="$rules_prefix" TRWK_PROGRAM_FOLDER="$program_windows" "$native_exe" --clean rules --accept-licence
  }
  cat_rules() { cat "$rules_file" >/dev/null; }
  export -f trwk_rules cat_rules
  export rules_prefix rules_file
  rules_ready() { rm -f "$rules_program/trwk.log"; }
  rules_check() {
    [ -f "$rules_prefix/drive_c/users/$rules_user/AppData/Local/Vendor 0/App/Cache/data" ] ||
      { echo "bench: the rules run removed what nothing ticked" >&2; exit 1; }
  }
  two_sides "read $rule_lines-line rule file + detect all entries, seeded prefix (native CLI)" rules_ready \
    trwk_rules "\`cat FILE >/dev/null\`" cat_rules rules_check \
    "$(grep -c '^\[' "$rules_file") entries"
fi

if [[ " $rows " == *" preview "* ]]; then
  # `--preview` of a user set naming a tree of tree_files files: the whole walk, a plan of
  # every entry and one printed line per entry, against a plain listing of the same tree
  # with every size printed. Nothing may go. Then the peak memory per planned entry.
  side=native
  trwk_preview() {
    env WINEPREFIX="$native_prefix" TRWK_PROGRAM_FOLDER="$program_windows" "$native_exe" --preview "$1" --accept-licence
  }
  find_sizes() { find "$D/bench/preview" -printf '%s\n'; }
  export -f trwk_preview find_sizes
  export D
  prep_preview() {
    if [ ! -d "$D/bench/preview" ]; then
      rm -rf "$D/bench"
      mkdir -p "$D/bench"
      "$tool" tree "$D/bench/preview" "$tree_files"
    fi
    settings native "$userdef_ini" $'D:\\bench\\preview\r\n'
  }
  check_preview() {
    [ "$(find "$D/bench/preview" -type f | wc -l)" = "$tree_files" ] ||
      { echo "bench: the preview removed something" >&2; exit 1; }
  }
  two_sides "preview of the $tree_files-file tree, tmpfs (native CLI)" prep_preview "trwk_preview userdef" \
    "\`find DIR -printf '%s\\n'\`" find_sizes check_preview
  planned=$(find "$D/bench/preview" | wc -l)
  timed secs trwk_preview userdef
  preview_kib=$last_kib
  mkdir -p "$D/bench/one"
  printf 'x' >"$D/bench/one/file"
  settings native "$userdef_ini" $'D:\\bench\\one\r\n'
  timed secs trwk_preview userdef
  one_kib=$last_kib
  per_planned=$(awk -v a="$preview_kib" -v b="$one_kib" -v n="$planned" 'BEGIN { printf "%.0f", (a - b) * 1024 / n }')
  table+=("| peak memory of that preview ($planned planned entries) | $((preview_kib / 1024)) MiB | 1 entry: $((one_kib / 1024)) MiB | ~$per_planned B/planned entry |")
  echo "bench: preview memory: $preview_kib KiB for $planned entries, $one_kib KiB for one"
  rm -rf "$D/bench"
fi

if [[ " $rows " == *" peer "* ]]; then
  if command -v bleachbit >/dev/null; then
    side=native
    mkdir -p "$XDG_CONFIG_HOME/bleachbit/cleaners"
    cat >"$XDG_CONFIG_HOME/bleachbit/cleaners/trwkbench.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<cleaner id="trwkbench" os="unix">
  <label>Tarnwick benchmark</label>
  <option id="tree">
    <label>Tree</label>
    <description>The benchmark tree</description>
    <action command="delete" search="walk.top" path="$D/bench/ref"/>
  </option>
</cleaner>
XML
    side=native tree_letter=D tree_root=$D tree_count=$tree_files
    two_sides "peer on the $tree_files-file tree, tmpfs" prep_tree "trwk_native userdef" \
      "BleachBit $(bleachbit --version 2>/dev/null | grep -oE '[0-9]+\.[0-9.]+' | head -n 1)" \
      "bleachbit --clean trwkbench.tree" check_tree
  else
    echo "bench: bleachbit is not installed (apt-get install bleachbit): the peer row is skipped"
    table+=("| peer on the $tree_files-file tree | — | BleachBit not installed | skipped |")
  fi
fi

# ---- Where the time goes: system calls per file of the native runs -------------------
profile_lines=()
fresh() { rm -rf "$D/bench" && mkdir -p "$D/bench" && "$tool" "$@"; }
if [ "$profile" = 1 ] && command -v strace >/dev/null; then
  n=10000
  echo "bench: system calls per file, $n files"
  calls() {  # calls COMMAND...: the system calls one run makes at least once per two files
    strace -f -c -o "$work/strace" bash -c '"$@"' _ "$@" >>"$work/run.log" 2>&1
    awk -v n="$n" '$NF ~ /^[a-z_0-9]+$/ && $NF != "total" && $4 ~ /^[0-9]+$/ && $4 >= n / 2 {
      printf "%s%s %.1f", sep, $NF, $4 / n; sep = ", " } END { print "" }' "$work/strace"
  }
  side=native
  fresh tree "$D/bench/ours" $n
  settings native "$userdef_ini" $'D:\\bench\\ours\r\n'
  profile_lines+=("tree removal, native, system calls per file: $(calls trwk_native userdef)")
  fresh flat "$D/bench/ours" $n
  settings native "$userdef_ini" $'D:\\bench\\ours\\*.*\r\n'
  profile_lines+=("mask \`*.*\`, native, system calls per file: $(calls trwk_native userdef)")
  fresh flat "$D/bench/ours" $n 3
  settings native "$(sweep_ini 'D:\bench\ours')"
  profile_lines+=("age sweep, native, system calls per file: $(calls trwk_native windows)")
  fresh tree "$D/bench/ref" $n
  profile_lines+=("\`rm -rf\` of the tree, system calls per file: $(calls rm -rf "$D/bench/ref")")
fi

# ---- Where the time goes under Wine: wineserver requests per file ----------------------
if [ "$profile" = 1 ] && [ "$wine_ok" = 1 ]; then
  m=1000
  echo "bench: wineserver requests per file, $m files"
  # requests FAMILY: the requests of one run of trwk6.exe, by name, traced by a server of its own.
  requests() {
    WINEPREFIX=$work/wine wineserver -k 2>/dev/null || true
    WINEPREFIX=$work/wine wineserver -w 2>/dev/null || true
    (cd "$(program_of "$work/wine")" && WINEDEBUG=+server WINEPREFIX=$work/wine \
      wine "$program_windows\\trwk6.exe" --clean "$1" --accept-licence >>"$work/run.log" 2>"$work/server.log")
    WINEPREFIX=$work/wine wineserver -w 2>/dev/null || true
    # Requests only: a reply is the same name followed by "() = STATUS".
    grep -vE '^[0-9a-f]{4}: [a-z_]+\(\) = ' "$work/server.log" |
      grep -oE '^[0-9a-f]{4}: [a-z_]+\(' | sed -E 's/^.{6}//; s/\($//' | sort | uniq -c
  }
  per_file() {  # per_file WHAT FAMILY PREPARE_SMALL PREPARE_BIG
    local small big
    $3
    small=$(requests "$2")
    $4
    big=$(requests "$2")
    profile_lines+=("$1 under Wine, wineserver requests per file: $(join -1 2 -2 2 -a 2 -e 0 -o 0,1.1,2.1 \
      <(sort -k 2 <<<"$small") <(sort -k 2 <<<"$big") |
      awk -v n=$((m - 1)) '{ d = ($3 - $2) / n; total += d; if (d >= 0.5) part[$1] = d }
        END { printf "%.1f (", total; sep = ""; for (r in part) { printf "%s%s %.1f", sep, r, part[r]; sep = ", " } printf ")" }')")
  }
  side=wine
  wine_tree() { fresh tree "$D/bench/ours" "$1"; settings wine "$userdef_ini" $'D:\\bench\\ours\r\n'; }
  wine_sweep() { fresh flat "$D/bench/ours" "$1" 3; settings wine "$(sweep_ini 'D:\bench\ours')"; }
  per_file "tree removal" userdef "wine_tree 1" "wine_tree $m"
  per_file "age sweep" windows "wine_sweep 1" "wine_sweep $m"
  server_down
fi

# ---- The report ------------------------------------------------------------------------
report=$out/report.md
{
  echo "# Benchmarks"
  echo
  echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $rounds rounds per row (median, min), rotating order, \`sync\` between sides."
  echo "Disk: $(df --output=fstype "$E" | tail -n 1) under build/; tmpfs: $tmpfs. Native: Release build of trwk6; Wine: $(wine --version 2>/dev/null || echo none)."
  echo
  echo "| Work | Tarnwick | Reference | Ratio |"
  echo "|---|---|---|---|"
  printf '%s\n' "${table[@]}"
  if [ ${#cpu_lines[@]} -gt 0 ]; then
    echo
    echo "CPU time of each side (medians; a Wine run's own process only, not its wineserver):"
    echo
    printf -- '- %s\n' "${cpu_lines[@]}"
  fi
  if [ ${#profile_lines[@]} -gt 0 ]; then
    echo
    echo "Where the time goes: one run over 10000 files natively (strace -c; calls made at least once per"
    echo "two files), over 1000 files under Wine (WINEDEBUG=+server; requests made at least once per two files):"
    echo
    printf -- '- %s\n' "${profile_lines[@]}"
  fi
} >"$report"
echo
cat "$report"
echo
echo "bench: the table is in $report"
