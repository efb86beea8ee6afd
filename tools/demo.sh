#!/usr/bin/env bash
# Installs what is missing, builds the host tool, and runs its demo: the plug-in loaded into the
# stand-in host, computing on generated images. Extra arguments (KEY=VALUE) go to the demo.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${BUILD_DIR:-$root/build}"

"$root/tools/install-deps.sh"
"$root/tools/build.sh" "$build_dir" "${BUILD_TYPE:-RelWithDebInfo}" korvanta-host ImageMath
exec "$build_dir/bin/korvanta-host" demo "$@"
