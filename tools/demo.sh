#!/usr/bin/env bash
# Installs what is missing, builds the host tool, and runs its demo: the plug-in loaded into the
# stand-in host, computing on generated images. Extra arguments (KEY=VALUE) go to the demo.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${BUILD_DIR:-$root/build}"

"$root/tools/install-deps.sh"
# Configure only (the help target builds nothing), to learn whether the tool exists.
"$root/tools/build.sh" "$build_dir" "${BUILD_TYPE:-RelWithDebInfo}" help >/dev/null
if ! ninja -C "$build_dir" -t targets all | grep -q '^korvanta-host:'; then
    echo "The host tool (korvanta-host) does not exist yet: nothing to demonstrate."
    exit 0
fi
"$root/tools/build.sh" "$build_dir" "${BUILD_TYPE:-RelWithDebInfo}" korvanta-host
exec "$build_dir/bin/korvanta-host" demo "$@"
