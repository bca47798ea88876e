#!/usr/bin/env bash
# make-helpfile-seeds.sh FIXTURES DEST: helpfile_fuzz inputs from the internal files that 7zz
# extracted from the sample files and fixtures: a parser's number first, as the target reads them.
set -euo pipefail
fixtures=$1
dest=$2
mkdir -p "$dest"
for folder in "$fixtures"/*.extracted "$fixtures"/corpus/*.extracted; do
  [ -f "$folder/#SYSTEM" ] || continue
  name=$(basename "$folder" .extracted)
  { printf '\0'; cat "$folder/#SYSTEM"; } >"$dest/system-$name"
  [ -f "$folder/#WINDOWS" ] && [ -f "$folder/#STRINGS" ] || continue
  python3 - "$folder/#WINDOWS" "$folder/#STRINGS" "$dest/windows-$name" <<'PY'
import sys
windows = open(sys.argv[1], "rb").read()
strings = open(sys.argv[2], "rb").read()
open(sys.argv[3], "wb").write(b"\x01" + len(windows).to_bytes(2, "little") + windows + strings)
PY
done
