#!/usr/bin/env bash
# run-unpack-bench.sh: unpacks every entry of the large generated help file (20,000 pages) with
# internal paths under Wine, first by the window's unpack run over its real list and then by the
# Windows command-line tool of the same build, and prints both times and their ratio; the target is
# a ratio of at most 1.2. The targets go to a fresh folder under /dev/shm when there is room (the
# same for both), so the disk does not decide. Figures only: nothing here fails on them.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
fixtures=${TARNWICK_FIXTURES:-$repo/build/fixtures}
chm="$fixtures/large/large.chm"

bash "$repo/tests/fixtures/make-fixtures.sh" --large
if [ ! -f "$repo/build/win64/build.ninja" ]; then
  bash "$repo/scripts/build.sh" win64
fi
cmake --build "$repo/build/win64" --target unpack_bench tarnwick-cli >/dev/null
parent=/dev/shm
[ -d "$parent" ] && [ "$(df --output=avail -k "$parent" | tail -1)" -gt 600000 ] || parent=$repo/build
target=$(mktemp -d "$parent/tarnwick-unpack-bench.XXXXXX")
trap 'rm -rf "$target"' EXIT
bash "$repo/scripts/wine-run.sh" "$repo/build/win64/bench/window/unpack_bench.exe" \
  "Z:$chm" "Z:$repo/build/win64/cli/tarnwick-cli.exe" "Z:$target"
