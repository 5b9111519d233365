#!/usr/bin/env bash
# Installs what is needed, builds the programs and runs the main job on the example library.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release -DKX_BUILD_TESTS=OFF >/dev/null
cmake --build --preset release
build/release/tools/pelm-cli/pelm-cli list examples/Example.KM2
