#!/usr/bin/env bash
# replay-cli.sh TARNWICK_CLI FOLDER...: lists, unpacks and describes (info) every help file in the
# folders with the command-line tool. Each may fail to open or lose entries (exit 1 or 3), but never
# crash, hang, or make a sanitizer speak.
set -uo pipefail
cli=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The sanitizers' own exit code, so that their reports cannot pass for the tool's exit code 1.
export ASAN_OPTIONS=exitcode=99 UBSAN_OPTIONS=exitcode=99:halt_on_error=1
count=0
failed=0
files=()
for folder in "$@"; do files+=("$folder"/*.chm); done
for file in "${files[@]}"; do
  [ -f "$file" ] || continue
  count=$((count + 1))
  for command in list unpack info info-json; do
    rm -rf "$work/out"
    args=("${command%-json}" "$file")
    [ "$command" = unpack ] && args+=("$work/out")
    [ "$command" = info-json ] && args+=(--json)
    timeout 60 "$cli" "${args[@]}" >"$work/stdout" 2>"$work/stderr"
    rc=$?
    if [ "$rc" -ne 0 ] && [ "$rc" -ne 1 ] && [ "$rc" -ne 3 ] || grep -qE 'Sanitizer|runtime error' "$work/stderr"; then
      echo "FAILED: tarnwick-cli $command $file (exit code $rc)"
      tail -n 20 "$work/stderr"
      failed=$((failed + 1))
    fi
  done
done
echo "$count files replayed, $failed failures"
[ "$count" -gt 0 ] && [ "$failed" -eq 0 ]
