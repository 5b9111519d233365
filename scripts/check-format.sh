#!/usr/bin/env bash
# Fails when a C++ file differs from what the pinned .clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
bad=0
for f in "${files[@]}"; do
    if ! clang-format --style=file "$f" | cmp -s - "$f"; then
        echo "needs clang-format: $f"
        bad=1
    fi
done
exit $bad
