#!/usr/bin/env bash
# Checks that two delvix-cli builds print the same: "find" over each FOLDER with many option
# sets (standard output, standard error and exit status byte for byte), and "dump" of every
# schematic file in them. Used to show that speed work changed nothing a user sees.
#
#   bench/search-vs-rg/same-output.sh OLD_CLI NEW_CLI FOLDER...
#   environment: MUTATE=DIR makes DIR a copy of the first FOLDER's first 1500 schematic files
#                with random byte edits (seeded) and checks it too.
#
# The old build's find output is first given the current escaping (every byte below 0x20 and
# 0x7F as %XX; builds before it escaped only TAB, LF, CR and %), a no-op for current builds.
set -euo pipefail
[ $# -ge 3 ] || { sed -n '2,9p' "$0" >&2; exit 2; }
old=$1
new=$2
shift 2
folders=("$@")

if [ -n "${MUTATE:-}" ]; then
    case "$MUTATE" in /tmp/*|*/build/*) ;; *) echo "MUTATE must be under /tmp or build/" >&2; exit 2 ;; esac
    rm -rf "$MUTATE"
    python3 - "${folders[0]}" "$MUTATE" <<'PY'
import os, random, sys
src, dst = sys.argv[1], sys.argv[2]
rng = random.Random(20261209)
edits = [b",", b"\r\n", b"%", b"-", b"+", b":", b"%0", b"%00", b"+X,", b"-LABEL,", b",,", b"\x00"]
files = sorted(os.path.join(d, f) for d, _, fs in os.walk(src) for f in fs
               if f.lower().endswith(".kx2"))[:1500]
for i, path in enumerate(files):
    data = bytearray(open(path, "rb").read())
    for _ in range(rng.randint(0 if i % 4 == 0 else 1, 4)):
        if not data:
            break
        at = rng.randrange(len(data))
        kind = rng.randrange(4)
        if kind == 0:
            data[at:at] = rng.choice(edits)
        elif kind == 1:
            del data[at:at + rng.randint(1, 12)]
        elif kind == 2:
            data[at] = rng.randrange(256)
        else:
            data[at:at] = data[rng.randrange(len(data)):][:rng.randint(1, 200)]
    out = os.path.join(dst, os.path.relpath(path, src))
    os.makedirs(os.path.dirname(out), exist_ok=True)
    open(out, "wb").write(data)
print(f"mutated copies of {len(files)} files in {dst}")
PY
    folders+=("$MUTATE")
fi

option_sets=(
    "GND"
    "XQ-RARE-7781"
    "--partial GND"
    "--ignore-case gnd"
    "--partial --ignore-case gnd"
    "--partial --ignore-case --no-prefilter gnd"
    "--partial U"
    "--partial --case R1"
    "--partial a"
    "--partial --ignore-case A"
    "--partial %"
    "--partial -- -"
    "--partial --ignore-case -- -5v"
    "--partial :"
    "--partial 1"
    "--partial --targets tag,label GND"
    "--partial --targets ref,value U"
    "--partial --targets lib,mfr,mfrpn K"
    "--partial --targets pkg,note S"
    "--partial --targets comment e"
    "--partial --targets all --no-subfolders GND"
    "--no-subfolders --partial a"
    "--jobs 1 --partial GND"
    "--jobs 3 --partial --ignore-case vcc"
    "--encoding Shift_JIS --partial a"
    "--encoding Shift_JIS --partial --ignore-case B"
    "--encoding UTF-8 --whole VCC"
    "--whole --ignore-case XQ-RARE-7781"
    "--partial --ignore-case xq-rare"
    "--partial --no-prefilter XQ-RARE"
    "--partial --targets note Pin"
    "--partial --targets value,ref 10"
    "--partial --ignore-case --targets label,tag sig"
    "--partial Kestrel%20Micro"
    "--ignore-case --targets mfr kestrel%20micro"
    "--partial ,"
    "--partial --ignore-case o,m"
    "--partial --ignore-case G"
    "--partial 7781"
    "--partial --ignore-case e-7"
    "--partial --ignore-case %2c"
)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
differ=0
runs=0
for folder in "${folders[@]}"; do
    for set in "${option_sets[@]}"; do
        read -r -a args <<< "$set"
        for cli in old new; do
            bin=$old
            [ "$cli" = new ] && bin=$new
            rc=0
            "$bin" find "${args[@]}" "$folder" >"$work/$cli.out" 2>"$work/$cli.err" || rc=$?
            echo "$rc" >"$work/$cli.rc"
        done
        for part in out err; do
            perl -pe 's/([\x00-\x08\x0b\x0c\x0e-\x1f\x7f])/sprintf("%%%02X", ord($1))/ge' \
                <"$work/old.$part" >"$work/old.$part.escaped"
            mv "$work/old.$part.escaped" "$work/old.$part"
        done
        runs=$((runs + 1))
        for part in out err rc; do
            if ! cmp -s "$work/old.$part" "$work/new.$part"; then
                echo "DIFFERENT ($part): find $set $folder" >&2
                differ=$((differ + 1))
            fi
        done
    done
    while IFS= read -r -d '' file; do
        for cli in old new; do
            bin=$old
            [ "$cli" = new ] && bin=$new
            rc=0
            "$bin" dump "$file" >"$work/$cli.out" 2>"$work/$cli.err" || rc=$?
            echo "$rc" >>"$work/$cli.out"
        done
        runs=$((runs + 1))
        if ! cmp -s "$work/old.out" "$work/new.out" || ! cmp -s "$work/old.err" "$work/new.err"; then
            echo "DIFFERENT: dump $file" >&2
            differ=$((differ + 1))
        fi
    done < <(find "$folder" -iname '*.kx2' -type f -print0 | sort -z | head -z -n 300)
done
echo "${#option_sets[@]} find option sets and up to 300 dumps per folder, ${#folders[@]} folders: $runs runs, $differ differences"
[ "$differ" -eq 0 ]
