#!/usr/bin/env bash
# Shows trwk6.exe under Wine on a sandbox prefix of its own: the licence agreement of a
# first start; then the main job, a headless Clean All over traces of Internet Explorer,
# Netscape, Opera and Windows, a user-defined set and a plugin seeded into the sandbox
# (what was there, what went, what was kept); then the main window of a later start with
# its pages. Saves a screenshot of each window.
#   scripts/demo.sh <folder of the Windows programs>      (make demo passes build/windows/bin)
# DEMO_OUT names the folder for the sandbox and the screenshots (default: build/).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:?usage: scripts/demo.sh <windows bin folder>}" && pwd)
[ -f "$bin/trwk6.exe" ] || { echo "demo: no trwk6.exe in $bin" >&2; exit 2; }

# Without a display the demo draws on a virtual one.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

out=${DEMO_OUT:-$root/build}
mkdir -p "$out"
out=$(cd "$out" && pwd)
prefix=$out/demo-prefix
home=$out/demo-home
shot=$out/demo-screenshot.png
mainshot=$out/demo-main-window.png
netscapeshot=$out/demo-netscape-page.png
windowsshot=$out/demo-windows-page.png
userdefshot=$out/demo-userdef-page.png
pluginsshot=$out/demo-plugins-page.png
maintenanceshot=$out/demo-maintenance-page.png
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

# The traces, all in the sandbox prefix. Internet Explorer: history, temporary files,
# typed URLs and cookies, two of them on the keep list.
user=$(cd "$prefix/drive_c/users" && ls | grep -vx Public | head -n 1)
c=$prefix/drive_c
profile="$c/users/$user"
ie=("$profile/Local Settings/History" "$profile/Local Settings/Temporary Internet Files" "$profile/Cookies")
mkdir -p "${ie[0]}/History.IE5/MSHist012026" "${ie[1]}/Content.IE5/Q1W2E3R4" "${ie[2]}"
echo "[InternetShortcut]" >"${ie[0]}/History.IE5/MSHist012026/news.url"
echo "history index" >"${ie[0]}/History.IE5/index.dat"
echo "<html>" >"${ie[1]}/Content.IE5/Q1W2E3R4/index[1].htm"
echo "GIF89a" >"${ie[1]}/Content.IE5/Q1W2E3R4/banner[2].gif"
echo "cache index" >"${ie[1]}/Content.IE5/index.dat"
for cookie in bank mail ads tracker shop; do
  printf 'id\n%s\n%s.example/\n' "$RANDOM" "$cookie" >"${ie[2]}/$user@$cookie[1].txt"
done
echo "cookie index" >"${ie[2]}/index.dat"
printf '%s\r\n' "$user@bank[1].txt" "$user@mail[1].txt" >"$install/cookies1.lst"

# Netscape: one user with history, cookies (one on the keep list), typed addresses among
# the preferences, and a cache.
ns="$c/Program Files/Netscape/Users/$user"
mkdir -p "$ns/Cache"
echo "visited pages" >"$ns/netscape.hst"
printf '# Netscape HTTP Cookie File\n.bank.example\tTRUE\t/\tFALSE\t2000000000\tsession\tkeep\n.ads.example\tTRUE\t/\tFALSE\t2000000000\ttrack\t4711\n.tracker.example\tTRUE\t/\tFALSE\t2000000000\tuid\t99\n' >"$ns/cookies.txt"
printf '.bank.example\tTRUE\t/\tFALSE\t2000000000\tsession\tkeep\r\n' >"$install/cookies2.lst"
printf '// Mozilla User Preferences\nuser_pref("browser.url_history.URL_1", "http://typed.example/");\nuser_pref("browser.startup.homepage", "http://home.example/");\nuser_pref("browser.url_history.URL_2", "http://secret.example/");\n' >"$ns/prefs.js"
echo 'user_pref("li.enabled", true);' >"$ns/liprefs.js"
echo "<html>bookmarks</html>" >"$ns/bookmark.htm"
for page in M1A2B3C4.htm M5D6E7F8.gif; do echo "cached" >"$ns/Cache/$page"; done

# Opera: window layout, history, cookies, visited links and a cache.
opera="$c/Program Files/Opera"
mkdir -p "$opera/Cache4"
for f in opera.win global.dat cookies4.dat opera.dir vlink4.dat opera6.ini; do echo "in use: $f" >"$opera/$f"; done
for page in opr00001.htm opr00002.gif; do echo "cached" >"$opera/Cache4/$page"; done

# Windows: recent documents, downloaded program files, temporary files (one from today,
# two older), scandisk's fragments, the Run and Find histories and the recycle bin.
recent="$profile/Recent"
temp="$c/windows/temp"
downloaded="$c/windows/Downloaded Program Files"
mkdir -p "$recent" "$temp" "$downloaded/CONFLICT.1"
for doc in letter.doc budget.xls; do echo "link" >"$recent/$doc.lnk"; done
echo "control" >"$downloaded/viewer.ocx"
echo "setup" >"$downloaded/CONFLICT.1/viewer.inf"
echo "old" >"$temp/~demo0001.tmp"
echo "old" >"$temp/~demo0002.tmp"
echo "today" >"$temp/~demo0003.tmp"
touch -d '3 days ago' "$temp/~demo0001.tmp"
touch -d '2 days ago' "$temp/~demo0002.tmp"
echo "fragment" >"$c/FILE0000.CHK"
for key in RunMRU 'Doc Find Spec MRU'; do
  k="HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\$key"
  for v in a b c; do wine reg add "$k" /v $v /d "demo-$v\\1" /f >/dev/null 2>&1; done
  wine reg add "$k" /v MRUList /d cba /f >/dev/null 2>&1
done
trash=$XDG_DATA_HOME/Trash
mkdir -p "$trash/files" "$trash/info"
for f in report.doc holiday.jpg; do
  echo "deleted" >"$trash/files/$f"
  printf '[Trash Info]\nPath=/home/demo/%s\nDeletionDate=2026-01-01T10:00:00\n' "$f" >"$trash/info/$f.trashinfo"
done

# A user-defined set ("Old drafts"): a folder with its contents and the backups of another.
drafts="$c/Work/drafts"
mkdir -p "$drafts/2025" "$c/Work/reports"
echo "draft" >"$drafts/2025/plan.doc"
echo "draft" >"$drafts/notes.txt"
for f in q1.bak q2.bak q3.doc; do echo "report" >"$c/Work/reports/$f"; done
printf 'C:\\Work\\drafts\r\nC:\\Work\\reports\\*.bak\r\n' >"$install/userdef1.lst"
# A plugin of a game, ticked: its saved game and its last-file value go.
mkdir -p "$c/Games/Maze"
echo "saved" >"$c/Games/Maze/maze.sav"
echo "scores" >"$c/Games/Maze/scores.dat"
printf '[Main]\r\nName=Maze game\r\nVersion=1.0\r\nCreated=2026-12-01\r\nAuthor=Demo\r\nActive=True\r\nInfo=Removes the saved game\r\n' >"$install/Maze.cp2"
printf '/* the saved game and the last file opened\r\nC:\\Games\\Maze\\*.sav\r\nHKEY_CURRENT_USER\\Software\\Maze+LastFile\r\n' >"$install/Maze.cp1"
wine reg add 'HKCU\Software\Maze' /v LastFile /d 'C:\Games\Maze\maze.sav' /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Maze' /v Level /d 7 /f >/dev/null 2>&1

win_profile="C:\\users\\$user"
# The shipped settings with the located folders, the items 1 to 21 ticked and level 2.
while IFS= read -r line; do
  line=${line%$'\r'}
  case "$line" in
    Detect=0)
      printf 'Detect=1\r\n'
      printf 'IE1=%s\\Local Settings\\History\\\r\n' "$win_profile"
      printf 'IE2=%s\\Local Settings\\Temporary Internet Files\\\r\n' "$win_profile"
      printf 'IE3=%s\\Cookies\\\r\n' "$win_profile"
      printf 'IE4=%s\\Local Settings\\Temporary Internet Files\\Content.IE5\\\r\n' "$win_profile"
      printf 'Netscape1A=C:\\Program Files\\Netscape\\Users\\\r\nNetscape1B=0\r\nNetscape1C=%s\r\n' "$user"
      printf 'Netscape2=C:\\Program Files\\Netscape\\Users\\%s\\Cache\\\r\n' "$user"
      printf 'Opera1=C:\\Program Files\\Opera\\\r\nOpera2=C:\\Program Files\\Opera\\Cache4\\\r\n'
      printf 'Win1=%s\\Recent\\\r\nWin2=C:\\windows\\temp\\\r\n' "$win_profile"
      printf 'Win3=C:\\windows\\Downloaded Program Files\\\r\n' ;;
    Value[1-9]=0 | Value1[0-9]=0 | Value2[012]=0) printf '%s=1\r\n' "${line%=0}" ;;
    UDvalue1=0) printf 'UDvalue1=1\r\nUDname1=Old drafts\r\n' ;;
    Safetylevel=1) printf 'Safetylevel=2\r\n' ;;
    *) printf '%s\r\n' "$line" ;;
  esac
done <"$bin/mainten.ini" >"$install/mainten.ini"
for n in 1 2 3; do
  wine reg add 'HKCU\Software\Microsoft\Internet Explorer\TypedURLs' /v "url$n" /d "http://site$n.example/" /f >/dev/null 2>&1
done

# Every seeded file, by where it lies, and the seeded registry values.
listing() {
  {
    for t in "${ie[@]}" "$recent"; do (cd "$profile" && find "${t#"$profile"/}" -type f); done
    (cd "$c" && find "Program Files/Netscape" "Program Files/Opera" "windows/Downloaded Program Files" Work Games -type f
     find windows/temp -maxdepth 1 -name '~demo*'
     find . -maxdepth 1 -iname '*.chk' -printf '%P\n')
    (cd "$trash" && find files -type f -printf 'Trash/%p\n')
  } | LC_ALL=C sort
}
registry_values() {
  local key
  for key in 'Microsoft\Internet Explorer\TypedURLs' 'Microsoft\Windows\CurrentVersion\Explorer\RunMRU' \
    'Microsoft\Windows\CurrentVersion\Explorer\Doc Find Spec MRU' 'Maze'; do
    # A key that cleaning removed is no error here.
    { wine reg query "HKCU\\Software\\$key" 2>/dev/null || true; } | tr -d '\r' |
      awk -v k="$key" '/REG_SZ/ { print k ": " $1 " = " $3 }'
  done
}
before=$out/demo-before.txt
after=$out/demo-after.txt
{ listing; registry_values; } | LC_ALL=C sort >"$before"
echo
echo "demo: the traces in the sandbox before cleaning:"
sed 's/^/    /' "$before"
echo "demo: keep lists: cookies1.lst: $(tr -d '\r' <"$install/cookies1.lst" | paste -sd ' ')"
echo "      cookies2.lst: $(tr -d '\r' <"$install/cookies2.lst" | tr '\t' ' ')"

echo
echo "demo: trwk6.exe --clean all --accept-licence"
(cd "$install" && wine 'C:\Program Files\Tarnwick\trwk6.exe' --clean all --accept-licence) | tr -d '\r' | sed 's/^/    /'

{ listing; registry_values; } | LC_ALL=C sort >"$after"
echo
echo "demo: removed:"
LC_ALL=C comm -23 "$before" "$after" | sed 's/^/    /'
echo "demo: kept:"
LC_ALL=C comm -12 "$before" "$after" | sed 's/^/    /'
echo "demo: rewritten or put back:"
echo "    Netscape cookies.txt (the keep list): $(tr -d '\r' <"$ns/cookies.txt" | tr '\t' ' ' | paste -sd '|')"
echo "    Netscape prefs.js:"
tr -d '\r' <"$ns/prefs.js" | sed 's/^/        /'
echo "    Opera opera.win: the clean layout shipped beside the program ($(wc -c <"$opera/opera.win") bytes)"
if [ -s "$install/trwk.log" ]; then
  echo "demo: run log (trwk.log):"
  tr -d '\r' <"$install/trwk.log" | sed 's/^/    /'
fi
problems=()
for cookie in bank mail; do [ -f "${ie[2]}/$user@$cookie[1].txt" ] || problems+=("IE cookie $cookie was not kept"); done
for cookie in ads tracker shop; do [ -f "${ie[2]}/$user@$cookie[1].txt" ] && problems+=("IE cookie $cookie is left"); done
cmp -s "$ns/cookies.txt" "$install/cookies2.lst" || problems+=("Netscape cookies.txt is not the keep list")
grep -q url_history "$ns/prefs.js" && problems+=("Netscape typed addresses are left")
grep -q homepage "$ns/prefs.js" || problems+=("Netscape prefs.js lost a preference")
for f in "$ns/netscape.hst" "$opera/cookies4.dat" "$recent/letter.doc.lnk" "$temp/~demo0001.tmp" "$c/FILE0000.CHK" \
  "$trash/files/report.doc" "$drafts" "$c/Work/reports/q1.bak" "$c/Games/Maze/maze.sav"; do
  [ -e "$f" ] && problems+=("${f#"$c"/} is left")
done
[ -f "$temp/~demo0003.tmp" ] || problems+=("today's temporary file went")
[ -f "$c/Work/reports/q3.doc" ] || problems+=("a report no set names went")
[ -f "$c/Games/Maze/scores.dat" ] || problems+=("a game file no plugin line names went")
grep -q '^Maze: LastFile' "$after" && problems+=("the plugin's registry value is left")
grep -q '^Maze: Level' "$after" || problems+=("a registry value no plugin line names went")
if [ ${#problems[@]} != 0 ]; then
  printf 'demo: %s\n' "${problems[@]}" >&2
  exit 1
fi

# The headless run accepted the agreement for this user: the next start goes straight to
# the main window, whose status bar now names the cleaning.
echo
echo "demo: a start with windows, after the cleaning"
start_trwk6
wait_for_window "Tarnwick"
import -window root "$mainshot"
echo "demo: screenshot of the main window: $mainshot"
# A click on the first tab gives the tab strip the focus; the arrow keys then turn its
# pages as a person would. The first tab lies at the same place whatever the pages hold.
if command -v xdotool >/dev/null; then
  # A window that goes while the search looks at it (a tooltip, the splash) ends that
  # search with an X error: it is asked again.
  main=
  for _ in 1 2 3 4 5; do
    main=$(xdotool search --name '^Tarnwick$' 2>/dev/null | head -n 1) && [ -n "$main" ] && break
    sleep 0.5
  done
  xdotool mousemove --window "$main" 60 209 click 1
  sleep 0.5
  xdotool key Right
  sleep 1
  import -window root "$netscapeshot"
  echo "demo: screenshot of the Netscape page: $netscapeshot"
  xdotool key Right Right
  sleep 1
  import -window root "$windowsshot"
  echo "demo: screenshot of the Windows page: $windowsshot"
  xdotool key Right
  sleep 1
  import -window root "$userdefshot"
  echo "demo: screenshot of the User.def page: $userdefshot"
  xdotool key Right
  sleep 1
  import -window root "$pluginsshot"
  echo "demo: screenshot of the Plugins page: $pluginsshot"
  xdotool key Right Right
  sleep 1
  import -window root "$maintenanceshot"
  echo "demo: screenshot of the Maintenance page: $maintenanceshot"
else
  echo "demo: no xdotool here, so no screenshots of the other pages"
fi
wineserver -k
wait || true
