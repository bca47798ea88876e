#!/usr/bin/env bash
# Help files named and written in Chinese, Cyrillic and Japanese, under the locales a user may have:
# every command exits 0 and shows and writes the right characters.
# Usage: names-test.sh TARNWICK_CLI FIXTURES_DIR   (the Windows build: wine-cli.sh, under Wine's own locale)
set -uo pipefail

cli=$1
fixtures=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
windows=${TARNWICK_WINDOWS_CLI:+1}

check() { # description, command...
    local what=$1
    shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}

# fixture | the copy's name | the destination's name | title | a page, "/"-separated
table=(
    "zh-gbk|帮助|目标 文件夹/输出|万能文字工具箱帮助|资料/文件目录管理.htm"
    "zh-utf8|万能文字工具箱帮助|展开|万能文字工具箱帮助|资料/函数参考/字符串.htm"
    "ru-cp1251|Справка|Папка назначения|Справка по программе|Разделы/Файлы и папки.htm"
    "ja-cp932|ヘルプ|出力先|ヘルプファイル|資料/ファイル管理.htm"
)
# A name that is not UTF-8 (帮助 in GBK) reaches the Linux tool as bytes only.
[ -n "$windows" ] || table+=("zh-gbk|$(printf '\xb0\xef\xd6\xfa')|$(printf '\xc4\xbf\xb1\xea')|万能文字工具箱帮助|资料/Access管理.htm")
locales=(C C.UTF-8 zh_CN.UTF-8)
[ -z "$windows" ] || locales=(wine)

# The project names files in the code page the help compiler reads: Wine's ANSI code page is GBK.
names_as_utf8() { if [ -n "$windows" ]; then iconv -f GBK -t UTF-8 -c; else cat; fi; }

# run LOCALE ARGS...: the tool under that locale, its output in $work/out and $work/err.
run() {
    local locale=$1
    shift
    if [ "$locale" = wine ]; then "$cli" "$@" >"$work/out" 2>"$work/err"
    else LANG=$locale LC_ALL=$locale "$cli" "$@" >"$work/out" 2>"$work/err"; fi
    local status=$?
    tr -d '\r' <"$work/out" >"$work/out.lf" && mv "$work/out.lf" "$work/out"
    return $status
}

for row in "${table[@]}"; do
    IFS='|' read -r fixture copy destination title page <<<"$row"
    [ -f "$fixtures/text/$fixture.chm" ] || { echo "skipped: $fixture.chm was not made"; continue; }
    file="$work/$copy.chm"
    cp "$fixtures/text/$fixture.chm" "$file"
    folder=${page%/*}
    for locale in "${locales[@]}"; do
        what="$fixture as $(printf '%q' "$copy").chm, $locale"
        dest="$work/$locale/$destination"
        run "$locale" list "$file"
        check "$what: list names the page" test $? -eq 0 -a "$(name=${page##*/} path="${folder//\//\\}\\" \
            awk -F'\t' '$1 == ENVIRON["name"] && $4 == ENVIRON["path"]' "$work/out" | wc -l)" -eq 1
        run "$locale" info "$file"
        check "$what: info shows the title" test $? -eq 0 -a "$(grep -c "^标题: $title\$" "$work/out")" -eq 1
        run "$locale" test "$file"
        check "$what: test finds nothing damaged" test $? -eq 0
        run "$locale" unpack "$file" "$dest/unpacked" --threads 2
        check "$what: unpack writes the page under its name" test $? -eq 0 -a -s "$dest/unpacked/$page"
        run "$locale" project "$file" "$dest/project"
        check "$what: project lists the page as it is named on disk" test $? -eq 0 -a -s "$dest/project/$page" -a \
            -n "$(find "$dest/project" -maxdepth 1 -name '*.hhp' -exec cat {} + | names_as_utf8 | grep -F "$page")"
        # The messages say which file, in characters the terminal shows.
        run "$locale" unpack "$work/缺少 $copy.chm" "$dest/none"
        check "$what: a missing file is exit 1 and one line" test $? -eq 1 -a "$(grep -c . "$work/err")" -eq 1
    done
done

# The user's code page wins over the evidence of the texts, and info says which one it used.
if [ -f "$fixtures/text/zh-utf8.chm" ]; then
    run "${locales[0]}" info --encoding 1252 "$fixtures/text/zh-utf8.chm"
    check "info --encoding 1252 reads the UTF-8 title in it and says so" test $? -eq 0 -a \
        -n "$(grep -x '标题: ä¸‡èƒ½æ–‡å­—å·¥å…·ç®±å¸®åŠ©' "$work/out")" -a -n "$(grep -x '文本按代码页读取: 1252' "$work/out")"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
