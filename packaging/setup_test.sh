#!/usr/bin/env bash
# The setup and the uninstaller under Wine, in a prefix of their own:
#   setup_test.sh WORK_FOLDER WINDOWS_BIN DATA VERSION WINDRES
# builds Tarnwick-VERSION-setup.exe from WINDOWS_BIN (the Windows build's programs) and
# DATA (the shipped files), then: a silent install; trwk6.exe --version from the installed
# folder; the Uninstall key; icon and version information of each program; the refusal while
# trwk6.exe runs from the folder; an upgrade over changed settings, keep lists, User.def
# lists, plugins and log; a silent uninstall beside a foreign file; /REMOVEDATA; an
# installation elsewhere (/D=) removed by its QuietUninstallString.
# WORK_FOLDER is made afresh and removed at the end unless KEEP_E2E=1; nothing outside it
# is touched (HOME and the freedesktop folders point into it, the prefix has no z:).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
usage="usage: setup_test.sh WORK_FOLDER WINDOWS_BIN DATA VERSION WINDRES"
work=${1:?$usage}
winbin=$(cd "${2:?$usage}" && pwd)
data=$(cd "${3:?$usage}" && pwd)
version=${4:?$usage}
windres=${5:?$usage}
case "$work" in /|/tmp|/tmp/|"$HOME"|"$HOME"/.wine*) echo "setup_test: refusing work folder $work" >&2; exit 2 ;; esac

rm -rf "$work"
mkdir -p "$work/home/.local/share" "$work/saved"
work=$(cd "$work" && pwd)
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
running_pid=
cleanup() {
  if [ -n "$running_pid" ]; then kill -9 "$running_pid" 2>/dev/null || true; fi
  wineserver -k 2>/dev/null || true
  [ "${KEEP_E2E:-}" = 1 ] || rm -rf "$work"
}
trap cleanup EXIT

fail=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; fail=1; fi
}

# The files the setup is built from and compared with: a build running beside this test
# may replace the build folder's programs meanwhile.
mkdir -p "$work/bin"
cp "$winbin/trwk6.exe" "$winbin/Extmaker1.exe" "$winbin/zap.exe" "$work/bin/"
cp -R "$data" "$work/data"
winbin=$work/bin data=$work/data

# The setup builds while the prefix boots.
setup_name=Tarnwick-$version-setup.exe
"$here/make-setup.sh" "$winbin" "$data" "$work/$setup_name" "$version" >"$work/makensis.log" 2>&1 &
maker=$!
"$here/../testing/make-wineprefix" "$WINEPREFIX"
wait "$maker" || { cat "$work/makensis.log" >&2; echo "setup_test: the setup did not build" >&2; exit 1; }

c=$WINEPREFIX/drive_c
program="$c/Program Files/Tarnwick"
menu="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tarnwick"
mkdir -p "$c/setup"
cp "$work/$setup_name" "$c/setup/"

# Runs one command line as cmd.exe gets it (NSIS wants /D= and _?= without quotes, which
# Wine would add to an argument with a space) and sets $rc to its exit code.
run() {
  printf '@%s\r\n@exit /b %%errorlevel%%\r\n' "$1" >"$c/run.bat"
  rc=0
  (cd "$c" && wine cmd /c 'C:\run.bat' </dev/null >"$work/run.out" 2>&1) || rc=$?
}
setup() { run "C:\\setup\\$setup_name /S$*"; }
# Started in its folder, the uninstaller goes on from a copy of itself and returns at once;
# this runs such a copy (with _?=FOLDER, as it does itself), which returns when done.
uninstall() {  # uninstall FOLDER [OPTIONS]
  mkdir -p "$c/un"
  cp "$(winpath_host "$1")/uninstall.exe" "$c/un/uninstall.exe"
  run "C:\\un\\uninstall.exe /S${2:+ $2} _?=$1"
}
winpath_host() { local p=${1#C:\\}; printf '%s/%s' "$c" "${p//\\//}"; }

# reg_values KEY: its values as NAME=DATA lines.
reg_values() {
  (cd "$c" && wine reg query "$1" </dev/null 2>/dev/null) | tr -d '\r' |
    awk -F '    ' 'NF >= 4 && $1 == "" { print $2 "=" $4 }' || true
}
has_value() { reg_values "$1" | grep -qxF "$2"; }
no_value_named() { ! reg_values "$1" | grep -q "^$2="; }
key_gone() { ! (cd "$c" && wine reg query "$1" </dev/null >/dev/null 2>&1); }

same() { cmp -s "$1" "$2"; }
missing() { [ ! -e "$1" ]; }

# What the setup ships: the programs, then the shipped files; mainten.ini apart.
shipped=()
for f in trwk6.exe Extmaker1.exe zap.exe; do shipped+=("$winbin/$f"); done
for f in "$data"/*; do
  [ "$(basename "$f")" = mainten.ini ] || shipped+=("$f")
done
# The user's data, as the programs write it.
declare -A user_data=(
  [mainten.ini]=$'[Rensa]\r\nValue1=1\r\n'
  [cookies1.lst]=$'example.com\r\n'
  [cookies2.lst]=$'example.org\r\n'
  [userdef1.lst]=$'C:\\Work\\*.tmp\r\n'
  [userdef4.lst]=$'C:\\Old\\\r\n'
  [Game.cp2]=$'[Plugin]\r\nName=Game\r\n'
  [Game.cp1]=$'C:\\Game\\*.sav\r\n'
  [trwk.log]=$'"2026-01-01 10:00:00";"Session Started"\r\n'
)

echo "setup_test: silent install"
setup
check "silent setup ends with 0 (was $rc)" [ "$rc" = 0 ]
for f in "${shipped[@]}"; do check "installed $(basename "$f")" same "$f" "$program/$(basename "$f")"; done
check "installed mainten.ini, the template" same "$data/mainten.ini" "$program/mainten.ini"
check "installed uninstall.exe" [ -f "$program/uninstall.exe" ]
check "nothing else installed" [ "$(ls -A "$program" | wc -l)" = $((${#shipped[@]} + 2)) ]
for link in "Tarnwick" "Tarnwick Plugin Creator" "Uninstall Tarnwick"; do
  check "Start menu shortcut $link" [ -f "$menu/$link.lnk" ]
done
(cd "$c" && wine 'C:\Program Files\Tarnwick\trwk6.exe' --version </dev/null >"$work/version.out" 2>&1) || true
check "trwk6.exe --version from the installed folder says $version" grep -q "$version" "$work/version.out"

key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick'
for value in "DisplayName=Tarnwick" "DisplayVersion=$version" "Publisher=Tarnwick" \
  'DisplayIcon=C:\Program Files\Tarnwick\trwk6.exe' 'InstallLocation=C:\Program Files\Tarnwick' \
  'UninstallString="C:\Program Files\Tarnwick\uninstall.exe"' \
  'QuietUninstallString="C:\Program Files\Tarnwick\uninstall.exe" /S' "NoModify=0x1" "NoRepair=0x1"; do
  check "Uninstall key: $value" has_value "$key" "$value"
done
size_kb=$(reg_values "$key" | sed -n 's/^EstimatedSize=//p')
installed_kb=$(($(cat "${shipped[@]}" | wc -c) / 1024))
covers() { [ -n "$1" ] && [ $(($1)) -ge "$2" ]; }
check "Uninstall key: EstimatedSize ($size_kb) covers the $installed_kb KB installed" covers "$size_kb" "$installed_kb"

# Explorer and the Uninstall list show each program's icon and version information.
for exe in trwk6.exe Extmaker1.exe zap.exe; do
  "$windres" -i "$program/$exe" -O rc >"$work/resources.rc" 2>/dev/null || true
  check "$exe has an icon" grep -q 'RT_GROUP_ICON' "$work/resources.rc"
  check "$exe names the product" grep -q 'VALUE "ProductName", "Tarnwick"' "$work/resources.rc"
  check "$exe has version $version" grep -q "VALUE \"ProductVersion\", \"$version\"" "$work/resources.rc"
  check "$exe describes itself" grep -Eq 'VALUE "FileDescription", "Tarnwick.+"' "$work/resources.rc"
done

if [ -n "${DISPLAY:-}" ]; then
  echo "setup_test: setup and uninstaller while trwk6.exe runs from the folder"
  (cd "$c" && exec wine 'C:\Program Files\Tarnwick\trwk6.exe' </dev/null >/dev/null 2>&1) &
  running_pid=$!
  # It logs its start: by then its file is mapped.
  for _ in $(seq 100); do [ -s "$program/trwk.log" ] && break; sleep 0.2; done
  ls -A "$program" >"$work/before.lst"
  setup
  check "setup refuses with 3 (was $rc)" [ "$rc" = 3 ]
  uninstall 'C:\Program Files\Tarnwick'
  check "uninstaller refuses with 3 (was $rc)" [ "$rc" = 3 ]
  ls -A "$program" >"$work/after.lst"
  check "nothing in the folder changed" same "$work/before.lst" "$work/after.lst"
  check "the Uninstall key stays" has_value "$key" "DisplayName=Tarnwick"
  kill "$running_pid" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$running_pid" 2>/dev/null || break; sleep 0.2; done
  kill -9 "$running_pid" 2>/dev/null || true
  running_pid=
else
  echo "skip the refusal while trwk6.exe runs: no X display (run under xvfb-run)"
fi

echo "setup_test: upgrade over the user's data"
for name in "${!user_data[@]}"; do
  printf '%s' "${user_data[$name]}" >"$program/$name"
  cp "$program/$name" "$work/saved/$name"
done
for f in "${shipped[@]}"; do printf 'an older %s\r\n' "$(basename "$f")" >"$program/$(basename "$f")"; done
setup
check "upgrade ends with 0 (was $rc)" [ "$rc" = 0 ]
for name in "${!user_data[@]}"; do check "upgrade keeps $name" same "$work/saved/$name" "$program/$name"; done
for f in "${shipped[@]}"; do check "upgrade replaces $(basename "$f")" same "$f" "$program/$(basename "$f")"; done

echo "setup_test: silent uninstall beside a foreign file"
printf 'mine\r\n' >"$program/notes.txt"
run 'reg add HKCU\Software\Microsoft\Windows\CurrentVersion\Run /v Tarnwick /d "C:\Program Files\Tarnwick\trwk6.exe" /f'
run 'reg add HKCU\Software\Microsoft\Windows\CurrentVersion\Run /v Other /d "C:\Other\other.exe" /f'
run 'reg add HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce /v "String Value" /d "C:\Program Files\Tarnwick\zap.exe" /f'
uninstall 'C:\Program Files\Tarnwick'
check "uninstall ends with 0 (was $rc)" [ "$rc" = 0 ]
for f in "${shipped[@]}"; do check "uninstall removes $(basename "$f")" missing "$program/$(basename "$f")"; done
check "uninstall removes uninstall.exe" missing "$program/uninstall.exe"
for name in "${!user_data[@]}"; do check "silent uninstall keeps $name" same "$work/saved/$name" "$program/$name"; done
check "the foreign file stays" same "$program/notes.txt" <(printf 'mine\r\n')
check "the Start menu folder is gone" missing "$menu"
check "the Uninstall key is gone" key_gone "$key"
check "the Run value Tarnwick is gone" no_value_named 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' Tarnwick
check "another program's Run value stays" \
  has_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' 'Other=C:\Other\other.exe'
check "zap's run-once value is gone" \
  no_value_named 'HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce' 'String Value'

echo "setup_test: silent uninstall with /REMOVEDATA"
setup
# notes.cp1x is no plugin, though on Windows its 8.3 name ends in .CP1.
printf 'mine\r\n' >"$program/notes.cp1x"
uninstall 'C:\Program Files\Tarnwick' /REMOVEDATA
check "uninstall /REMOVEDATA ends with 0 (was $rc)" [ "$rc" = 0 ]
for name in "${!user_data[@]}"; do check "/REMOVEDATA removes $name" missing "$program/$name"; done
check "/REMOVEDATA leaves the foreign files, and the folder with them" \
  [ "$(cd "$program" && ls -A | tr '\n' ' ')" = "notes.cp1x notes.txt " ]

echo "setup_test: install with /D= and uninstall by the QuietUninstallString"
setup ' /D=C:\Tools\Tarnwick Test'
other="$c/Tools/Tarnwick Test"
check "setup /D= ends with 0 (was $rc)" [ "$rc" = 0 ]
check "installed into the /D= folder" same "$winbin/trwk6.exe" "$other/trwk6.exe"
check "the template mainten.ini in the /D= folder" same "$data/mainten.ini" "$other/mainten.ini"
check "Uninstall key: the /D= folder" has_value "$key" 'InstallLocation=C:\Tools\Tarnwick Test'
quiet=$(reg_values "$key" | sed -n 's/^QuietUninstallString=//p')
run "$quiet"
check "the QuietUninstallString starts the uninstaller (was $rc)" [ "$rc" = 0 ]
# It goes on from a copy of itself: the folder going is its last step.
for _ in $(seq 150); do [ -e "$other" ] || break; sleep 0.2; done
check "a clean installation leaves no folder" missing "$other"
check "a clean installation leaves no Uninstall key" key_gone "$key"
check "a clean installation leaves no Start menu folder" missing "$menu"

[ "$fail" = 0 ] && echo "setup_test: all passed" || echo "setup_test: FAILED"
exit "$fail"
