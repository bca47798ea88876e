#!/usr/bin/env bash
# run-cli-bench.sh [RUNS]: the command-line tool against 7-Zip on the large generated help file
# (20,000 entries in about 100 folders), alternating the two RUNS times (default 5):
#   tarnwick-cli list   against 7zz l
#   tarnwick-cli unpack against 7zz x   (each into an empty folder)
# Prints each run, the medians, the ratios (target: at most 1.0) and the tool's peak memory
# (target: under 32 MB). Figures only: nothing here fails on them.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${1:-5}
fixtures=${TARNWICK_FIXTURES:-$repo/build/fixtures}
chm="$fixtures/large/large.chm"
cli="$repo/build/release/cli/tarnwick-cli"

bash "$repo/tests/fixtures/make-fixtures.sh" --large
if [ ! -f "$repo/build/release/build.ninja" ]; then
  bash "$repo/scripts/build.sh" release
fi
cmake --build "$repo/build/release" --target tarnwick-cli >/dev/null

# In memory, so that the figures are the programs' and not the disk's write-back.
scratch=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# timed OUT CMD...: wall seconds (to the millisecond; time's own figure has only hundredths) and
# peak resident kilobytes of CMD, appended to OUT.
timed() {
  local out=$1; shift
  local start end
  start=$(date +%s.%N)
  /usr/bin/time -f '%M' -o "$scratch/time" "$@" >/dev/null 2>"$scratch/stderr" ||
    { cat "$scratch/stderr" >&2; echo "run-cli-bench.sh: '$*' failed" >&2; exit 1; }
  end=$(date +%s.%N)
  echo "$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }') $(cat "$scratch/time")" >>"$out"
}

fresh() { rm -rf "$scratch/out"; mkdir "$scratch/out"; sync; }

echo "file: $chm ($(du -m "$chm" | cut -f1) MB), $("$cli" list "$chm" | wc -l) listed entries"
for i in $(seq "$runs"); do
  timed "$scratch/list-ours" "$cli" list "$chm"
  timed "$scratch/list-7zz" 7zz l "$chm"
  fresh; timed "$scratch/unpack-ours" "$cli" unpack "$chm" "$scratch/out"
  fresh; timed "$scratch/unpack-7zz" 7zz x -y "$chm" "-o$scratch/out"
  printf 'run %d: list %s s vs %s s | unpack %s s vs %s s\n' "$i" \
    "$(tail -1 "$scratch/list-ours" | cut -d' ' -f1)" "$(tail -1 "$scratch/list-7zz" | cut -d' ' -f1)" \
    "$(tail -1 "$scratch/unpack-ours" | cut -d' ' -f1)" "$(tail -1 "$scratch/unpack-7zz" | cut -d' ' -f1)"
done

median() { sort -n | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }
column_median() { cut -d' ' -f"$2" "$scratch/$1" | median; }
for what in list unpack; do
  awk -v w="$what" -v a="$(column_median "$what-ours" 1)" -v b="$(column_median "$what-7zz" 1)" \
      -v m="$(cut -d' ' -f2 "$scratch/$what-ours" | sort -n | tail -1)" 'BEGIN {
    printf "%-6s median: tarnwick-cli %.3f s, 7zz %.3f s, ratio %.2f (target <= 1.00); tool peak memory %.1f MB (target < 32 MB)\n",
      w, a, b, a / b, m / 1024 }'
done
