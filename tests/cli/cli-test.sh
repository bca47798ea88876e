#!/usr/bin/env bash
# Checks tarnwick-cli against 7-Zip's extraction of the same help files.
# Usage: cli-test.sh TARNWICK_CLI CORPUS_DIR [FIXTURES_DIR]
# CORPUS_DIR "none": without the sample files, the fixtures and the checks that need no file.
set -uo pipefail

cli=$1
corpus=$2
fixtures=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

check() { # description, command...
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $what"
    fi
}

# 7-Zip shows the "#" and "$" streams and folders that the tool leaves out.
oracle() { # file, folder
    7zz x -y "$1" -o"$2" >/dev/null || return 1
    find "$2" -depth \( -name '#*' -o -name '$*' \) -exec rm -rf {} +
    find "$2" -mindepth 1 -type d -empty -delete
}

# On Windows, folders whose names differ only in case are one folder: there the trees are compared
# by lower-cased path and content.
same_tree() {
    if [ -n "${TARNWICK_CASE_INSENSITIVE:-}" ]; then
        [ "$(fingerprint "$1")" = "$(fingerprint "$2")" ]
    else
        diff -r "$1" "$2" >/dev/null
    fi
}

fingerprint() {
    (cd "$1" && find . -type f -print0 | xargs -0 md5sum | awk '{ $2 = tolower($2); print }' | sort)
}

files_in() { find "$1" -type f | wc -l; }

help_files=()
[ "$corpus" = none ] || help_files=("$corpus"/*.chm)
if [ -n "$fixtures" ]; then
    for f in "$fixtures"/*.chm; do [ -e "$f" ] && help_files+=("$f"); done
fi

for file in "${help_files[@]}"; do
    name=$(basename "$file")
    dir="$work/$name"
    mkdir -p "$dir"
    oracle "$file" "$dir/oracle" || { echo "7zz cannot read $file"; failed=$((failed + 1)); continue; }

    "$cli" unpack "$file" "$dir/paths" --threads 1 2>"$dir/err" && same_tree "$dir/oracle" "$dir/paths"
    check "$name: unpack exits 0 and writes what 7-Zip extracts" test $? -eq 0

    "$cli" test "$file" >"$dir/test" 2>&1
    check "$name: test finds nothing damaged" test $? -eq 0 -a -z "$(grep '损坏:' "$dir/test")"

    "$cli" list "$file" | tr -d '\r' >"$dir/list" # Windows writes its own line ends
    check "$name: list exits 0, one line per stream" test "${PIPESTATUS[0]}" -eq 0 -a "$(wc -l <"$dir/list")" -eq "$(files_in "$dir/oracle")"
    check "$name: each line's size is its file's" test -z "$(
        awk -F'\t' '{ p = $4; gsub(/\\/, "/", p); print $2 "\t" p $1 }' "$dir/list" |
            while IFS=$'\t' read -r size path; do
                [ "$(stat -c %s "$dir/oracle/$path" 2>/dev/null)" = "$size" ] || echo "$path"
            done)"

    "$cli" list "$file" --json >"$dir/list.json"
    check "$name: list --json holds the listing's rows" python3 - "$dir/list.json" "$dir/list" <<'EOF'
import json, sys
rows = json.load(open(sys.argv[1], encoding="utf-8"))["streams"]
lines = open(sys.argv[2], encoding="utf-8").read().splitlines()
sys.exit(["\t".join([r["name"], str(r["size"]), r["type"], r["path"]]) for r in rows] != lines)
EOF
    "$cli" info "$file" --json >"$dir/info.json"
    check "$name: info --json counts the listed streams and their bytes" python3 - "$dir/info.json" "$dir/list" <<'EOF'
import json, sys
info = json.load(open(sys.argv[1], encoding="utf-8"))
sizes = [int(line.split("\t")[1]) for line in open(sys.argv[2], encoding="utf-8").read().splitlines()]
sys.exit((info["listedStreams"], info["listedBytes"]) != (len(sizes), sum(sizes)))
EOF

    "$cli" unpack "$file" "$dir/flat" --flat --threads 3
    check "$name: flat unpack exits 0 with one file per distinct name and no folder" \
        test $? -eq 0 -a "$(find "$dir/flat" -type f | wc -l)" -eq "$(cut -f1 "$dir/list" | sort -u | wc -l)" \
        -a -z "$(find "$dir/flat" -mindepth 1 -type d)"
    # The file keeps the spelling of the first entry of its name and the bytes of the last.
    check "$name: flat, the last entry of a name in listing order wins" test -z "$(
        awk -F'\t' -v fold="${TARNWICK_CASE_INSENSITIVE:-}" '{
                k = fold ? tolower($1) : $1; p = $4; gsub(/\\/, "/", p)
                if (!(k in first)) first[k] = $1; last[k] = p $1 }
            END { for (k in last) print first[k] "\t" last[k] }' "$dir/list" |
            while IFS=$'\t' read -r base path; do cmp -s "$dir/flat/$base" "$dir/oracle/$path" || echo "$path"; done)"
done

if [ "$corpus" != none ]; then
    "$cli" unpack "$corpus/example.chm" "$work/missing/parents/dest" 2>"$work/err"
    check "missing parents of the destination are made" test $? -eq 0 -a -n "$(find "$work/missing/parents/dest" -type f)"
    # Scripts rely on unpack replacing what is there without a question: the window alone asks.
    find "$work/missing/parents/dest" -type f -exec sh -c 'printf mine >"$1"' _ {} \;
    "$cli" unpack "$corpus/example.chm" "$work/missing/parents/dest" </dev/null 2>"$work/err"
    replaced=$?
    same_tree "$work/example.chm/oracle" "$work/missing/parents/dest"
    check "unpack again replaces every file without asking" test "$replaced" -eq 0 -a $? -eq 0
    printf 'x' >"$work/a-file"
    "$cli" unpack "$corpus/example.chm" "$work/a-file" 2>"$work/err"
    check "a destination that is a file is one error, exit 3" test $? -eq 3 -a "$(grep -c . "$work/err")" -eq 1
    # A file that cannot be created (a folder has its name) fails on the thread that writes behind the
    # reads: it must still be named, and every other file written.
    blocked=$("$cli" list "$corpus/example.chm" | tr -d '\r' | awk -F'\t' '$4 == "" { print $1; exit }')
    mkdir -p "$work/blocked/$blocked"
    "$cli" unpack "$corpus/example.chm" "$work/blocked" --threads 2 2>"$work/err"
    check "a file that cannot be written is named, exit 3, and the others are written" test $? -eq 3 \
        -a "$(tr -d '\r' <"$work/err" | grep -cx "  $blocked")" -eq 1 \
        -a "$(find "$work/blocked" -type f | wc -l)" -eq $(("$(files_in "$work/example.chm/oracle")" - 1))
fi

# The fixture's project file says: Title=Tarnwick varied fixture, Default topic=index.htm, Language=0x804.
if [ -n "$fixtures" ] && [ -f "$fixtures/varied.chm" ]; then
    "$cli" info "$fixtures/varied.chm" | tr -d '\r' >"$work/varied.info"
    check "info shows the title, default topic, language and code page the project gave" test \
        "$(grep -E '^(标题|默认主题|语言 LCID|语言|文本代码页): ' "$work/varied.info")" = \
        "$(printf '标题: Tarnwick varied fixture\n默认主题: index.htm\n语言 LCID: 0x0804\n语言: zh-CN\n文本代码页: 936')"
    # #SYSTEM is stored uncompressed: its title record is given a length past the end of the file.
    python3 - "$fixtures/varied.chm" "$work/damaged-system.chm" <<'EOF'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
title = b"Tarnwick varied fixture\0"
at = data.index(b"\x03\x00" + len(title).to_bytes(2, "little") + title)
data[at + 2:at + 4] = b"\xff\xff"
open(sys.argv[2], "wb").write(data)
EOF
    check "info says a help file without the download mark has none" test \
        "$(grep -E '^(下载标记|标记的区域): ' "$work/varied.info")" = "$(printf '下载标记: 否\n标记的区域: (无)')"
    # Natively the mark of a help file on a Windows disk is an extended attribute (as ntfs-3g shows
    # named streams); Wine keeps none, and a folder that takes no such attributes cannot be tested.
    cp "$fixtures/varied.chm" "$work/downloaded.chm"
    if [ -z "${TARNWICK_CASE_INSENSITIVE:-}" ] && python3 -c 'import os, sys; os.setxattr(sys.argv[1], "user.Zone.Identifier", b"[ZoneTransfer]\r\nZoneId=3\r\n")' "$work/downloaded.chm" 2>/dev/null; then
        "$cli" info "$work/downloaded.chm" | tr -d '\r' >"$work/downloaded.info"
        "$cli" info --json "$work/downloaded.chm" >"$work/downloaded.json"
        check "info says a downloaded help file is marked, and from which zone" test \
            "$(grep -E '^(下载标记|标记的区域): ' "$work/downloaded.info")" = "$(printf '下载标记: 是\n标记的区域: 3 (Internet)')" \
            -a "$(python3 -c 'import json, sys; d = json.load(open(sys.argv[1], encoding="utf-8")); print(d["zoneMarked"], d["zoneId"])' "$work/downloaded.json")" = "True 3"
    else
        echo "SKIPPED: info on a help file with the download mark (no extended attributes here)"
    fi
    "$cli" info "$work/damaged-system.chm" | tr -d '\r' >"$work/damaged.info"
    check "info on a damaged #SYSTEM exits 0, shows the title as damaged and says why" test "${PIPESTATUS[0]}" -eq 0 -a \
        -n "$(grep -x '标题: (已损坏)' "$work/damaged.info")" -a -n "$(grep '^损坏: #SYSTEM.*代码 3' "$work/damaged.info")"
fi

printf 'not a help file' >"$work/plain.chm"
"$cli" list "$work/plain.chm" 2>&1 >"$work/out" | tr -d '\r' >"$work/message"
check "a file that is not a help file exits 1 and says so" test "${PIPESTATUS[0]}" -eq 1 -a -n "$(grep -x '不能打开这个文件.' "$work/message")"
"$cli" info "$work/plain.chm" --json >"$work/out" 2>/dev/null
check "info on it exits 1 and writes no JSON" test $? -eq 1 -a ! -s "$work/out"
"$cli" unpack "$work/missing.chm" "$work/none" 2>/dev/null
check "a missing file exits 1 for unpack and writes nothing" test $? -eq 1 -a ! -e "$work/none"

if [ "$corpus" != none ]; then
    "$cli" unpack "$corpus/../crashes/lzx-position-slot.chm" "$work/damaged" 2>"$work/err"
    check "a file with entries that cannot be read exits 3 and names them" test $? -eq 3 -a -n "$(grep '未能展开' "$work/err")"

    # Damaged copies of a real file. Unpack writes at least every entry 7-Zip writes intact, and
    # nothing with other bytes (but for damage no reader can see, LZX having no checksum, what 7-Zip
    # too writes without a word); test names the damaged entries and exits 3.
    damaged_copy() { # name, python statements changing `data`
        python3 - "$corpus/topics.classic.chm" "$work/$1.chm" "$2" <<'PY'
import re, sys
data = bytearray(open(sys.argv[1], 'rb').read())
# The reset table: version 2, any entry count, entries of 8 bytes, a 40-byte header.
table = re.search(rb'\x02\0\0\0....\x08\0\0\0\x28\0\0\0', data, re.S).start()
exec(sys.argv[3])
open(sys.argv[2], 'wb').write(data)
PY
    }
    intact_oracle="$work/topics.classic.chm/oracle"
    # Each file written is the intact file's or one of the fingerprints given (by lower-cased path, as
    # Windows merges folders whose names differ only in case); prints how many are the intact file's.
    written_intact() { # folder, fingerprints allowed besides
        local differing
        differing=$(comm -23 <(fingerprint "$1" | sort) <({ fingerprint "$intact_oracle"; printf '%s' "$2"; } | sort))
        [ -z "$differing" ] || { echo "differs: $differing" >&2; return 1; }
        comm -12 <(fingerprint "$1" | sort) <(fingerprint "$intact_oracle" | sort) | wc -l
    }
    # What 7-Zip wrote with other bytes than the intact file's without naming an error, fingerprinted.
    silently_damaged() { # 7-Zip's folder, its output
        comm -23 <(fingerprint "$1" | sort) <(fingerprint "$intact_oracle" | sort) |
            grep -vFf <(sed -n 's/^ERROR: .* : //p' "$2" | tr -d '\r' | tr '[:upper:]' '[:lower:]')
    }
    lower_paths() { (cd "$1" && find . -type f | cut -c3- | tr '[:upper:]' '[:lower:]' | sort); }
    damaged_copy cut 'del data[len(data) * 9 // 10:]'
    damaged_copy flip 'data[1094679] ^= 0x40' # 7-Zip: "Data Error" in one entry
    damaged_copy table-entry 'data[table + 40 + 8 * 60] ^= 0x04'
    damaged_copy table-gone 'data[table] = 7'
    # 7-Zip: "Data Error" in Images/RealWorld.png, from the last flip. The first two change bytes of
    # nine images that nothing tells from others.
    damaged_copy three-flips 'data[26603] ^= 0x80; data[49551] ^= 0x80; data[75497] ^= 0x04'
    for copy in cut flip table-entry table-gone three-flips; do
        dir="$work/damaged-$copy"
        mkdir -p "$dir"
        7zz x -y "$work/$copy.chm" -o"$dir/7zz" >"$dir/7zz.log" 2>&1
        find "$dir/7zz" -depth \( -name '#*' -o -name '$*' \) -exec rm -rf {} +
        "$cli" unpack "$work/$copy.chm" "$dir/paths" --threads 2 2>"$dir/unpack.err"
        unpacked=$?
        unseen=
        [ "$copy" = three-flips ] && unseen=$(silently_damaged "$dir/7zz" "$dir/7zz.log")
        ours=$(written_intact "$dir/paths" "$unseen") || ours=-1
        theirs=$(cd "$dir/7zz" && find . -type f | while read -r f; do cmp -s "$f" "$intact_oracle/$f" && echo; done | wc -l)
        check "$copy: unpack writes only intact entries, at least the $theirs 7-Zip does ($ours)" test "$ours" -ge "$theirs"
        "$cli" test "$work/$copy.chm" >"$dir/test" 2>&1
        check "$copy: test exits 3 and names damage" test $? -eq 3 -a -n "$(grep '^损坏: ' "$dir/test")"
        "$cli" project "$work/$copy.chm" "$dir/project" >/dev/null 2>&1
        check "$copy: project exits as unpack does ($unpacked) and writes the project" test $? -eq "$unpacked" -a -s "$dir/project/$copy.hhp"
        case $copy in
        table-gone)
            check "$copy: every entry is still unpacked" test "$unpacked" -eq 0 -a "$ours" -eq "$(files_in "$intact_oracle")" ;;
        *)
            check "$copy: unpack exits 3" test "$unpacked" -eq 3
            # Every entry test names damaged is one unpack did not write, and the other way round.
            named=$(sed -n 's/^损坏: \([^:]*\): .*/\1/p' "$dir/test" | grep -v '^[#$]' | tr '\\' / |
                tr '[:upper:]' '[:lower:]' | sort)
            missing=$(comm -23 <(lower_paths "$intact_oracle") <(lower_paths "$dir/paths"))
            check "$copy: test names exactly the listed entries unpack could not write" \
                test -n "$named" -a "$named" = "$missing" ;;
        esac
    done
    check "a reset table that cannot be used is reported" grep -q '重置表' "$work/damaged-table-gone/test"
    # The frame that ends where entry 60 does not say.
    check "a wrong reset table entry is found at its frame" grep -q '第 59 帧' "$work/damaged-table-entry/test"
    # The section's notes first, then the damaged entries in the listing's order, the "#" and "$" streams
    # the listing leaves out anywhere among them; the cut copy has damaged entries in several folders.
    "$cli" list "$work/cut.chm" | tr -d '\r' | awk -F'\t' '{ print $4 $1 }' >"$work/damaged-cut/listed"
    check "cut: test reports the section's notes, then the damaged entries in listing order" python3 - "$work/damaged-cut/test" "$work/damaged-cut/listed" <<'EOF'
import sys
listed = {path: i for i, path in enumerate(open(sys.argv[2], encoding="utf-8").read().splitlines())}
damaged = [l[4:].split(": ")[0] for l in open(sys.argv[1], encoding="utf-8").read().splitlines() if l.startswith("损坏: ")]
is_stream = [name in listed or name[0] in "#$" for name in damaged]
shown = [name for name in damaged if name in listed]
swapped = [f"{a} before {b}" for a, b in zip(shown, shown[1:]) if listed[a] > listed[b]]
if swapped: print("test reports", swapped[0], file=sys.stderr)
sys.exit(not (is_stream[0] is False and is_stream == sorted(is_stream) and not swapped and
              len({name.rpartition("\\")[0] for name in shown}) > 2))
EOF
    three="$work/damaged-three-flips"
    check "three-flips: test names Images/RealWorld.png alone, unpack names it and does not write it" test \
        "$(sed -n 's/^损坏: \([^:]*\): .*/\1/p' "$three/test" | tr '\\' /)" = Images/RealWorld.png \
        -a -n "$(tr -d '\r' <"$three/unpack.err" | tr '\\' / | grep -x '  Images/RealWorld.png')" \
        -a ! -e "$three/paths/Images/RealWorld.png"
fi

# Options anywhere, "--" ends them; a mistake is one line on the standard error, exit 2.
if [ "$corpus" != none ]; then
    "$cli" info --json "$corpus/example.chm" | python3 -c 'import json, sys; json.load(sys.stdin)'
    check "an option before the file" test $? -eq 0
    "$cli" unpack --threads 1 -- "$corpus/example.chm" "$work/options" 2>/dev/null
    check "options before the operands, and -- before them" test $? -eq 0 -a -n "$(find "$work/options" -type f)"
fi
for mistake in "" "list" "list a b" "lst x" "list x --flat" "info x --encoding" "info x --encoding 12345" \
    "unpack x y --threads" "unpack x y --threads many" "list x --bogus" "list --json=yes x"; do
    # shellcheck disable=SC2086
    "$cli" $mistake >"$work/out" 2>"$work/err"
    check "'$mistake' is a usage error in one line, pointing to --help" test $? -eq 2 -a ! -s "$work/out" -a \
        "$(grep -c . "$work/err")" -eq 1 -a -n "$(grep -e '--help' "$work/err")"
done
"$cli" -h >"$work/help"
check "-h explains unpack, and the usage ends with a line end" test $? -eq 0 -a -n "$(grep 'tarnwick-cli unpack' "$work/help")" \
    -a "$(tail -c 1 "$work/help" | od -An -c | tr -d ' ')" = '\n'
"$cli" list --version x >"$work/out"
check "--version" test $? -eq 0 -a -n "$(grep -E '^tarnwick-cli [0-9]+\.[0-9]+\.[0-9]+' "$work/out")"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
