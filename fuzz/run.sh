#!/usr/bin/env bash
# Runs every fuzz target (or the ones named) for SECONDS each and prints, per target, the
# executions and the findings. libFuzzer runs in fork mode and goes on after a finding, and
# each promise breaks only once a run (TRWK_FUZZ_TOLD, see fuzz_main.cpp), so one run turns
# up every fault it meets; each is kept as build/fuzz/findings/<target>/crash-<sha1> and its
# broken promise is printed. New inputs collect in build/fuzz/corpus/<target>; one
# worth keeping goes into fuzz/corpus/<target>, which `make test` replays.
#   fuzz/run.sh SECONDS BUILD_DIR [TARGET...]
set -uo pipefail
seconds=${1:?usage: fuzz/run.sh SECONDS BUILD_DIR [TARGET...]}
build=${2:?usage: fuzz/run.sh SECONDS BUILD_DIR [TARGET...]}
shift 2
here=$(cd "$(dirname "$0")" && pwd)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(reg_file profile plugin_body plugin_header user_set keep_list prefs_filter rule_file)

total_findings=0
summary=()
for t in "${targets[@]}"; do
  exe=$build/bin/${t}_fuzz
  [ -x "$exe" ] || { echo "fuzz: $exe is not built" >&2; exit 2; }
  corpus=$build/corpus/$t findings=$build/findings/$t log=$build/$t.log
  mkdir -p "$corpus" "$findings"
  dict=()
  [ -f "$here/$t.dict" ] && dict=("-dict=$here/$t.dict")
  find "$findings" -name 'crash-*' | sort >"$build/$t.known"
  rm -f "$build/$t.told"
  echo "fuzz: $t for ${seconds}s"
  TRWK_FUZZ_TOLD=$build/$t.told "$exe" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 -max_total_time="$seconds" -max_len=4096 \
    -timeout=10 "${dict[@]}" -artifact_prefix="$findings/" "$corpus" "$here/corpus/$t" >"$log" 2>&1
  code=$?
  runs=$(grep -oE '^#[0-9]+' "$log" | tail -n 1 | tr -d '#')
  new=$(find "$findings" -name 'crash-*' | sort | comm -13 "$build/$t.known" -)
  found=$(printf '%s' "$new" | grep -c . || true)
  line="$t: ${runs:-0} executions, $found new finding(s)"
  [ "$code" = 0 ] || [ "$found" != 0 ] || line="$line (libFuzzer ended with $code, see $log)"
  summary+=("$line")
  # What the new findings broke, as their replays say, each promise once with one input.
  for f in $new; do
    out=$("$exe" "$f" 2>&1)
    why=$(grep -a -m 1 -E "^${t}_fuzz: |^SUMMARY" <<<"$out" || echo "(does not fail again)")
    echo "$why	$(basename "$f")"
  done | sort | awk -F '\t' '{ n[$1]++; if (!($1 in f)) f[$1] = $2 } END { for (w in n) printf "    %dx %s (e.g. %s)\n", n[w], w, f[w] }'
  total_findings=$((total_findings + found))
done
echo "fuzz: ${seconds}s per target"
printf '  %s\n' "${summary[@]}"
echo "fuzz: $total_findings new finding(s); inputs in $build/findings/<target>/ (replay: $build/bin/<target>_fuzz FILE)"
[ "$total_findings" = 0 ]
