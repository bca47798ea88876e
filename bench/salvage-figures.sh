#!/usr/bin/env bash
# salvage-figures.sh [CLI] [FILE]: damages copies of a help file (cut at 50 to 99 % of its length,
# and 20 copies with one bit flipped at a seeded place) and counts, for 7zz x and for
# tarnwick-cli unpack, the listed entries each writes byte-identical to its own extraction of the
# intact file ("same"), those it writes with other bytes ("wrong"), and its exit code. 7zz's "#"
# and "$" streams are left out, as the tool lists them not. Figures only: nothing fails on them.
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cli=${1:-$repo/build/native/cli/tarnwick-cli}
chm=${2:-$repo/../shared/corpus/topics.classic.chm}
if [ $# -lt 2 ] && [ ! -f "$chm" ]; then
  # A clone without the sample files beside it: the generated fixture instead.
  bash "$repo/tests/fixtures/make-fixtures.sh" >/dev/null
  chm=$repo/build/fixtures/varied.chm
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

extract_7zz() { # file, folder: prints the exit code
    7zz x -y "$1" -o"$2" >"$2.log" 2>&1
    local code=$?
    find "$2" -depth \( -name '#*' -o -name '$*' \) -exec rm -rf {} + 2>/dev/null
    echo "$code"
}
extract_cli() {
    "$cli" unpack "$1" "$2" >"$2.log" 2>&1
    echo $?
}

# compare REFERENCE FOLDER: "same wrong" counts of FOLDER's files against REFERENCE's
compare() {
    local same=0 wrong=0
    while IFS= read -r -d '' f; do
        local rel=${f#"$2"/}
        if cmp -s "$f" "$1/$rel"; then same=$((same + 1)); else wrong=$((wrong + 1)); fi
    done < <(find "$2" -type f -print0 2>/dev/null)
    echo "$same $wrong"
}

mkdir -p "$work/ref"
extract_7zz "$chm" "$work/ref/7zz" >/dev/null
extract_cli "$chm" "$work/ref/cli" >/dev/null
listed=$(find "$work/ref/cli" -type f | wc -l)
size=$(stat -c %s "$chm")
echo "file: $chm ($size bytes, $listed listed entries)"
printf '%-22s %14s %14s\n' "copy" "7zz same/wrong(rc)" "tarnwick same/wrong(rc)"

run_copy() { # label, damaged file
    local d="$work/$1"
    mkdir -p "$d"
    local rc7 rcc
    rc7=$(extract_7zz "$2" "$d/7zz")
    rcc=$(extract_cli "$2" "$d/cli")
    read -r s7 w7 < <(compare "$work/ref/7zz" "$d/7zz")
    read -r sc wc < <(compare "$work/ref/cli" "$d/cli")
    printf '%-22s %10s(%s) %14s(%s)\n' "$1" "$s7/$w7" "$rc7" "$sc/$wc" "$rcc"
    rm -rf "$d"
}

for percent in 50 75 90 95 99; do
    head -c $((size * percent / 100)) "$chm" >"$work/cut.chm"
    run_copy "cut at $percent %" "$work/cut.chm"
done
for seed in $(seq 1 20); do
    python3 - "$chm" "$work/flip.chm" "$seed" <<'PY'
import random, sys
data = bytearray(open(sys.argv[1], 'rb').read())
rng = random.Random(int(sys.argv[3]))
at = rng.randrange(len(data))
data[at] ^= 1 << rng.randrange(8)
open(sys.argv[2], 'wb').write(data)
print(at, file=open(sys.argv[2] + '.at', 'w'))
PY
    run_copy "flip $seed @$(cat "$work/flip.chm.at")" "$work/flip.chm"
done
