#!/usr/bin/env bash
# run-sort-bench.sh: opens the large generated help file (20,000 pages) in the real window under Wine
# and sorts it by header clicks (names, sizes, both directions), printing each click's time; the
# target is under 1 s a click. Figures only: nothing here fails on them.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
fixtures=${TARNWICK_FIXTURES:-$repo/build/fixtures}
chm="$fixtures/large/large.chm"

bash "$repo/tests/fixtures/make-fixtures.sh" --large
if [ ! -f "$repo/build/win64/build.ninja" ]; then
  bash "$repo/scripts/build.sh" win64
fi
cmake --build "$repo/build/win64" --target sort_bench >/dev/null
bash "$repo/scripts/wine-run.sh" "$repo/build/win64/bench/window/sort_bench.exe" "Z:$chm"
