#!/usr/bin/env bash
# run-export-bench.sh [RUNS] [FILE.chm]: export to a site and to Markdown against archmage's
# extraction to a site, alternating them RUNS times (default 5), output in memory (/dev/shm).
# FILE defaults to lcl.chm, fetched as run-cli-bench.sh fetches it. Prints each run's seconds and
# the medians with peak memory. Figures only: nothing here fails on them. Targets: site <= 1.5 s
# and 32 MB, md <= 2 s, on two cores. Then one run of each on a Chinese file whose 8 MB index names
# three pages (bench/chinese_index.py), where a cost that grows with a page's keywords shows.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${1:-5}
chm=${2:-${XDG_CACHE_HOME:-$HOME/.cache}/tarnwick/lcl.chm}
cli="$repo/build/release/cli/tarnwick-cli"

[ -f "$chm" ] || bash "$repo/bench/run-cli-bench.sh" 1 >/dev/null # fetches lcl.chm
if ! command -v archmage >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends archmage >/dev/null
fi
if [ ! -f "$repo/build/release/build.ninja" ]; then bash "$repo/scripts/build.sh" release; fi
cmake --build "$repo/build/release" --target tarnwick-cli >/dev/null

scratch=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# measure NAME CMD...: wall seconds (the shell's own clock) of CMD into an empty folder, appended
# to $scratch/NAME; its peak resident kilobytes kept, the largest, in $scratch/NAME.peak.
measure() {
  local name=$1; shift
  rm -rf "$scratch/out"
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>"$scratch/stderr" || [ $? -eq 3 ] || { cat "$scratch/stderr" >&2; exit 1; }
  local end=$EPOCHREALTIME
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }' >>"$scratch/$name"
}
peak() {
  local name=$1; shift
  rm -rf "$scratch/out"
  /usr/bin/time -f '%M' -o "$scratch/$name.peak" "$@" >/dev/null 2>&1 || true
}

echo "file: $chm ($(du -m "$chm" | cut -f1) MB); $(nproc) cores; load at start: $(cut -d' ' -f1-3 /proc/loadavg)"
for i in $(seq "$runs"); do
  measure site "$cli" export "$chm" "$scratch/out"
  measure md "$cli" export "$chm" "$scratch/out" --format md
  measure archmage archmage -x "$chm" "$scratch/out"
  echo "run $i: site $(tail -1 "$scratch/site") s | md $(tail -1 "$scratch/md") s | archmage -x $(tail -1 "$scratch/archmage") s"
done
peak site "$cli" export "$chm" "$scratch/out"
peak md "$cli" export "$chm" "$scratch/out" --format md
peak archmage archmage -x "$chm" "$scratch/out"
for name in site md archmage; do
  sort -n "$scratch/$name" | awk -v n="$name" -v m="$(cat "$scratch/$name.peak")" '
    { v[NR] = $1 }
    END { med = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
          printf "%-9s median %.2f s (spread %.2f-%.2f over %d runs); peak memory %.1f MB\n", n, med, v[1], v[NR], NR, m / 1024 }'
done

zh="${XDG_CACHE_HOME:-$HOME/.cache}/tarnwick/zh-index"
if [ ! -f "$zh/zh-index.chm" ]; then
  python3 "$repo/bench/chinese_index.py" "$zh"
  (cd "$zh" && chmcmd --no-html-scan project.hhp >/dev/null 2>&1)
fi
for format in site md; do
  rm -rf "$scratch/out"
  /usr/bin/time -f "%e %M" -o "$scratch/zh" "$cli" export "$zh/zh-index.chm" "$scratch/out" --format "$format" >/dev/null || [ $? -eq 3 ]
  read -r seconds kilobytes <"$scratch/zh"
  awk -v f="$format" -v s="$seconds" -v k="$kilobytes" 'BEGIN { printf "zh-index %-4s %.2f s; peak memory %.1f MB\n", f, s, k / 1024 }'
done
