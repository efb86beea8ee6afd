#!/usr/bin/env bash
# Installs what is missing, then builds and runs the tests of the configurations named:
#   default  the normal build and every test (what runs when nothing is named)
#   asan     every test again, built with AddressSanitizer (its leak check included) and
#            UndefinedBehaviorSanitizer; the stress test is the leak check of long use
#   tsan     the core budget, driver, pool, stress, end-to-end and plug-in unloading tests, built with
#            ThreadSanitizer
#   fuzz     the libFuzzer target (clang, ASan + UBSan) over the stored corpus for FUZZ_SECONDS
#   all      the four, in this order
# Environment: BUILD_DIR (default <repo>/build; the others build beside it in BUILD_DIR-asan, -tsan and
# -fuzz), BUILD_TYPE (default RelWithDebInfo, for the normal build), JOBS (parallel jobs, default the
# number of cores), FUZZ_SECONDS (default 60).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${BUILD_DIR:-$root/build}"
jobs="${JOBS:-$(nproc)}"
export JOBS="$jobs"

# The sanitized builds need no full optimisation outside the kernels, which keep theirs (they are what
# the tests check): -O1 keeps the stacks readable and the builds short.
sanitized=(Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g" -DIMAGEMATH_BUILD_BENCH=OFF)

run_ctest() {
    ctest --test-dir "$1" --output-on-failure --parallel "$jobs" "${@:2}"
}

stage_default() {
    "$root/tools/build.sh" "$build_dir" "${BUILD_TYPE:-RelWithDebInfo}"
    run_ctest "$build_dir"
}

stage_asan() {
    "$root/tools/build.sh" "$build_dir-asan" "${sanitized[@]}" -DIMAGEMATH_SANITIZE=address,undefined
    ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
        UBSAN_OPTIONS=print_stacktrace=1 run_ctest "$build_dir-asan"
}

stage_tsan() {
    "$root/tools/build.sh" "$build_dir-tsan" "${sanitized[@]}" -DIMAGEMATH_SANITIZE=thread tests-threads
    # GCC's OpenMP runtime (libgomp) is not built with ThreadSanitizer, which therefore cannot see its
    # barriers and reports every kernel's team as a race. The kernels run with one OpenMP thread here; the
    # pool, the tasks it runs and everything they share are still checked, and the kernels' results do
    # not depend on the thread count (the other builds run them with full teams); the core budget's own
    # tests grant helpers to threads of their own. Only the tests with threads of their own are built and
    # run here.
    OMP_NUM_THREADS=1 TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
        run_ctest "$build_dir-tsan" --label-regex '^threads$'
}

stage_fuzz() {
    "$root/tools/build.sh" "$build_dir-fuzz" "${sanitized[@]}" -DCMAKE_CXX_COMPILER=clang++ \
        -DIMAGEMATH_BUILD_TESTS=OFF -DIMAGEMATH_SANITIZE=address,undefined -DIMAGEMATH_BUILD_FUZZER=ON \
        "-DIMAGEMATH_FUZZ_SECONDS=${FUZZ_SECONDS:-60}" imagemath_fuzzer
    run_ctest "$build_dir-fuzz"
}

stages=("$@")
if ((${#stages[@]} == 0)); then
    stages=(default)
elif [[ "${stages[*]}" == all ]]; then
    stages=(default asan tsan fuzz)
fi
for stage in "${stages[@]}"; do
    if ! declare -F "stage_$stage" >/dev/null; then
        echo "Unknown configuration '$stage': use default, asan, tsan, fuzz or all." >&2
        exit 2
    fi
done

"$root/tools/install-deps.sh"
# Nothing is printed after the last stage's test summary, which stays the output's closing line.
for stage in "${stages[@]}"; do
    echo "=== $stage: build and test ($SECONDS s since the start)"
    "stage_$stage"
done
