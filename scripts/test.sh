#!/usr/bin/env bash
# Installs what is missing, builds every build folder, then runs the native and the Windows (Wine)
# test suites. Fails if any test fails or if either suite has no test at all.
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
finish() {
  # Let Wine's lingering processes (they hold the X connection) end before the X server goes.
  (TARNWICK_REPO=$repo; source scripts/wine-env.sh
   timeout 60 "$TARNWICK_WINESERVER" -w || "$TARNWICK_WINESERVER" -k) >/dev/null 2>&1 || true
  if declare -F tarnwick_xvfb_stop >/dev/null; then tarnwick_xvfb_stop; fi
}
trap finish EXIT

# Created here rather than inside the first Windows test, whose time it would otherwise take.
bash scripts/wine-prefix.sh

summaries=()
passed=0
failed=0
status=0
for folder in native fuzz win64; do
  echo "== ctest build/$folder"
  log="build/ctest-$folder.log"
  rc=0
  ctest --test-dir "build/$folder" --output-on-failure --no-tests=error -j 2 2>&1 | tee "$log" || rc=$?
  [ "$rc" -eq 0 ] || status=1
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [ -n "$line" ]; then
    read -r fails total < <(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1 \2/' <<<"$line")
    passed=$((passed + total - fails))
    failed=$((failed + fails))
    summaries+=("$folder: $line")
  else
    summaries+=("$folder: ctest ran no test (exit code $rc)")
  fi
done

echo
echo "== summary (test.sh took $((SECONDS - started)) s)"
printf '%s\n' "${summaries[@]}"
echo "ctest: $passed passed, $failed failed"
exit "$status"
