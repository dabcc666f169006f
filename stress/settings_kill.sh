#!/usr/bin/env bash
# kill -9 of a settings writer at random moments: the native settings engine keeps
# rewriting mainten.ini of a throwaway prefix (stress/settings_writer.cpp) and is killed
# 0-39 ms after it starts, ITERATIONS times. After each kill the file must parse, hold
# every key whose write was reported done, and hold nothing half written. Leftover
# temporary files (.mainten.ini.trwk-*) are counted and removed, as the next start of the
# program removes them; they fail nothing.
#   stress/settings_kill.sh WRITER [ITERATIONS]
# ITERATIONS defaults to $SETTINGS_KILL_ITERATIONS or 1000; the run stops early after
# $SETTINGS_KILL_SECONDS (default 900). Everything happens in a folder made under
# ${TMPDIR:-/tmp} and removed at the end. The last line is "N passed, M failed"; the exit
# status is non-zero on any torn file or lost key.
set -uo pipefail
writer=${1:?usage: stress/settings_kill.sh WRITER [ITERATIONS]}
iterations=${2:-${SETTINGS_KILL_ITERATIONS:-1000}}
seconds=${SETTINGS_KILL_SECONDS:-900}
here=$(cd "$(dirname "$0")/.." && pwd)
[ -x "$writer" ] || { echo "settings_kill: $writer is not a program" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/trwk-settings-kill.XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
program=$prefix/drive_c/Program\ Files/Tarnwick
mkdir -p "$prefix/dosdevices" "$program"
ln -s ../drive_c "$prefix/dosdevices/c:"
cp "$here/data/mainten.ini" "$program/mainten.ini"
cp "$here/data/mainten.ini" "$program/mainten.ini.seed"

passed=0 failed=0 torn=0 lost=0 errors=0 leftovers=0 last=-1
start=$SECONDS
echo "settings_kill: $iterations kills of $writer in $work"
for ((n = 1; n <= iterations; n++)); do
  if ((SECONDS - start >= seconds)); then
    echo "settings_kill: stopped after ${seconds}s, $((n - 1)) kills done"
    break
  fi
  "$writer" write "$prefix" $((last + 1)) >"$work/told" 2>"$work/err" &
  pid=$!
  sleep "0.0$(printf '%02d' $((RANDOM % 40)))"
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  code=$?
  told=$(grep -E '^[0-9]+$' "$work/told" | tail -n 1)
  [ -n "$told" ] && last=$told
  shopt -s nullglob
  temps=("$program"/.mainten.ini.trwk-*)
  shopt -u nullglob
  leftovers=$((leftovers + ${#temps[@]}))
  [ ${#temps[@]} -eq 0 ] || rm -f "${temps[@]}"

  verdict=$("$writer" check "$prefix" "$last")
  case $? in
    0) ;;
    3) torn=$((torn + 1)) ;;
    4) lost=$((lost + 1)) ;;
    *) errors=$((errors + 1)) ;;
  esac
  # A writer that ended by itself instead of being killed failed a write.
  if [ "$code" != 137 ] && [ "$code" != 0 ]; then
    errors=$((errors + 1))
    verdict="the writer ended by itself ($code): $(head -c 200 "$work/err")"
  fi
  if [ -z "$verdict" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "kill $n (after write $last): $verdict"
  fi
  ((n % 100 == 0)) && echo "settings_kill: $n kills, $((last + 1)) writes done, $failed failed"
done
echo "settings_kill: $((last + 1)) writes done; torn or unparseable files: $torn; lost keys: $lost;" \
  "other failures: $errors; leftover temporary files (removed): $leftovers"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
