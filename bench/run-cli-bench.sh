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

# timed OUT CMD...: wall seconds of CMD (to the millisecond), appended to OUT. The clock is the
# shell's own, read without starting a process, and nothing stands between the shell and CMD: a
# `date` on each side and /usr/bin/time in between added some 15 ms to both programs' figures,
# which pulled a short run's ratio towards 1. Peak memory is measured in runs of its own.
timed() {
  local out=$1; shift
  local start end
  start=$EPOCHREALTIME
  "$@" >/dev/null 2>"$scratch/stderr" || { cat "$scratch/stderr" >&2; echo "run-cli-bench.sh: '$*' failed" >&2; exit 1; }
  end=$EPOCHREALTIME
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }' >>"$out"
}

# peak OUT CMD...: peak resident kilobytes of CMD, written to OUT.
peak() {
  local out=$1; shift
  /usr/bin/time -f '%M' -o "$out" "$@" >/dev/null 2>"$scratch/stderr" ||
    { cat "$scratch/stderr" >&2; echo "run-cli-bench.sh: '$*' failed" >&2; exit 1; }
}

fresh() { rm -rf "$scratch/out"; mkdir "$scratch/out"; }

variants=(unpack)
if "$cli" --help | grep -q -- --threads; then variants=(unpack-1 unpack-2); fi

# measure HOW NAME: one run of the command NAME stands for, under HOW (timed or peak), into
# $scratch/NAME.HOW.
measure() {
  local how=$1 name=$2 out="$scratch/$2.$1"
  case "$name" in
    list-ours) "$how" "$out" "$cli" list "$chm" ;;
    list-7zz) "$how" "$out" 7zz l "$chm" ;;
    unpack-7zz) fresh; "$how" "$out" 7zz x -y "$chm" "-o$scratch/out" ;;
    unpack-ours) fresh; "$how" "$out" "$cli" unpack "$chm" "$scratch/out" ;;
    unpack-*-ours) local threads=${name#unpack-}; fresh; "$how" "$out" "$cli" unpack "$chm" "$scratch/out" --threads "${threads%-ours}" ;;
  esac
}
last() { tail -1 "$scratch/$1.timed"; }

echo "file: $chm ($(du -m "$chm" | cut -f1) MB), $("$cli" list "$chm" | wc -l) listed entries; load at start: $(cut -d' ' -f1-3 /proc/loadavg)"
for i in $(seq "$runs"); do
  measure timed list-ours
  measure timed list-7zz
  line="run $i: list $(last list-ours) s vs $(last list-7zz) s"
  measure timed unpack-7zz
  for variant in "${variants[@]}"; do
    measure timed "$variant-ours"
    line+=" | $variant $(last "$variant-ours") s"
  done
  echo "$line vs 7zz x $(last unpack-7zz) s"
done
for name in list-ours list-7zz unpack-7zz "${variants[@]/%/-ours}"; do measure peak "$name"; done

# report WHAT OURS THEIRS: the median of the per-run ratios and their spread, and both peaks.
report() {
  local what=$1 ours=$2 theirs=$3
  paste -d' ' "$scratch/$ours.timed" "$scratch/$theirs.timed" | awk '{ printf "%.3f\n", $1 / $2 }' | sort -n |
    awk -v w="$what" -v m="$(cat "$scratch/$ours.peak")" -v t="$(cat "$scratch/$theirs.peak")" '
    { v[NR] = $1 }
    END { med = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
          printf "%-9s ratio median %.2f (spread %.2f-%.2f over %d runs); peak memory %.1f MB, 7zz %.1f MB\n",
                 w, med, v[1], v[NR], NR, m / 1024, t / 1024 }'
}
report list list-ours list-7zz
for variant in "${variants[@]}"; do report "$variant" "$variant-ours" unpack-7zz; done
echo "load at end: $(cut -d' ' -f1-3 /proc/loadavg)"
fresh; "$repo/build/release/bench/unpack_frames" "$chm" "$scratch/out" | tail -n 1
