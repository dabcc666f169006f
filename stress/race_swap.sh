#!/usr/bin/env bash
# Race stress, natively: the removal walk empties and removes trees while a second thread
# keeps exchanging one of their sub-folders (a child of the top folder, and one two levels
# down) with a link to a canary folder outside the drive. It runs the race cases of the
# test binary with many more runs than `make test` does, and prints their figures.
#   race_swap.sh [TEST_BINARY]      (build/native/bin/trwk_tests by default)
# STRESS_ITERATIONS runs per case (10000), STRESS_SECONDS the time budget per case (1200).
# Everything happens in the test's own throwaway prefix.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../build/native/bin/trwk_tests}
[ -x "$bin" ] || { echo "race_swap.sh: no test binary at $bin (build the native preset first)" >&2; exit 2; }
export TRWK_RACE_ITERATIONS=${STRESS_ITERATIONS:-10000}
export TRWK_RACE_SECONDS=${STRESS_SECONDS:-1200}
echo "race_swap.sh: $TRWK_RACE_ITERATIONS runs per case, at most $TRWK_RACE_SECONDS s each"
start=$(date +%s)
"$bin" --gtest_filter='Swaps/RemovalRace.*' --gtest_brief=0
echo "race_swap.sh: done in $(($(date +%s) - start)) s"
