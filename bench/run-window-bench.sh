#!/usr/bin/env bash
# run-window-bench.sh [fill [RUNS] | sort | unpack]: measures the real window under Wine on the large
# generated help file (20,000 pages). Figures only: nothing here fails on them.
#   fill (default): opens the file RUNS times (default 5) and prints the time from the open command
#     until the list is filled and "总共 N 个文件" shows; target under 0.5 s. The runs open the file
#     from the recent-file list, so the program's settings key in the prefix is cleared and removed.
#   sort: header clicks sorting the rows by name and by size, both directions (target under 1 s
#     each), then select all.
#   unpack: the window's unpack run of every row with internal paths, then `tarnwick-cli.exe unpack`
#     of the same build, into a fresh folder under /dev/shm when there is room (the disk must not
#     decide), with both times and their ratio; target at most 1.2.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
fixtures=${TARNWICK_FIXTURES:-$repo/build/fixtures}
# TARNWICK_BENCH_CHM: another help file instead (lcl.chm, whose data order is not its directory's).
chm=${TARNWICK_BENCH_CHM:-$fixtures/large/large.chm}
what=${1:-fill}
benches="$repo/build/win64/bench/window"

bash "$repo/tests/fixtures/make-fixtures.sh" --large
if [ ! -f "$repo/build/win64/build.ninja" ]; then
  bash "$repo/scripts/build.sh" win64
fi

case "$what" in
  fill)
    cmake --build "$repo/build/win64" --target window_bench >/dev/null
    echo "file: $chm ($(du -m "$chm" | cut -f1) MB)"
    bash "$repo/scripts/wine-run.sh" "$benches/window_bench.exe" "Z:$chm" "${2:-5}"
    ;;
  sort)
    cmake --build "$repo/build/win64" --target sort_bench >/dev/null
    bash "$repo/scripts/wine-run.sh" "$benches/sort_bench.exe" "Z:$chm"
    ;;
  unpack)
    cmake --build "$repo/build/win64" --target unpack_bench tarnwick-cli >/dev/null
    parent=/dev/shm
    if [ ! -d "$parent" ] || [ "$(df --output=avail -k "$parent" | tail -1)" -lt 600000 ]; then
      parent=$repo/build
    fi
    target=$(mktemp -d "$parent/tarnwick-unpack-bench.XXXXXX")
    trap 'rm -rf "$target"' EXIT
    bash "$repo/scripts/wine-run.sh" "$benches/unpack_bench.exe" \
      "Z:$chm" "Z:$repo/build/win64/cli/tarnwick-cli.exe" "Z:$target"
    ;;
  *)
    echo "usage: run-window-bench.sh [fill [RUNS] | sort | unpack]" >&2
    exit 2
    ;;
esac
