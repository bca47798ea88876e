#!/usr/bin/env bash
# The project command's round trip: project, chmcmd on the written NAME.hhp, and the new help file
# against the original: the same listed streams byte for byte (7-Zip's extraction of both,
# without the "#" and "$" internal files), the same title, default topic and language, and the
# same contents and index entries in the same order, the same window types and context numbers.
# Usage: project-round-trip.sh TARNWICK_CLI PROJECT_PROBE CORPUS_DIR [FIXTURES_DIR]
# CORPUS_DIR "none": without the sample files, the generated files alone.
set -uo pipefail
fixture_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")/../fixtures" && pwd)

cli=$1
probe=$2
corpus=$3
fixtures=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
streams_same=0
streams_all=0

verdict() { # exit status of the check, description, file of the project's messages
    if [ "$1" -eq 0 ]; then passed=$((passed + 1)); echo "$2"; else failed=$((failed + 1)); echo "FAILED: $2"; cat "$3"; fi
}

# 7-Zip extracts the test writer's uncompressed files but calls them damaged ("Unsupported
# feature"): its exit code is not looked at, a stream it cannot extract shows as missing.
listed_streams() { # file, folder
    7zz x -y "$1" -o"$2" >/dev/null 2>&1
    find "$2" -depth \( -name '#*' -o -name '$*' \) -exec rm -rf {} +
}

# What chmcmd does on its own, not the project: it adds its "_#_README_#_" stream to every file it
# compiles, and from the same .hhk or .hhc it builds binary forms unlike the Microsoft compiler's
# (of a keyword with several topics it keeps the last). Such differences are noted, not failed:
# the stored sitemap files they come from are compared byte for byte with the other streams.
expected_addition() { # stream, the project file
    [ "$1" = "_#_README_#_" ] && return 0
    # A contents or index file rebuilt from its binary form: stored now, as the compiler stores it.
    tr -d '\r' <"$2" | grep -qxF -e "Contents file=$1" -e "Index file=$1"
}

# A small project compiled with binary contents and index: a book without a page, nesting two
# deep, a link outside the file, a keyword with two topics, a sub-keyword and a see-also.
make_binary_fixture() { # folder
    local dir=$1
    mkdir -p "$dir/sub"
    for p in a b c; do printf '<html><head><title>T %s</title></head><body>%s</body></html>\n' $p $p >"$dir/$p.htm"; done
    printf '<html><body>d</body></html>\n' >"$dir/sub/d.htm"
    local item='<LI><OBJECT type="text/sitemap"><param name="Name" value="%s">%s</OBJECT>\n'
    local local_='<param name="Local" value="%s">'
    {
        printf '<HTML><BODY>\n<UL>\n'
        printf "$item" Alpha "$(printf "$local_" a.htm)"
        printf '<UL>\n'
        printf "$item" Beta "$(printf "$local_" b.htm)"
        printf "$item" Book ''
        printf '<UL>\n'
        printf "$item" Dee "$(printf "$local_" sub/d.htm)"
        printf '</UL>\n</UL>\n'
        printf "$item" Gamma "$(printf "$local_" c.htm)"
        printf '</UL>\n</BODY></HTML>\n'
    } >"$dir/toc.hhc"
    {
        printf '<HTML><BODY>\n<UL>\n'
        printf "$item" apple "$(printf "$local_" a.htm)"
        printf '<UL>\n'
        printf "$item" green "$(printf "$local_" b.htm)"
        printf '</UL>\n'
        printf "$item" zebra '<param name="See Also" value="apple">'
        printf '</UL>\n</BODY></HTML>\n'
    } >"$dir/idx.hhk"
    printf '[OPTIONS]\nCompiled file=binary.chm\nContents file=toc.hhc\nIndex file=idx.hhk\nDefault topic=a.htm\nTitle=Binary contents\nLanguage=0x409\nBinary TOC=Yes\nBinary Index=Yes\n\n[FILES]\na.htm\nb.htm\nc.htm\nsub/d.htm\n' >"$dir/binary.hhp"
    (cd "$dir" && chmcmd --no-html-scan binary.hhp >chmcmd.log 2>&1)
}

# The written project against what it says and, where the help file was compiled from a known
# project (SOURCE), against that. Each [OPTIONS] line must come back from the file chmcmd compiled of
# it: a line chmcmd ignores (a misspelt key, a value in a form it does not take) shows here. The
# readers of #SYSTEM, #WINDOWS and the binary index take the original and the compiled file alike,
# so a reader's mistake that compiles back to itself shows only against the source: title, default
# topic, window, language, switches, window types, contents and keywords.
written_texts() { # project folder, NAME.hhp, the compiled file's info --json, SOURCE folder or ""
    python3 - "$@" <<'EOF'
import csv, html, json, re, sys
from pathlib import Path
folder, info, source = Path(sys.argv[1]), json.load(open(sys.argv[3], encoding="utf-8")), sys.argv[4]
codec = "cp%d" % (info.get("codePage") or 1252)
def text(raw): # as the help file's readers: UTF-8 where it is, else the language's code page
    try: return raw.decode("utf-8")
    except UnicodeDecodeError: return raw.decode(codec, "replace")
def fix(value): return text(value.encode("utf-8", "surrogateescape"))
def project(path):
    sections, current = {}, {}
    for line in path.read_bytes().decode("utf-8", "surrogateescape").splitlines():
        if line.startswith("["): current = sections.setdefault(line.strip().lower(), {})
        elif "=" in line: current[line.split("=")[0].strip().lower()] = line.partition("=")[2].strip()
    return sections
written = project(folder / sys.argv[2])
options = written.get("[options]", {})
facts = {"title": "title", "default topic": "defaultTopic", "default window": "defaultWindow", "contents file": "contentsFile",
         "index file": "indexFile", "default font": "defaultFont", "language": "lcid", "full-text search": "fullTextSearch",
         "binary toc": "binaryContents", "binary index": "binaryIndex"}
def value(key, v):
    v = fix(v)
    if key == "language": return int(v, 16) if re.fullmatch(r"0x[0-9a-fA-F]+", v) else v
    return {"Yes": True, "No": False}.get(v, v) if key in ("full-text search", "binary toc", "binary index") else v
for key, v in options.items():
    # The compiled file is the one chmcmd wrote; chmcmd writes version 3 whatever Compatibility says.
    if key in ("compiled file", "compatibility"): continue
    if key not in facts: print(f"[OPTIONS] {key}: not an option the compiled file can show"); continue
    if info.get(facts[key]) == value(key, v): continue
    # chmcmd looks for a contents or index file in a folder beside the project ("Can't find TOC file").
    note = "note, chmcmd: " if key in ("contents file", "index file") and "/" in v and info.get(facts[key]) is None else ""
    print(f"{note}[OPTIONS] {key}={fix(v)}: the compiled file has {info.get(facts[key])!r}")
if not source: sys.exit()
source = Path(source)
original = project(next(source.glob("*.hhp")))
for key in ("title", "default topic", "default window", "language", "full-text search", "binary toc", "binary index"):
    want, got = (value(key, o.get(key, "No" if key in ("full-text search", "binary toc", "binary index") else "")) for o in (original["[options]"], options))
    if want != got: print(f"{key}: {want!r} in the source, {got!r} written")
def fields(line): # quotes and brackets aside, and an empty number is 0
    parsed = [fix(f).strip(" []") for f in next(csv.reader([line]))]
    return [int(f, 16) if f.lower().startswith("0x") else int(f) if re.fullmatch(r"-?\d+", f) else f or 0 for f in parsed]
for name, line in original.get("[windows]", {}).items():
    want, got = fields(line), fields(written.get("[windows]", {}).get(name, ""))
    if want != got + [0] * (len(want) - len(got)): print(f"window {name}: {want} in the source, {got} written")
def sitemap(path):
    depth, entries = 0, []
    for m in re.finditer(rb'(?i)<(/?UL|OBJECT)\b|<param\s+name="([^"]*)"\s+value="([^"]*)"', path.read_bytes() if path.is_file() else b""):
        tag = (m.group(1) or b"").upper()
        if tag == b"OBJECT": entries.append([depth])
        elif tag: depth += 1 if tag == b"UL" else -1
        elif entries: entries[-1].append((m.group(2).decode().lower(), html.unescape(text(m.group(3)))))
    return entries
for key in ("contents file", "index file"):
    want, got = sitemap(source / fix(original["[options]"].get(key, "-"))), sitemap(folder / fix(options.get(key, "-")))
    for i, (a, b) in enumerate(zip(want + [None] * len(got), got + [None] * len(want))):
        if a != b: print(f"{key}, entry {i}: {a} in the source, {b} written"); break
EOF
}

help_files=()
[ "$corpus" = none ] || help_files=("$corpus"/*.chm)
if make_binary_fixture "$work/fixture"; then
    help_files+=("$work/fixture/binary.chm")
    # The same help file with its contents and index only in binary form.
    7zz x -y "$work/fixture/binary.chm" -o"$work/fixture/all" >/dev/null
    "$probe" pack "$work/fixture/all" "$work/fixture/binary-only.chm" toc.hhc idx.hhk
    help_files+=("$work/fixture/binary-only.chm")
else
    echo "FAILED: chmcmd cannot compile the binary-contents fixture"; cat "$work/fixture/chmcmd.log"
    failed=$((failed + 1))
fi
[ -n "$fixtures" ] && [ -e "$fixtures/varied.chm" ] && help_files+=("$fixtures/varied.chm")
# Chinese, Cyrillic and Japanese names and texts, in UTF-8 and as the Microsoft compiler writes them.
[ -n "$fixtures" ] && for f in "$fixtures"/text/*.chm; do [ -e "$f" ] && help_files+=("$f"); done

# Damaged binary contents: the first entry's next sibling is itself. The project is still written,
# with the entries read before the loop, and the loss is said and kept in the report file.
if [ -f "$work/fixture/binary-only.chm" ]; then
    cp -r "$work/fixture/all" "$work/fixture/looped"
    python3 -c 'import struct, sys
f = open(sys.argv[1], "r+b"); first = struct.unpack("<I", f.read(4))[0]
f.seek(first + 16); f.write(struct.pack("<I", first))' "$work/fixture/looped/#TOCIDX"
    "$probe" pack "$work/fixture/looped" "$work/looped.chm" toc.hhc idx.hhk
    "$cli" project "$work/looped.chm" "$work/looped" 2>"$work/looped.err" &&
        grep -q 'TOCIDX' "$work/looped/project-report.txt" "$work/looped.err" &&
        grep -q '"Dee"' "$work/looped/toc.hhc" && ! grep -q '"Gamma"' "$work/looped/toc.hhc"
    verdict $? "damaged contents: reported, entries before the loop kept" "$work/looped.err"
fi

# A context number whose page is not in the help file: [ALIAS] and [MAP] both leave it out, so that
# the compiler takes the project, and the report says which.
if [ -n "$fixtures" ] && [ -d "$fixtures/text/zh-gbk.extracted" ]; then
    cp -r "$fixtures/text/zh-gbk.extracted" "$work/lost"
    rm "$work/lost/资料/文件目录管理.htm"
    "$probe" pack "$work/lost" "$work/lost.chm"
    hhp="$work/lost-project/lost.hhp"
    "$cli" project "$work/lost.chm" "$work/lost-project" 2>"$work/lost.err" &&
        (cd "$work/lost-project" && chmcmd --no-html-scan lost.hhp >chmcmd.log 2>&1) &&
        [ -f "$work/lost-project/lost.chm" ] && grep -q '^IDH_1000=' "$hhp" && ! grep -q 'IDH_1001' "$hhp" &&
        grep -q '1001' "$work/lost-project/project-report.txt"
    verdict $? "a context number without its page: left out of [ALIAS] and [MAP], reported" "$work/lost.err"
fi

for file in "${help_files[@]}"; do
    name=$(basename "$file" .chm)
    dir="$work/$name"
    problems=()
    notes=()
    "$cli" project "$file" "$dir/project" 2>"$dir.err"
    [ $? -eq 0 ] || problems+=("project exits $?")
    hhp="$dir/project/$name.hhp"
    compiled=$(tr -d '\r' <"$hhp" 2>/dev/null | sed -n 's/^Compiled file=//p')
    if ! (cd "$dir/project" && chmcmd --no-html-scan "$name.hhp" >"$dir.chmcmd.log" 2>&1) || [ ! -f "$dir/project/$compiled" ]; then
        problems+=("chmcmd does not compile $name.hhp")
    else
        listed_streams "$file" "$dir/before"
        listed_streams "$dir/project/$compiled" "$dir/after"
        total=$(find "$dir/before" -type f | wc -l)
        same=0
        while IFS= read -r -d '' f; do
            rel=${f#"$dir/before/"}
            if cmp -s "$f" "$dir/after/$rel"; then same=$((same + 1)); else problems+=("stream differs or is missing: $rel"); fi
        done < <(find "$dir/before" -type f -print0)
        while IFS= read -r -d '' f; do
            rel=${f#"$dir/after/"}
            [ -e "$dir/before/$rel" ] || expected_addition "$rel" "$hhp" || problems+=("stream added: $rel")
        done < <(find "$dir/after" -type f -print0)
        streams_same=$((streams_same + same))
        streams_all=$((streams_all + total))
        case $name in
        binary | binary-only) source="$work/fixture" ;;
        zh-* | ru-* | ja-*)
            source="$work/source-${name%%-*}"
            [ -d "$source" ] || python3 "$fixture_scripts/text_fixture.py" "${name%%-*}" utf-8 "$source" ;;
        *) source= ;;
        esac
        "$cli" info "$dir/project/$compiled" --json >"$dir.after.json"
        texts=$(written_texts "$dir/project" "$name.hhp" "$dir.after.json" "$source" 2>&1) || texts+=$'\n'"reading the texts back failed"
        while IFS= read -r line; do
            case $line in "") ;; "note, "*) notes+=("${line#note, }") ;; *) problems+=("$line") ;; esac
        done <<<"$texts"
        # chmcmd keeps the files of [ALIAS] with the project's folder in front, here and in the
        # fixtures it compiled.
        "$probe" dump "$file" | sed -E "s#^(alias\t[0-9]+\t)/.*/\.work-$name/(ansi/)?#\1#" >"$dir.before.facts"
        "$probe" dump "$dir/project/$compiled" | sed "s|^\(alias\t[0-9]*\t\)$dir/project/|\1|" >"$dir.after.facts"
        # Entries of the contents or index differ: the project's fault where it rebuilt the file,
        # chmcmd's where the file was stored and is carried over unchanged, and the entry itself
        # (its depth and text) is on both sides: chmcmd keeps other topics, never other keywords.
        while IFS= read -r line; do
            kind=$(printf '%s' "${line:2}" | cut -f1)
            entry=$(printf '%s' "${line:2}" | cut -f1-3)
            sitemap=$([ "$kind" = index ] && echo Index || echo Contents)
            source=$(tr -d '\r' <"$hhp" | sed -n "s/^$sitemap file=//p")
            # A stored index in a code page reaches chmcmd as its UTF-8 copy, NAME-utf8.hhk.
            if { [ "$kind" = index ] || [ "$kind" = contents ]; } &&
                [ -n "$source" ] && [ -f "$dir/before/${source/%-utf8.hhk/.hhk}" ] &&
                cut -f1-3 "$dir.before.facts" | grep -qxF "$entry" && cut -f1-3 "$dir.after.facts" | grep -qxF "$entry"; then
                notes+=("chmcmd: $line")
            else
                problems+=("$line")
            fi
        done < <(diff "$dir.before.facts" "$dir.after.facts" | grep '^[<>]')
    fi
    if [ ${#problems[@]} -eq 0 ]; then
        passed=$((passed + 1))
        echo "round trip: $name"
        [ ${#notes[@]} -eq 0 ] || printf '  note, %s\n' "${notes[@]}"
    else
        failed=$((failed + 1))
        echo "FAILED: $name"
        printf '  %s\n' "${problems[@]}"
        [ -s "$dir.err" ] && sed 's/^/  project: /' "$dir.err"
    fi
done
echo "project round trip: $passed of $((passed + failed)) checks passed (one per help file, the damaged contents, the lost page);" \
    "$streams_same of $streams_all listed streams byte-identical"
[ $failed -eq 0 ]
