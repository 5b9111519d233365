#!/usr/bin/env bash
# Installs what is needed, builds the programs and runs the main job on the example library.
# "run.sh delvix" starts the Delvix search window on the example schematics instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release -DKX_BUILD_TESTS=OFF >/dev/null
cmake --build --preset release
if [[ "${1:-}" == delvix ]]; then
    # The Delvix search window on the example schematics.
    exec build/release/delvix/app/delvix examples
fi
# The library editor on the example library; without a display, the library's list instead.
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
    exec build/release/pelm/app/pelm examples/Example.KM2
fi
echo "No display: listing the example library instead of opening it in pelm." >&2
build/release/tools/pelm-cli/pelm-cli list examples/Example.KM2
