#!/usr/bin/env bash
# run-window-bench.sh [RUNS]: opens the large generated help file (20,000 pages) in the real window
# under Wine RUNS times (default 5) and prints the time from the open command until the list is
# filled and "总共 N 个文件" shows; the target is under 0.5 s. Figures only: nothing here fails on them.
# The runs open the file from the recent-file list, so the program's settings key in the Wine prefix
# is cleared before and removed after.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${1:-5}
fixtures=${TARNWICK_FIXTURES:-$repo/build/fixtures}
chm="$fixtures/large/large.chm"

bash "$repo/tests/fixtures/make-fixtures.sh" --large
if [ ! -f "$repo/build/win64/build.ninja" ]; then
  bash "$repo/scripts/build.sh" win64
fi
cmake --build "$repo/build/win64" --target window_bench >/dev/null
echo "file: $chm ($(du -m "$chm" | cut -f1) MB)"
bash "$repo/scripts/wine-run.sh" "$repo/build/win64/bench/window/window_bench.exe" "Z:$chm" "$runs"
