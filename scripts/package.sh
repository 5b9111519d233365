#!/usr/bin/env bash
# Builds the programs (optimised, no tests) and the Debian package, then checks the package:
# its file list, Depends and data files, the manual pages against --help, and lintian where it
# is installed. The package ends up in build/package/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset package >/dev/null
cmake --build --preset package -j "$(nproc)"
(cd build/package && cpack -G DEB)
ctest --test-dir build/package/packaging --output-on-failure
if command -v lintian >/dev/null; then
    # Errors fail the build; warnings are shown.
    lintian --fail-on error build/package/vennhald_*.deb
fi
ls build/package/vennhald_*.deb
