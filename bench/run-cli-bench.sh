#!/usr/bin/env bash
# run-cli-bench.sh [RUNS] [FILE.chm]: the command-line tool against 7-Zip, alternating the two RUNS
# times (default 7), output in memory (/dev/shm):
#   tarnwick-cli list   against 7zz l
#   tarnwick-cli unpack against 7zz x   (each into an empty folder; with --threads 1 and 2 when the
#                                        tool has the option)
# FILE defaults to lcl.chm of Debian's lazarus-doc-2.2, a real help file whose directory order is
# not its data order; it is downloaded once into ~/.cache/tarnwick, outside the repository.
# Prints the median of the per-run ratios with their spread, the tool's peak memory, the load at the
# start, and the LZX frames the unpack decoded against the section's. Figures only: nothing here
# fails on them. Targets: list <= 0.8x, unpack <= 0.75x (one thread), peak memory <= 8 MB.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${1:-7}
chm=${2:-}
cli="$repo/build/release/cli/tarnwick-cli"

if [ -z "$chm" ]; then
  cache="${XDG_CACHE_HOME:-$HOME/.cache}/tarnwick"
  chm="$cache/lcl.chm"
  if [ ! -f "$chm" ]; then
    mkdir -p "$cache/deb"
    (cd "$cache/deb" && apt-get download lazarus-doc-2.2 >/dev/null && dpkg-deb -x lazarus-doc-2.2_*.deb x)
    cp "$(find "$cache/deb/x" -name lcl.chm | head -n 1)" "$chm"
    rm -rf "$cache/deb"
  fi
fi
if [ ! -f "$repo/build/release/build.ninja" ]; then
  bash "$repo/scripts/build.sh" release
fi
cmake --build "$repo/build/release" --target tarnwick-cli unpack_frames >/dev/null

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

fresh() { rm -rf "$scratch/out"; mkdir "$scratch/out"; }

variants=(unpack)
if "$cli" --help | grep -q -- --threads; then variants=(unpack-1 unpack-2); fi
unpack_ours() {
  case "$1" in
    unpack) timed "$scratch/unpack-ours" "$cli" unpack "$chm" "$scratch/out" ;;
    unpack-*) timed "$scratch/$1-ours" "$cli" unpack "$chm" "$scratch/out" --threads "${1#unpack-}" ;;
  esac
}

echo "file: $chm ($(du -m "$chm" | cut -f1) MB), $("$cli" list "$chm" | wc -l) listed entries; load at start: $(cut -d' ' -f1-3 /proc/loadavg)"
for i in $(seq "$runs"); do
  timed "$scratch/list-ours" "$cli" list "$chm"
  timed "$scratch/list-7zz" 7zz l "$chm"
  line="run $i: list $(tail -1 "$scratch/list-ours" | cut -d' ' -f1) s vs $(tail -1 "$scratch/list-7zz" | cut -d' ' -f1) s"
  fresh; timed "$scratch/unpack-7zz" 7zz x -y "$chm" "-o$scratch/out"
  for variant in "${variants[@]}"; do
    fresh; unpack_ours "$variant"
    line+=" | $variant $(tail -1 "$scratch/$variant-ours" | cut -d' ' -f1) s"
  done
  echo "$line vs 7zz x $(tail -1 "$scratch/unpack-7zz" | cut -d' ' -f1) s"
done

# ratios OURS THEIRS: the per-run ratios, sorted.
ratios() { paste -d' ' <(cut -d' ' -f1 "$scratch/$1") <(cut -d' ' -f1 "$scratch/$2") | awk '{ printf "%.3f\n", $1 / $2 }' | sort -n; }
report() {
  local what=$1 ours=$2 theirs=$3
  ratios "$ours" "$theirs" | awk -v w="$what" -v m="$(cut -d' ' -f2 "$scratch/$ours" | sort -n | tail -1)" \
      -v t="$(cut -d' ' -f2 "$scratch/$theirs" | sort -n | tail -1)" '
    { v[NR] = $1 }
    END { med = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
          printf "%-9s ratio median %.2f (spread %.2f-%.2f over %d runs); peak memory %.1f MB, 7zz %.1f MB\n",
                 w, med, v[1], v[NR], NR, m / 1024, t / 1024 }'
}
report list list-ours list-7zz
for variant in "${variants[@]}"; do report "$variant" "$variant-ours" unpack-7zz; done
echo "load at end: $(cut -d' ' -f1-3 /proc/loadavg)"
fresh; "$repo/build/release/bench/unpack_frames" "$chm" "$scratch/out" | tail -n 1
