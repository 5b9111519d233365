#!/usr/bin/env bash
# Writes the search benchmark corpus: FILES schematic files (default 20000) of MB MiB in total
# (default 500) in nested folders, the rare text in about one file in 50, the common text in
# every file. The corpus is generated, never committed.
#
#   bench/search-vs-rg/make-corpus.sh [DIR]      (default: /tmp/delvix-corpus)
#   environment: BUILD (a build folder with gen-schematic; default build/search-rel),
#                FILES, MB, RARE, COMMON, SEED
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
dir=${1:-/tmp/delvix-corpus}
build=${BUILD:-$root/build/search-rel}
gen=$build/bench/gen-schematic/gen-schematic

if [ ! -x "$gen" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKX_BUILD_TESTS=OFF >/dev/null
    cmake --build "$build" --target gen-schematic -j "$(nproc)"
fi
case "$dir" in
    "$root"/build/*|/tmp/*) ;;
    *) echo "make-corpus.sh: put the corpus under $root/build/ or /tmp, not $dir" >&2; exit 2 ;;
esac
rm -rf "$dir"
"$gen" corpus "$dir" --files "${FILES:-20000}" --mb "${MB:-500}" \
    --rare "${RARE:-XQ-RARE-7781}" --common "${COMMON:-GND}" --seed "${SEED:-1}"
du -sh "$dir"
