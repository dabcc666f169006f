#!/bin/sh
# Builds the benchmarks in an optimised native build of their own and runs them inside a
# temporary Wine prefix inside that build folder (the same disk as the build).
#   bench/run.sh [rounds] [files] [megabytes]      (BENCH_BUILD: build folder, build/bench)
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BENCH_BUILD:-$here/build/bench}
# GCC 12 warns falsely (-Wrestrict) about string code once it optimises.
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-Wno-restrict >/dev/null
cmake --build "$build" --target trwk_bench -j2
mkdir -p "$build/tmp"
TMPDIR=$build/tmp "$build/bin/trwk_bench" "${1:-3}" "${2:-100000}" "${3:-256}" "$here/data/ow.chx"
