#!/usr/bin/env bash
# Installs what is needed, then builds and runs the whole test suite: once with warnings as
# errors, once under AddressSanitizer + UndefinedBehaviorSanitizer, and the search engine under
# ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

echo "== formatting (clang-format, pinned .clang-format)"
scripts/check-format.sh

echo "== build and test (warnings as errors)"
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$jobs"
# The Debian package of this build, checked by the package.deb test (scripts/package.sh makes
# the optimised one).
(cd build/dev && cpack -G DEB >/dev/null)
ctest --preset dev -j "$jobs"

echo "== build and test under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

if [ -d delvix/app/engine/tests ] && ls delvix/app/engine/tests/*.cpp >/dev/null 2>&1; then
    echo "== search engine under ThreadSanitizer"
    cmake --preset tsan >/dev/null
    cmake --build --preset tsan -j "$jobs" --target test_kx_search
    ctest --preset tsan -R '^kx_search$'
fi

if [ -x scripts/fuzz.sh ] && ls fuzz/*/CMakeLists.txt >/dev/null 2>&1; then
    echo "== short fuzzing pass"
    scripts/fuzz.sh 20
fi
