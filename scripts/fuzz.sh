#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz") and runs each for SECONDS seconds, starting from
# its committed seeds in fuzz/corpus/<target>/ and the format dictionary fuzz/korvex.dict.
# Exits non-zero when any target finds a crash, a leak, a timeout or a broken property.
#
#   scripts/fuzz.sh SECONDS [TARGET...]
#
# Environment:
#   KX_FUZZ_JOBS   targets run at the same time (default: min(2, cores))
#   KX_FUZZ_KEEP=1 keep the work corpus of earlier runs (default: start from the seeds)
#   KX_FUZZ_ARGS   extra libFuzzer arguments for every target
#   KX_FUZZ_WORK   work folder (default: build/fuzz-work)
#   KX_FUZZ_BIN    folder holding ready fuzz_<target> binaries: no build (for long runs from a
#                  copy while the tree goes on changing)
#
# Work folders (corpus, log, crash inputs): build/fuzz-work/<target>/. The committed seeds are
# only read. Extra per-target libFuzzer arguments live in fuzz/<target>/options, one per line.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

if [ $# -lt 1 ] || ! [[ $1 =~ ^[0-9]+$ ]]; then
    echo "usage: $0 SECONDS [TARGET...]" >&2
    exit 2
fi
seconds=$1
shift

cores=$(nproc)
jobs=${KX_FUZZ_JOBS:-$((cores < 2 ? cores : 2))}
build=build/fuzz
work=${KX_FUZZ_WORK:-$root/build/fuzz-work}

if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for f in fuzz/*/CMakeLists.txt; do
        [ -e "$f" ] || continue
        targets+=("$(basename "$(dirname "$f")")")
    done
fi
if [ ${#targets[@]} -eq 0 ]; then
    echo "no fuzz targets"
    exit 0
fi

binary() {
    if [ -n "${KX_FUZZ_BIN:-}" ]; then
        echo "$KX_FUZZ_BIN/fuzz_$1"
    else
        echo "$root/$build/fuzz/$1/fuzz_$1"
    fi
}

if [ -z "${KX_FUZZ_BIN:-}" ]; then
    echo "== building fuzz targets"
    cmake --preset fuzz >/dev/null
    build_targets=()
    for t in "${targets[@]}"; do build_targets+=("fuzz_$t"); done
    cmake --build --preset fuzz -j "$cores" --target "${build_targets[@]}"
fi

# UBSan findings abort (the libraries are built with recoverable checks); leaks are reported.
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:abort_on_error=1:print_stacktrace=1}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}

run_target() {
    local t=$1 dir=$work/$1
    local bin
    bin=$(binary "$t")
    if [ "${KX_FUZZ_KEEP:-0}" != 1 ]; then
        rm -rf "$dir"
    fi
    mkdir -p "$dir/corpus" "$dir/artifacts"
    if [ -d "fuzz/corpus/$t" ]; then
        cp -r "fuzz/corpus/$t/." "$dir/corpus/"
    fi
    local extra=()
    if [ -f "fuzz/$t/options" ]; then
        mapfile -t extra < <(grep -v '^\s*\(#\|$\)' "fuzz/$t/options")
    fi
    # shellcheck disable=SC2086
    "$bin" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2560 -print_final_stats=1 \
        -dict="$root/fuzz/korvex.dict" -artifact_prefix="$dir/artifacts/" \
        "${extra[@]}" ${KX_FUZZ_ARGS:-} "$dir/corpus" >"$dir/log" 2>&1 && rc=0 || rc=$?
    echo "$rc" >"$dir/rc"
}

summary() {
    local t=$1 rc=$2 log=$work/$1/log
    local execs cov ft
    # A run that died at once has none of these lines.
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1 || true)
    cov=$(grep -ao 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2 || true)
    ft=$(grep -ao 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2 || true)
    local status=ok
    [ "$rc" -eq 0 ] || status="FAILED (exit $rc)"
    printf '%-16s execs %-10s cov %-6s ft %-7s %s\n' "$t" "${execs:-?}" "${cov:-?}" "${ft:-?}" \
        "$status"
}

echo "== fuzzing ${#targets[@]} target(s) for ${seconds}s each, $jobs at a time"
declare -A rc_of
for t in "${targets[@]}"; do
    rm -f "$work/$t/rc"
    if [ ! -x "$(binary "$t")" ]; then
        echo "missing binary for $t" >&2
        continue
    fi
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
        wait -n || true
    done
    run_target "$t" &
done
wait

failed=0
for t in "${targets[@]}"; do
    rc=$(cat "$work/$t/rc" 2>/dev/null || echo 127)
    rc_of[$t]=$rc
    if [ -f "$work/$t/log" ]; then
        summary "$t" "$rc"
    else
        printf '%-16s FAILED (exit %s)\n' "$t" "$rc"
    fi
    [ "$rc" -eq 0 ] || failed=1
done

if [ $failed -ne 0 ]; then
    for t in "${targets[@]}"; do
        [ "${rc_of[$t]}" -eq 0 ] && continue
        echo
        echo "== $t failed; end of $work/$t/log:"
        tail -n 60 "$work/$t/log" 2>/dev/null || true
        ls "$work/$t/artifacts/" 2>/dev/null | sed "s|^|   crash input: $work/$t/artifacts/|" || true
    done
    exit 1
fi
