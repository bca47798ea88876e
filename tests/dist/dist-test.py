#!/usr/bin/env python3
"""dist-test.py CLI CHM HELP_SOURCES TIPS TIPS_SOURCE WIN32_BUILD CHECK_ZIP

Checks what ships beside the programs: the compiled help file (readable by tarnwick-cli and 7-Zip
alike, every page it names present, pages and contents in GBK with the Chinese language id),
tips.txt as the tips dialog reads it, and the zip of the 32-bit build if that build has made one.
"""
import glob
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

(cli, chm, help_src, tips, tips_src, win32_build, check_zip) = sys.argv[1:8]
passed = failed = 0


def check(what, ok, detail=""):
    global passed, failed
    if ok:
        passed += 1
    else:
        failed += 1
        print("FAILED: %s%s" % (what, (": %s" % detail) if detail else ""))


def hidden(path):
    return any(part.startswith(("#", "$")) for part in path.split("/"))


# --- the help file through tarnwick-cli and 7-Zip -------------------------------------------

run = subprocess.run([cli, "list", chm], capture_output=True)
check("tarnwick-cli list TARNHelp.chm exits 0", run.returncode == 0, run.stderr.decode(errors="replace"))
listed = {}
for line in run.stdout.decode("utf-8").splitlines():
    fields = line.split("\t")
    if len(fields) == 4:
        listed[fields[3].replace("\\", "/") + fields[0]] = int(fields[1])

seven = subprocess.run(["7zz", "l", "-slt", chm], capture_output=True, text=True)
check("7zz lists TARNHelp.chm", seven.returncode == 0, seven.stderr)
entries = {}
for block in seven.stdout.split("----------", 1)[-1].split("\n\n"):
    entry = dict(l.split(" = ", 1) for l in block.splitlines() if " = " in l)
    if "Path" in entry:
        entries[entry["Path"]] = int(entry.get("Size") or 0)
# 7-Zip shows a help file's folders as entries of their own, without marking them in this listing.
folders = {p for p in entries if any(q.startswith(p + "/") for q in entries)}
oracle = {p: size for p, size in entries.items() if p not in folders and not hidden(p)}
check("tarnwick-cli and 7zz list the same streams with the same sizes", listed == oracle and listed,
      "only tarnwick-cli: %s; only 7zz: %s" % (sorted(set(listed.items()) - set(oracle.items())),
                                               sorted(set(oracle.items()) - set(listed.items()))))

sources = {os.path.basename(p): open(p, encoding="utf-8").read()
           for p in glob.glob(os.path.join(help_src, "*")) if p.endswith((".htm", ".css", ".hhc", ".hhk", ".hhp"))}
project = sources.get("TARNHelp.hhp", "")
named_files = re.search(r"\[FILES\]\n(.*?)(\n\[|\Z)", project, re.S)
named = set(named_files.group(1).split()) if named_files else set()
check("the project names its pages", len(named) >= 10, sorted(named))
targets = {}  # page -> anchors that something points at
for name, text in sources.items():
    links = re.findall(r'<param name="Local" value="([^"]*)"', text) + re.findall(r'(?:href|src)="([^"]*)"', text)
    for link in links:
        if re.match(r"[a-z]+:", link):
            continue
        page, _, anchor = link.partition("#")
        targets.setdefault(page or name, set()).update({anchor} - {""})
for option in ("Contents file", "Index file", "Default topic"):
    value = re.search(r"^%s=(.*)$" % option, project, re.M)
    check("the project sets %s" % option, value is not None)
    if value:
        targets.setdefault(value.group(1).strip(), set())
missing = sorted((named | set(targets)) - set(listed))
check("every page the project, the contents, the index and the pages name is in the file", not missing, missing)
for page, anchors in sorted((p, a) for p, a in targets.items() if a):
    text = sources.get(page, "")
    undefined = sorted(a for a in anchors if not re.search(r'(?:id|name)="%s"' % re.escape(a), text))
    check("the anchors that point into %s exist" % page, not undefined, undefined)

work = tempfile.mkdtemp()
try:
    extracted = os.path.join(work, "chm")
    x = subprocess.run(["7zz", "x", "-y", chm, "-o" + extracted], capture_output=True, text=True)
    check("7zz extracts TARNHelp.chm", x.returncode == 0, x.stderr)
    for name, text in sorted(sources.items()):
        if name.endswith(".hhp"):
            continue
        path = os.path.join(extracted, name)
        data = open(path, "rb").read() if os.path.exists(path) else b""
        expected = text.replace("charset=utf-8", "charset=gb2312") if name.endswith(".htm") else text
        try:
            shipped = data.decode("gbk")
        except UnicodeDecodeError as error:
            shipped = "not GBK: %s" % error
        check("%s in the help file is its source in GBK" % name, shipped == expected, shipped[:80])
        if name.endswith(".htm"):
            check("%s declares gb2312" % name, b"charset=gb2312" in data)

    system = os.path.join(extracted, "#SYSTEM")
    records = {}
    if os.path.exists(system):
        data = open(system, "rb").read()
        at = 4
        while at + 4 <= len(data):
            code, size = struct.unpack_from("<HH", data, at)
            records[code] = data[at + 4:at + 4 + size]
            at += 4 + size
    lcid = struct.unpack_from("<I", records[4])[0] if len(records.get(4, b"")) >= 4 else None
    check("the help file's language is Chinese (PRC), 0x804", lcid == 0x804, lcid and hex(lcid))
    check("the viewer finds the contents file", records.get(0, b"").rstrip(b"\0") == b"TARNHelp.hhc")
    check("the viewer finds the index file", records.get(1, b"").rstrip(b"\0") == b"TARNHelp.hhk")
    check("the viewer's title reads in GBK", records.get(3, b"").rstrip(b"\0").decode("gbk", "replace") == "Tarnwick 帮助")

    # --- tips.txt as the tips dialog reads it ---------------------------------------------

    raw = open(tips, "rb").read()
    check("tips.txt has no BOM (the dialog would show it as the first tip's start)", not raw.startswith(b"\xef\xbb\xbf"))
    check("tips.txt ends every line with CR LF", raw.endswith(b"\r\n") and raw.count(b"\n") == raw.count(b"\r\n"))
    try:
        decoded = raw.decode("gbk")
    except UnicodeDecodeError as error:
        decoded = None
        check("tips.txt is GBK", False, str(error))
    check("tips.txt says what res/tips.txt says", decoded is not None and
          decoded.replace("\r\n", "\n") == open(tips_src, encoding="utf-8").read())
    # Text mode drops the CR; fgets reads at most 999 characters, the line feed included.
    lines = raw.replace(b"\r\n", b"\n").split(b"\n")[:-1]
    tip_lines = [l for l in lines if l and l[:1] not in (b" ", b"\t", b";")]
    comments = [l for l in lines if l[:1] in (b" ", b"\t", b";")]
    check("tips.txt has at least 12 tips", len(tip_lines) >= 12, len(tip_lines))
    check("tips.txt explains itself in comment lines", len(comments) >= 1)
    too_long = [l.decode("gbk", "replace")[:20] for l in lines if len(l) + 1 > 999]
    check("every line of tips.txt fits one read of the dialog (998 bytes)", not too_long, too_long)
    # The tip box is 177 x 60 dialog units in 9-point SimSun: about 22 Chinese characters a line,
    # 7 lines. 250 bytes (125 Chinese characters) leaves room for where the lines break.
    crowded = [l.decode("gbk", "replace")[:20] for l in tip_lines if len(l) > 250]
    check("every tip fits the dialog's tip box (250 bytes)", not crowded, crowded)
    check("no tip starts with a full-width space (looks like a comment, is not one)",
          not [l for l in tip_lines if l.startswith("\u3000".encode("gbk"))])

    # --- the zip of the 32-bit build --------------------------------------------------------

    zips = sorted(glob.glob(os.path.join(win32_build, "Tarnwick-*-win32.zip")))
    objdump = shutil.which("i686-w64-mingw32-objdump")
    if not zips or not objdump:
        print("SKIPPED: no zip in %s (scripts/build.sh win32 makes one)" % win32_build)
    else:
        check("build/win32 holds one zip", len(zips) == 1, zips)
        good = subprocess.run([sys.executable, check_zip, zips[-1], objdump], capture_output=True, text=True)
        check("check-zip.py accepts %s" % os.path.basename(zips[-1]), good.returncode == 0, good.stderr)

        # The same checker must turn away a zip with the usual packing mistakes.
        doctored = os.path.join(work, os.path.basename(zips[-1]))
        with zipfile.ZipFile(zips[-1]) as source, zipfile.ZipFile(doctored, "w") as target:
            for item in source.infolist():
                if item.filename.endswith("README.txt"):
                    continue
                data = source.read(item)
                if item.filename.endswith("tips.txt"):
                    data = open(tips_src, "rb").read()
                target.writestr(item, data)
            folder = source.namelist()[0].split("/")[0]
            target.writestr(folder + "/libstdc++-6.dll", b"MZ")
        bad = subprocess.run([sys.executable, check_zip, doctored, objdump], capture_output=True, text=True)
        check("check-zip.py turns away a zip with a missing read-me, a UTF-8 tips.txt and a stray DLL",
              bad.returncode == 1 and "README.txt" in bad.stderr and "libstdc++-6.dll" in bad.stderr
              and "tips.txt decodes as UTF-8" in bad.stderr, bad.stderr)
finally:
    shutil.rmtree(work)

print("%d passed, %d failed" % (passed, failed))
sys.exit(1 if failed else 0)
