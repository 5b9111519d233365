#!/usr/bin/env bash
# Times "delvix-cli find" against "rg -F -c" on the benchmark corpus, warm cache, both on all
# cores, for a rare text (about one file in 50) and a common one (in every file, so every file
# is read into a document). Prints the median wall times, the ratios and the targets
# (rare <= 2x ripgrep, common <= 4x).
#
#   bench/search-vs-rg/compare.sh [CORPUS]       (default: /tmp/delvix-corpus, see make-corpus.sh)
#   environment: BUILD (release build folder; default build/search-rel), RUNS (default 7),
#                RARE, COMMON, FIND_OPTIONS (extra options for delvix-cli find)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
corpus=${1:-/tmp/delvix-corpus}
build=${BUILD:-$root/build/search-rel}
runs=${RUNS:-7}
rare=${RARE:-XQ-RARE-7781}
common=${COMMON:-GND}
cores=$(nproc)
cli=$build/tools/delvix-cli/delvix-cli
read -r -a find_options <<< "${FIND_OPTIONS:-}"

command -v rg >/dev/null || { echo "compare.sh: ripgrep (rg) is not installed" >&2; exit 2; }
[ -d "$corpus" ] || { echo "compare.sh: no corpus at $corpus; run make-corpus.sh" >&2; exit 2; }
if [ ! -x "$cli" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKX_BUILD_TESTS=OFF >/dev/null
    cmake --build "$build" --target delvix-cli -j "$cores"
fi

# Median wall time in seconds of RUNS runs of a command (output discarded).
median() {
    local times=() start end
    for ((i = 0; i < runs; i++)); do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1 || [ $? -eq 1 ]
        end=$(date +%s%N)
        times+=("$(( (end - start) / 1000 ))")
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END { printf "%.3f", t[int((NR + 1) / 2)] / 1e6 }'
}

echo "corpus: $corpus ($(find "$corpus" -type f | wc -l) files, $(du -sh "$corpus" | cut -f1)), $cores cores, $runs runs each"
echo "warming the cache..."
find "$corpus" -type f -print0 | xargs -0 cat >/dev/null
"$cli" find "${find_options[@]}" "$common" "$corpus" >/dev/null || true
rg -F -c "$common" "$corpus" >/dev/null || true

printf '\n%-8s %-14s %10s %10s %8s %8s  %s\n' search text delvix-s rg-s ratio target result
status=0
for kind in rare common; do
    text=$rare
    target=2
    if [ "$kind" = common ]; then text=$common; target=4; fi
    t_dx=$(median "$cli" find --jobs "$cores" "${find_options[@]}" "$text" "$corpus")
    t_rg=$(median rg --threads "$cores" -F -c "$text" "$corpus")
    ratio=$(awk -v a="$t_dx" -v b="$t_rg" 'BEGIN { printf "%.2f", a / b }')
    verdict=$(awk -v r="$ratio" -v t="$target" 'BEGIN { print (r <= t) ? "met" : "MISSED" }')
    [ "$verdict" = met ] || status=1
    printf '%-8s %-14s %10s %10s %7sx %7sx  %s\n' "$kind" "$text" "$t_dx" "$t_rg" "$ratio" "$target" "$verdict"
    hits=$("$cli" find "${find_options[@]}" "$text" "$corpus" | wc -l)
    files=$("$cli" find "${find_options[@]}" "$text" "$corpus" | cut -f1 | sort -u | wc -l)
    rg_files=$(rg -F -l --iglob '*.kx2' "$text" "$corpus" | wc -l)
    echo "         delvix-cli: $hits hits in $files files; rg: $rg_files .kx2 files hold the bytes"
done
exit $status
