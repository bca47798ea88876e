#!/usr/bin/env bash
# run-read-bench.sh [RUNS]: reads every stream of the large generated help file through the storage
# component (bench/read_all, build/release) and, in the same run, extracts the same file with 7zz,
# alternating the two RUNS times (default 5). Prints each run's wall time and peak memory, then the
# medians and the ratio. The targets are: reading no slower than 7zz's whole extraction, and peak
# memory under 32 MB. Figures only: nothing here fails on them.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${1:-5}
fixtures=${TARNWICK_FIXTURES:-$repo/build/fixtures}
chm="$fixtures/large/large.chm"
build=${TARNWICK_RELEASE_BUILD:-$repo/build/release}
reader="$build/bench/read_all"

bash "$repo/tests/fixtures/make-fixtures.sh" --large
if [ ! -f "$build/build.ninja" ]; then
  bash "$repo/scripts/build.sh" release || true
fi
cmake --build "$build" --target read_all >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# timed OUT CMD...: wall seconds and peak resident kilobytes of CMD, appended to OUT.
timed() {
  local out=$1; shift
  /usr/bin/time -f '%e %M' -o "$scratch/time" "$@" >"$scratch/stdout" 2>"$scratch/stderr" ||
    { cat "$scratch/stderr" >&2; echo "run-read-bench.sh: '$*' failed" >&2; exit 1; }
  cat "$scratch/time" >>"$out"
}

echo "file: $chm ($(du -m "$chm" | cut -f1) MB compressed)"
for i in $(seq "$runs"); do
  timed "$scratch/ours" "$reader" "$chm"
  ours_line=$(cat "$scratch/stdout")
  rm -rf "$scratch/x"
  timed "$scratch/7zz" 7zz x -y "$chm" "-o$scratch/x"
  printf 'run %d: tarnwick %s s %s KB | 7zz %s s %s KB\n' "$i" \
    $(tail -1 "$scratch/ours") $(tail -1 "$scratch/7zz")
done

# What was read must be what 7zz wrote: the same number of files and bytes.
echo "$ours_line"
read_streams=$(sed -n 's/.*streams=\([0-9]*\).*/\1/p' <<<"$ours_line")
read_bytes=$(sed -n 's/.*bytes=\([0-9]*\).*/\1/p' <<<"$ours_line")
x_files=$(find "$scratch/x" -type f | wc -l)
x_bytes=$(find "$scratch/x" -type f -printf '%s\n' | awk '{s+=$1} END {printf "%d", s}')
echo "7zz extracted: files=$x_files bytes=$x_bytes"
if [ "$read_streams" != "$x_files" ] || [ "$read_bytes" != "$x_bytes" ]; then
  echo "run-read-bench.sh: the component read something other than what 7zz extracted" >&2
fi

median() { sort -n | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }
ours_s=$(cut -d' ' -f1 "$scratch/ours" | median)
ours_kb=$(cut -d' ' -f2 "$scratch/ours" | median)
x_s=$(cut -d' ' -f1 "$scratch/7zz" | median)
x_kb=$(cut -d' ' -f2 "$scratch/7zz" | median)
awk -v a="$ours_s" -v b="$x_s" -v am="$ours_kb" -v bm="$x_kb" 'BEGIN {
  printf "median wall: tarnwick %.2f s, 7zz %.2f s, ratio tarnwick/7zz %.2f (target <= 1.00)\n", a, b, a / b
  printf "median peak memory: tarnwick %.1f MB (target < 32 MB), 7zz %.1f MB\n", am / 1024, bm / 1024
}'
