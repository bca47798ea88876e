#!/usr/bin/env bash
# Installs what is missing, builds every build folder, then runs the native suite, the short fuzz
# runs, the storage tests under ThreadSanitizer, and the Windows suites under Wine: the 64-bit build, then the shipped 32-bit one. Fails if
# any test fails or a suite has no test at all; a machine that cannot run 32-bit programs reports
# the 32-bit suite as skipped, with the reason, in the summary, and so are counted and named the
# tests that a clone without the sample files beside it cannot run.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
started=$SECONDS

bash scripts/setup.sh
bash scripts/build.sh

# One virtual screen for the whole Windows suite: later window tests need one, and sharing it lets
# every test process reuse the same Wine desktop instead of each starting its own.
if [ -z "${DISPLAY:-}" ]; then
  TARNWICK_REPO=$repo
  source scripts/xvfb.sh
  tarnwick_xvfb_start
fi
TARNWICK_REPO=$repo
source scripts/wine-env.sh
finish() {
  # Let Wine's lingering processes (they hold the X connection) end before the X server goes.
  for arch in win64 win32; do
    (TARNWICK_WINE_ARCH=$arch; source scripts/wine-env.sh
     timeout 60 "$TARNWICK_WINESERVER" -w || "$TARNWICK_WINESERVER" -k) >/dev/null 2>&1 || true
  done
  if declare -F tarnwick_xvfb_stop >/dev/null; then tarnwick_xvfb_stop; fi
}
trap finish EXIT

# Created here rather than inside the first Windows test, whose time it would otherwise take.
bash scripts/wine-prefix.sh
runs_32bit=0
if tarnwick_runs_32bit; then
  runs_32bit=1
  TARNWICK_WINE_ARCH=win32 bash scripts/wine-prefix.sh
fi

summaries=()
passed=0
failed=0
skipped=0
status=0
for folder in native fuzz tsan win64 win32; do
  if [ "$folder" = win32 ] && [ "$runs_32bit" = 0 ]; then
    reason=$({ /usr/lib/wine/wine --version 2>&1 || true; } | tail -n 1 | sed -E 's/^.*: //')
    summaries+=("win32: SKIPPED, this machine cannot run 32-bit programs ($reason)")
    continue
  fi
  echo "== ctest build/$folder"
  log="build/ctest-$folder.log"
  rc=0
  ctest --test-dir "build/$folder" --output-on-failure --no-tests=error -j 2 2>&1 | tee "$log" || rc=$?
  [ "$rc" -eq 0 ] || status=1
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [ -n "$line" ]; then
    read -r fails total < <(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1 \2/' <<<"$line")
    # ctest counts a skipped test among those "out of" but not as failed.
    not_run=$(sed -n '/^The following tests did not run:/,/^$/p' "$log" | sed -nE 's/^\s+[0-9]+ - (\S+) \(Skipped\)$/\1/p')
    skips=$(grep -c . <<<"$not_run" || true)
    passed=$((passed + total - fails - skips))
    failed=$((failed + fails))
    skipped=$((skipped + skips))
    if [ "$skips" -gt 0 ]; then
      summaries+=("$folder: $line; $skips skipped: $(tr '\n' ' ' <<<"$not_run")")
    else
      summaries+=("$folder: $line")
    fi
  else
    summaries+=("$folder: ctest ran no test (exit code $rc)")
  fi
done

echo
echo "== summary (test.sh took $((SECONDS - started)) s)"
printf '%s\n' "${summaries[@]}"
echo "ctest: $passed passed, $failed failed, $skipped skipped"
exit "$status"
