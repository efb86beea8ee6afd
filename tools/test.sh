#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# Environment: BUILD_DIR (default <repo>/build), BUILD_TYPE (default RelWithDebInfo).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${BUILD_DIR:-$root/build}"

"$root/tools/install-deps.sh"
"$root/tools/build.sh" "$build_dir" "${BUILD_TYPE:-RelWithDebInfo}"
ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)"
