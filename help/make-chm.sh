#!/usr/bin/env bash
# make-chm.sh SOURCE_DIR OUTPUT_CHM [CHMCMD]: compiles TARNHelp.chm from the UTF-8 sources.
#
# The help viewer reads the contents and the index in the code page of the file's language
# (0x804, so GBK) and shows each page in the charset the page declares. The sources stay UTF-8
# for editing; here each one is converted to GBK and the pages' charset=utf-8 becomes gb2312.
set -euo pipefail

src=$1
out=$2
chmcmd=${3:-chmcmd}
work="$out.work"

rm -rf "$work"
mkdir -p "$work"
shopt -s nullglob
for file in "$src"/*.htm "$src"/*.css "$src"/*.hhc "$src"/*.hhk "$src"/*.hhp; do
    name=$(basename "$file")
    iconv -f UTF-8 -t GBK "$file" >"$work/$name" ||
        { echo "make-chm.sh: $name is not UTF-8 or holds characters that GBK lacks" >&2; exit 1; }
done

for page in "$work"/*.htm; do
    grep -q 'charset=utf-8' "$page" ||
        { echo "make-chm.sh: $(basename "$page") declares no charset=utf-8; the viewer would guess its encoding" >&2; exit 1; }
done
sed -i 's/charset=utf-8/charset=gb2312/' "$work"/*.htm

# chmcmd takes a contents or index entry that names a missing page without a word.
missing=$(grep -ohE '<param name="Local" value="[^"#]*' "$work"/*.hhc "$work"/*.hhk | sed 's/.*value="//' |
          sort -u | while read -r page; do [ -f "$work/$page" ] || echo "$page"; done)
if [ -n "$missing" ]; then
    echo "make-chm.sh: the contents or index names pages that do not exist:" $missing >&2
    exit 1
fi

# chmcmd exits 0 even for a link to a missing file or an undefined anchor; it only prints them.
if ! (cd "$work" && "$chmcmd" TARNHelp.hhp) >"$work/chmcmd.log" 2>&1 ||
   grep -qE '^(Error|Warning):' "$work/chmcmd.log" || [ ! -s "$work/TARNHelp.chm" ]; then
    echo "make-chm.sh: compiling TARNHelp.chm failed:" >&2
    grep -vE '^Note:' "$work/chmcmd.log" >&2 || true
    exit 1
fi
mv -f "$work/TARNHelp.chm" "$out"
rm -rf "$work"
