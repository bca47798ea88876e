#!/usr/bin/env bash
# short-run.sh PROGRAM RUNS [--dict FILE] SEED_FOLDER...: a run of a fuzz target from its seeds with
# a fixed random seed and a fixed number of runs, so that it tries the same inputs every time. What
# it finds new goes to a scratch folder, never into the seeds.
set -euo pipefail
program=$1
runs=$2
shift 2
dict=()
if [ "${1:-}" = --dict ]; then
  dict=("-dict=$2")
  shift 2
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$program" -seed=1 -runs="$runs" "${dict[@]}" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
  "$scratch" "$@" 2>&1 | grep -vE '^#[0-9]+\s+(NEW|REDUCE|pulse)' || true
exit "${PIPESTATUS[0]}"
