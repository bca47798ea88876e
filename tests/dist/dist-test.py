#!/usr/bin/env python3
"""dist-test.py CHM HELP_SOURCES TIPS TIPS_SOURCE

What ships beside the programs, as its readers read it: the help file's pages and contents in GBK
under the Chinese language id, as the help viewer expects them, and tips.txt as the tips dialog
reads it. (Broken links fail the build itself, and the zip is checked where it is made.)
"""
import glob, os, shutil, struct, subprocess, sys, tempfile

(chm, help_src, tips, tips_src) = sys.argv[1:5]
failures = []


def check(what, ok):
    if not ok:
        failures.append(what)
        print("FAILED: " + what)


work = tempfile.mkdtemp()
try:
    check("7zz extracts the help file", subprocess.run(["7zz", "x", "-y", chm, "-o" + work], capture_output=True).returncode == 0)
    for path in sorted(glob.glob(os.path.join(help_src, "*.htm")) + glob.glob(os.path.join(help_src, "*.hh[ck]"))):
        shipped = os.path.join(work, os.path.basename(path))
        text = open(path, encoding="utf-8").read().replace("charset=utf-8", "charset=gb2312")
        check("%s is its source in GBK" % path, os.path.exists(shipped) and open(shipped, "rb").read().decode("gbk", "replace") == text)
    data = open(os.path.join(work, "#SYSTEM"), "rb").read() if os.path.exists(os.path.join(work, "#SYSTEM")) else b""
    records, at = {}, 4
    while at + 4 <= len(data):
        code, size = struct.unpack_from("<HH", data, at)
        records[code] = data[at + 4:at + 4 + size].rstrip(b"\0")
        at += 4 + size
    check("the language is Chinese (PRC)", records.get(4, b"")[:4] == struct.pack("<I", 0x804))
    check("the viewer finds the contents and the index", (records.get(0), records.get(1)) == (b"TARNHelp.hhc", b"TARNHelp.hhk"))
    check("the viewer's title reads in GBK", records.get(3, b"").decode("gbk", "replace") == "Tarnwick 帮助")
finally:
    shutil.rmtree(work)

raw = open(tips, "rb").read()
check("tips.txt has no BOM", not raw.startswith(b"\xef\xbb\xbf"))
check("tips.txt ends every line with CR LF", raw.endswith(b"\r\n") and raw.count(b"\n") == raw.count(b"\r\n"))
check("tips.txt is res/tips.txt in GBK", raw.decode("gbk", "replace").replace("\r\n", "\n") == open(tips_src, encoding="utf-8").read())
# fgets reads at most 999 characters, the line feed included; the tip box holds about 250 bytes.
tip_lines = [l for l in raw.split(b"\r\n")[:-1] if l and l[:1] not in (b" ", b"\t", b";")]
check("at least 12 tips, each fitting the dialog", len(tip_lines) >= 12 and all(len(l) <= 250 for l in tip_lines))
sys.exit(1 if failures else 0)
