# Shared set-up of the end-to-end scripts, sourced after `set -euo pipefail` with
#   e2e_start NAME WORK WINDOWS_BIN NATIVE_BIN
# It makes WORK afresh (HOME and the freedesktop trash point into it), boots a fresh prefix
# at $base without a z: drive, copies trwk6.exe and the files shipped beside it into
# $program, and defines check(). WORK is removed at the end unless KEEP_E2E=1.

e2e_start() {
  local name=$1
  work=${2:?usage: $name WORK WINDOWS_BIN NATIVE_BIN}
  winbin=$(cd "${3:?}" && pwd)
  natbin=$(cd "${4:?}" && pwd)
  [ -f "$winbin/trwk6.exe" ] || { echo "e2e: no trwk6.exe in $winbin" >&2; exit 2; }
  [ -x "$natbin/trwk6" ] || { echo "e2e: no native trwk6 in $natbin (build the native preset first)" >&2; exit 2; }
  case "$work" in /|/tmp|/tmp/|"$HOME"|"$HOME"/.wine*) echo "e2e: refusing work folder $work" >&2; exit 2 ;; esac

  rm -rf "$work"
  mkdir -p "$work/home/.local/share"
  work=$(cd "$work" && pwd)
  export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  base=$work/base
  trap e2e_cleanup EXIT
  fail=0

  echo "e2e: booting a fresh prefix"
  WINEPREFIX=$base wineboot -i </dev/null >/dev/null 2>&1 || true
  WINEPREFIX=$base wineserver -w
  rm -f "$base/dosdevices/z:"
  [ -f "$base/user.reg" ] && [ -f "$base/system.reg" ] || { echo "e2e: wineboot made no prefix" >&2; exit 1; }

  program="$base/drive_c/Program Files/Tarnwick"
  mkdir -p "$program"
  cp "$winbin/trwk6.exe" "$program/"
  local f
  for f in ow.chx ow2.chx cookies1.000 cookies2.000 url.ini; do
    [ -f "$winbin/$f" ] && cp "$winbin/$f" "$program/"
  done
  return 0
}

e2e_cleanup() {
  local p
  for p in "$base" "$work/wine"; do WINEPREFIX=$p wineserver -k 2>/dev/null || true; done
  [ "${KEEP_E2E:-}" = 1 ] || rm -rf "$work"
}

check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; fail=1; fi
}

# Copies the seeded $base to $work/wine and $work/native and runs the same headless
# command line there: trwk6.exe under Wine, then the Linux build. Output goes to
# $work/{wine,native}.{out,err}; both runs must end with 0.
e2e_run_both() {
  cp -a "$base" "$work/wine"
  cp -a "$base" "$work/native"
  local wine_code native_code
  echo "e2e: trwk6.exe $* under Wine"
  set +e
  (cd "$work/wine/drive_c/Program Files/Tarnwick" &&
    WINEPREFIX=$work/wine wine 'C:\Program Files\Tarnwick\trwk6.exe' "$@" \
      >"$work/wine.out" 2>"$work/wine.err" </dev/null)
  wine_code=$?
  WINEPREFIX=$work/wine wineserver -w  # the registry reaches user.reg and system.reg now
  echo "e2e: native trwk6 $*"
  WINEPREFIX=$work/native TRWK_PROGRAM_FOLDER='C:\Program Files\Tarnwick' "$natbin/trwk6" "$@" \
    >"$work/native.out" 2>"$work/native.err" </dev/null
  native_code=$?
  set -e
  check "Wine run ends with 0 (was $wine_code)" [ "$wine_code" = 0 ]
  check "native run ends with 0 (was $native_code)" [ "$native_code" = 0 ]
}

# mainten.ini of a run's prefix, with the free-space sizes and the times taken out.
settings() {
  tr -d '\r' <"$1/drive_c/Program Files/Tarnwick/mainten.ini" |
    sed -E 's/^(Size[0-9]=).+/\1<kb>/; s/[0-9]{4}-[0-9]{2}-[0-9]{2}( [0-9:]{8})?/<time>/g'
}

# reg_section FILE SECTION: the value lines of one key of a registry file.
reg_section() {
  # Through the environment: awk -v would take the doubled backslashes as escapes.
  WANT="[$2]" awk 'index($0, ENVIRON["WANT"]) == 1 { on = 1; print "key"; next } /^\[/ { on = 0 } on && /^"/ { print }' "$1"
}

# seed_ie_traces FOLDER: Internet Explorer's history, cache and cookies in FOLDER, with
# the bank's cookie on the keep list.
seed_ie_traces() {
  local ie=$1
  mkdir -p "$ie/History/History.IE5/MSHist01" "$ie/Temporary Internet Files/Content.IE5/AB12CD34" "$ie/Cookies"
  echo "[InternetShortcut]" >"$ie/History/History.IE5/MSHist01/visit.url"
  echo "page" >"$ie/Temporary Internet Files/Content.IE5/AB12CD34/page[1].htm"
  printf 'session\n1\nexample.com/\n' >"$ie/Cookies/tester@example[1].txt"
  printf 'keep me\n1\nbank.example/\n' >"$ie/Cookies/tester@bank[1].txt"
  printf 'tester@bank[1].txt\r\n' >"$program/cookies1.lst"
}

# e2e_end: on a failure, what each side printed and logged; then the test's verdict.
e2e_end() {
  if [ "$fail" != 0 ]; then
    for side in wine native; do
      echo "--- $side stdout"; cat "$work/$side.out"; echo "--- $side stderr"; cat "$work/$side.err"
      echo "--- $side log"; cat "$work/$side.log" 2>/dev/null || true
    done
  fi
  exit "$fail"
}
