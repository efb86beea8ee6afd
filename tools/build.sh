#!/usr/bin/env bash
# Configures and builds the project.
# Usage: tools/build.sh [build-dir] [build-type] [-DOPTION=VALUE...] [target...]
# Defaults: <repo>/build, RelWithDebInfo and every target. -D arguments go to the configure step.
# Environment: JOBS, the parallel build jobs (default: the number of cores).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$root/build}"
build_type="${2:-RelWithDebInfo}"
shift $(($# < 2 ? $# : 2))

options=()
targets=()
for argument in "$@"; do
    case "$argument" in
        -D*) options+=("$argument") ;;
        *) targets+=(--target "$argument") ;;
    esac
done

cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" "${options[@]}"
cmake --build "$build_dir" --parallel "${JOBS:-$(nproc)}" "${targets[@]}"
