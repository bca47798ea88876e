#!/usr/bin/env bash
# make-zip.sh ZIP CMAKE OBJDUMP STRIP FILE...: packs FILE... into ZIP under one folder named after
# the zip (Tarnwick-1.2.3-win32.zip holds Tarnwick-1.2.3/), the programs without their debug
# information (the build folder keeps it), then checks the result with check-zip.py. The zip only
# replaces the previous one once the check has passed.
set -euo pipefail

zip=$1
cmake=$2
objdump=$3
strip=$4
shift 4

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
base=$(basename "$zip" .zip)
folder=${base%-win32}
stage="$zip.stage"
tmp="$stage/$base.zip"

rm -rf "$stage"
mkdir -p "$stage/$folder"
for file in "$@"; do cp "$file" "$stage/$folder/"; done
"$strip" --strip-all "$stage/$folder"/*.exe
(cd "$stage" && "$cmake" -E tar cf "$base.zip" --format=zip "$folder")
python3 "$here/check-zip.py" "$tmp" "$objdump"
mv -f "$tmp" "$zip"
rm -rf "$stage"
