#!/usr/bin/env bash
# windows-text.sh gbk|utf8-bom INPUT OUTPUT: writes a UTF-8 source as a text file for Windows,
# with CR LF line ends.
#   gbk       for files the program reads in the ANSI code page (936 on a Chinese system);
#   utf8-bom  for files a person opens in Notepad, which needs the BOM to pick UTF-8 on any system.
set -euo pipefail
# Byte-wise: GBK text is not valid in a UTF-8 locale.
export LC_ALL=C

mode=$1
in=$2
out=$3
tmp="$out.tmp"

case "$mode" in
    gbk)
        iconv -f UTF-8 -t GBK "$in" >"$tmp" ||
            { echo "windows-text.sh: $in is not UTF-8 or holds characters that GBK lacks" >&2; rm -f "$tmp"; exit 1; } ;;
    utf8-bom)
        iconv -f UTF-8 -t UTF-8 "$in" >/dev/null || { echo "windows-text.sh: $in is not UTF-8" >&2; exit 1; }
        { printf '\xEF\xBB\xBF'; sed '1s/^\xEF\xBB\xBF//' "$in"; } >"$tmp" ;;
    *)
        echo "windows-text.sh: unknown mode '$mode' (gbk, utf8-bom)" >&2; exit 2 ;;
esac
sed -i 's/\r*$/\r/' "$tmp"
mv -f "$tmp" "$out"
