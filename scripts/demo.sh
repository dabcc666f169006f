#!/usr/bin/env bash
# Shows trwk6.exe under Wine on a sandbox prefix of its own: the licence agreement of a
# first start; then the main job, a headless Clean All over Internet Explorer traces seeded
# into the sandbox (what was there, what went, what was kept); then the main window of a
# later start. Saves a screenshot of each window.
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

# Internet Explorer traces in the sandbox user's profile: history, temporary files, typed
# URLs and cookies, two of them on the keep list.
user=$(cd "$prefix/drive_c/users" && ls | grep -vx Public | head -n 1)
profile="$prefix/drive_c/users/$user"
traces=("$profile/Local Settings/History" "$profile/Local Settings/Temporary Internet Files" "$profile/Cookies")
mkdir -p "${traces[0]}/History.IE5/MSHist012026" "${traces[1]}/Content.IE5/Q1W2E3R4" "${traces[2]}"
echo "[InternetShortcut]" >"${traces[0]}/History.IE5/MSHist012026/news.url"
echo "history index" >"${traces[0]}/History.IE5/index.dat"
echo "<html>" >"${traces[1]}/Content.IE5/Q1W2E3R4/index[1].htm"
echo "GIF89a" >"${traces[1]}/Content.IE5/Q1W2E3R4/banner[2].gif"
echo "cache index" >"${traces[1]}/Content.IE5/index.dat"
for cookie in bank mail ads tracker shop; do
  printf 'id\n%s\n%s.example/\n' "$RANDOM" "$cookie" >"${traces[2]}/$user@$cookie[1].txt"
done
echo "cookie index" >"${traces[2]}/index.dat"
printf '%s\r\n' "$user@bank[1].txt" "$user@mail[1].txt" >"$install/cookies1.lst"
win_profile="C:\\users\\$user"
# The shipped settings with the located folders, the five items ticked and level 2.
while IFS= read -r line; do
  line=${line%$'\r'}
  case "$line" in
    Detect=0)
      printf 'Detect=1\r\n'
      printf 'IE1=%s\\Local Settings\\History\\\r\n' "$win_profile"
      printf 'IE2=%s\\Local Settings\\Temporary Internet Files\\\r\n' "$win_profile"
      printf 'IE3=%s\\Cookies\\\r\n' "$win_profile"
      printf 'IE4=%s\\Local Settings\\Temporary Internet Files\\Content.IE5\\\r\n' "$win_profile" ;;
    Value[1-5]=0) printf '%s=1\r\n' "${line%=0}" ;;
    Safetylevel=1) printf 'Safetylevel=2\r\n' ;;
    *) printf '%s\r\n' "$line" ;;
  esac
done <"$bin/mainten.ini" >"$install/mainten.ini"
for n in 1 2 3; do
  wine reg add 'HKCU\Software\Microsoft\Internet Explorer\TypedURLs' /v "url$n" /d "http://site$n.example/" /f >/dev/null 2>&1
done

listing() {
  for t in "${traces[@]}"; do (cd "$profile" && find "${t#"$profile"/}" -type f); done | LC_ALL=C sort
}
typed_urls() {
  wine reg query 'HKCU\Software\Microsoft\Internet Explorer\TypedURLs' 2>/dev/null | tr -d '\r' | grep -F REG_SZ ||
    echo "    (no typed URLs)"
}
before=$root/build/demo-before.txt
after=$root/build/demo-after.txt
listing >"$before"
echo
echo "demo: the traces in the sandbox profile before cleaning:"
sed 's/^/    /' "$before"
echo "demo: typed URLs before cleaning:"
typed_urls
echo "demo: keep list (cookies1.lst): $(tr -d '\r' <"$install/cookies1.lst" | paste -sd ' ')"

echo
echo "demo: trwk6.exe --clean all --accept-licence"
(cd "$install" && wine 'C:\Program Files\Tarnwick\trwk6.exe' --clean all --accept-licence) | tr -d '\r' | sed 's/^/    /'
listing >"$after"
echo
echo "demo: removed:"
LC_ALL=C comm -23 "$before" "$after" | sed 's/^/    /'
echo "demo: kept:"
LC_ALL=C comm -12 "$before" "$after" | sed 's/^/    /'
echo "demo: typed URLs after cleaning:"
typed_urls
if [ -s "$install/trwk.log" ]; then
  echo "demo: run log (trwk.log):"
  tr -d '\r' <"$install/trwk.log" | sed 's/^/    /'
fi
kept_ok=1
for cookie in bank mail; do [ -f "${traces[2]}/$user@$cookie[1].txt" ] || kept_ok=0; done
for cookie in ads tracker shop; do [ -f "${traces[2]}/$user@$cookie[1].txt" ] && kept_ok=0; done
if [ "$kept_ok" != 1 ]; then
  echo "demo: the cookies were not cleaned as the keep list says" >&2
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
wineserver -k
wait || true
