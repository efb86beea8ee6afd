#!/usr/bin/env bash
# Configures and builds the project. Usage: tools/build.sh [build-dir] [build-type] [target...]
# Defaults: <repo>/build, RelWithDebInfo and every target.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$root/build}"
build_type="${2:-RelWithDebInfo}"
shift $(($# < 2 ? $# : 2))

cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="$build_type"
targets=()
for target in "$@"; do
    targets+=(--target "$target")
done
cmake --build "$build_dir" --parallel "$(nproc)" "${targets[@]}"
