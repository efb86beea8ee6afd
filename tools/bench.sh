#!/usr/bin/env bash
# Builds the benchmark in Release, in a build directory of its own, and runs it: every case, each
# against its bound measured in the same run, medians of 5 repetitions, then a table of the figures
# against the targets. Measure on a quiet machine: other load slows the compute-bound kernels more
# than their memory-bound bounds.
# Environment: BENCH_BUILD_DIR (default <repo>/build-bench). Arguments go to the benchmark, for example
# --benchmark_filter=u8_add or --benchmark_repetitions=9.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${BENCH_BUILD_DIR:-$root/build-bench}"

"$root/tools/install-deps.sh"
cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DIMAGEMATH_BUILD_TESTS=OFF >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)" --target imagemath_bench
"$build_dir/bin/imagemath_bench" --benchmark_counters_tabular=true "$@"
