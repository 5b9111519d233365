#!/usr/bin/env bash
# Times "delvix-cli find" against "rg -F -c" on the benchmark corpus, warm cache, both on all
# cores, for a rare text (about one file in 50) and a common one (in every file, so every file
# is read into a document). Prints the median wall times, the ratios and the targets
# (rare <= 1.3x ripgrep's wall time, common <= 2x), plus CPU times, which other load on the
# machine hardly changes.
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
[ -x /usr/bin/time ] || { echo "compare.sh: GNU time (/usr/bin/time) is not installed" >&2; exit 2; }
[ -d "$corpus" ] || { echo "compare.sh: no corpus at $corpus; run make-corpus.sh" >&2; exit 2; }
if [ ! -x "$cli" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKX_BUILD_TESTS=OFF >/dev/null
    cmake --build "$build" --target delvix-cli -j "$cores"
fi

# Median wall time and median CPU time (user + system, all threads) in seconds of RUNS runs
# of a command, output discarded. CPU time hardly depends on other load on the machine.
measure() {
    local walls=() cpus=() out
    out=$(mktemp)
    for ((i = 0; i < runs; i++)); do
        /usr/bin/time -f '%e %U %S' -o "$out" "$@" >/dev/null 2>&1 || true
        read -r wall user sys < <(tail -n 1 "$out")
        walls+=("$wall")
        cpus+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')")
    done
    rm -f "$out"
    printf '%s %s\n' "$(printf '%s\n' "${walls[@]}" | sort -g | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }')" \
        "$(printf '%s\n' "${cpus[@]}" | sort -g | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }')"
}

echo "corpus: $corpus ($(find "$corpus" -type f | wc -l) files, $(du -sh "$corpus" | cut -f1)), $cores cores, $runs runs each"
echo "warming the cache..."
find "$corpus" -type f -print0 | xargs -0 cat >/dev/null
"$cli" find "${find_options[@]}" "$common" "$corpus" >/dev/null || true
rg -F -c "$common" "$corpus" >/dev/null || true

printf '\n%-7s %-13s %9s %9s %7s %6s %9s %9s %7s  %s\n' search text delvix-s rg-s ratio target \
    delvix-cpu rg-cpu ratio "wall-time target"
status=0
for kind in rare common; do
    text=$rare
    target=1.3
    if [ "$kind" = common ]; then text=$common; target=2; fi
    read -r dx_wall dx_cpu < <(measure "$cli" find --jobs "$cores" "${find_options[@]}" "$text" "$corpus")
    read -r rg_wall rg_cpu < <(measure rg --threads "$cores" -F -c "$text" "$corpus")
    ratio=$(awk -v a="$dx_wall" -v b="$rg_wall" 'BEGIN { printf "%.2f", a / b }')
    cpu_ratio=$(awk -v a="$dx_cpu" -v b="$rg_cpu" 'BEGIN { printf "%.2f", a / b }')
    verdict=$(awk -v r="$ratio" -v t="$target" 'BEGIN { print (r <= t) ? "met" : "MISSED" }')
    [ "$verdict" = met ] || status=1
    printf '%-7s %-13s %9s %9s %6sx %5sx %9s %9s %6sx  %s\n' "$kind" "$text" "$dx_wall" "$rg_wall" \
        "$ratio" "$target" "$dx_cpu" "$rg_cpu" "$cpu_ratio" "$verdict"
    hits=$("$cli" find "${find_options[@]}" "$text" "$corpus" | wc -l)
    files=$("$cli" find "${find_options[@]}" "$text" "$corpus" | cut -f1 | sort -u | wc -l)
    rg_files=$(rg -F -l --iglob '*.kx2' "$text" "$corpus" | wc -l)
    echo "        delvix-cli: $hits hits in $files files; rg: $rg_files .kx2 files hold the bytes"
done
exit $status
