#!/usr/bin/env bash
# make-helpfile-seeds.sh FIXTURES DEST: helpfile_fuzz inputs from the internal files that 7zz
# extracted from the sample files and fixtures: a parser's number first, as the target reads them.
set -euo pipefail
fixtures=$1
dest=$2
mkdir -p "$dest"
for folder in "$fixtures"/*.extracted "$fixtures"/corpus/*.extracted "$fixtures"/text/*.extracted; do
  [ -f "$folder/#SYSTEM" ] || continue
  name=$(basename "$folder" .extracted)
  { printf '\0'; cat "$folder/#SYSTEM"; } >"$dest/system-$name"
  # The keyword index (parser 3) and the context numbers (parser 4), with the files they need.
  if [ -f "$folder/\$WWKeywordLinks/BTree" ]; then
    python3 - "$folder" "$dest/keywords-$name" <<'PY'
import os, sys
part = lambda n: open(os.path.join(sys.argv[1], n), "rb").read() if os.path.exists(os.path.join(sys.argv[1], n)) else b""
out = b"\x03"
for n in ("#TOPICS", "#URLTBL", "#URLSTR", "#STRINGS"):
    out += len(part(n)).to_bytes(2, "little") + part(n)
open(sys.argv[2], "wb").write(out + part("$WWKeywordLinks/BTree"))
PY
  fi
  if [ -f "$folder/#IVB" ] && [ -f "$folder/#STRINGS" ]; then
    { printf '\4'; python3 -c 'import sys; sys.stdout.buffer.write(len(open(sys.argv[1], "rb").read()).to_bytes(2, "little"))' "$folder/#IVB"
      cat "$folder/#IVB" "$folder/#STRINGS"; } >"$dest/aliases-$name"
  fi
  [ -f "$folder/#WINDOWS" ] && [ -f "$folder/#STRINGS" ] || continue
  python3 - "$folder/#WINDOWS" "$folder/#STRINGS" "$dest/windows-$name" <<'PY'
import sys
windows = open(sys.argv[1], "rb").read()
strings = open(sys.argv[2], "rb").read()
open(sys.argv[3], "wb").write(b"\x01" + len(windows).to_bytes(2, "little") + windows + strings)
PY
done
