#!/usr/bin/env python3
"""check-zip.py ZIP OBJDUMP: checks the shipped zip of the 32-bit Windows build.

It must hold exactly the five files under one folder named after the zip and stay under 1.5 MB,
the programs must be 32-bit, carry no debug information and import only DLLs that every Windows
has, and each text file must be in the encoding its reader expects: tips.txt in GBK (the tips dialog reads it in the ANSI code page), README.txt
in UTF-8 with a BOM (Notepad needs the BOM to pick UTF-8).
"""
import os
import subprocess
import sys
import tempfile
import zipfile

EXPECTED = {"Tarnwick.exe", "tarnwick-cli.exe", "tips.txt", "TARNHelp.chm", "README.txt"}
MOST_BYTES = 1536 * 1024

# DLLs that ship with Windows itself. A DLL outside this list would have to travel with the zip.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll",
    "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "uxtheme.dll",
    "version.dll",
}


def problems_of(zip_path, objdump):
    name = os.path.basename(zip_path)
    if not name.endswith("-win32.zip"):
        return ["%s: the name does not end in -win32.zip" % name]
    folder = name[: -len("-win32.zip")] + "/"
    found = []
    if os.path.getsize(zip_path) > MOST_BYTES:
        found.append("%s: %d bytes, more than %d" % (name, os.path.getsize(zip_path), MOST_BYTES))
    with zipfile.ZipFile(zip_path) as archive:
        bad = archive.testzip()
        if bad:
            found.append("%s: damaged member %s" % (name, bad))
        members = archive.namelist()
        files = {m[len(folder):] for m in members if m.startswith(folder) and not m.endswith("/")}
        strays = [m for m in members if not m.startswith(folder)]
        if strays:
            found.append("outside %s: %s" % (folder, ", ".join(sorted(strays))))
        if files != EXPECTED:
            found.append("files: missing %s, unexpected %s"
                         % (sorted(EXPECTED - files) or "none", sorted(files - EXPECTED) or "none"))
        with tempfile.TemporaryDirectory() as tmp:
            archive.extractall(tmp)
            root = os.path.join(tmp, folder)
            found += text_problems(root)
            found += program_problems(root, objdump)
    return found


def read(root, name):
    path = os.path.join(root, name)
    return open(path, "rb").read() if os.path.exists(path) else None


def text_problems(root):
    found = []
    tips = read(root, "tips.txt")
    if tips is not None:
        if tips.startswith(b"\xef\xbb\xbf"):
            found.append("tips.txt starts with a UTF-8 BOM; the tips dialog would show it as text")
        try:
            tips.decode("gbk")
        except UnicodeDecodeError as error:
            found.append("tips.txt is not GBK: %s" % error)
        try:
            tips.decode("utf-8")
            found.append("tips.txt decodes as UTF-8: the UTF-8 source was shipped instead of GBK")
        except UnicodeDecodeError:
            pass
    readme = read(root, "README.txt")
    if readme is not None:
        if not readme.startswith(b"\xef\xbb\xbf"):
            found.append("README.txt has no UTF-8 BOM")
        try:
            readme.decode("utf-8")
        except UnicodeDecodeError as error:
            found.append("README.txt is not UTF-8: %s" % error)
    for name, data in (("tips.txt", tips), ("README.txt", readme)):
        if data is not None and data.replace(b"\r\n", b"").count(b"\n"):
            found.append("%s has line ends without CR (old Notepad shows one long line)" % name)
    chm = read(root, "TARNHelp.chm")
    if chm is not None and not chm.startswith(b"ITSF"):
        found.append("TARNHelp.chm is not a compiled help file")
    return found


def program_problems(root, objdump):
    found = []
    for name in ("Tarnwick.exe", "tarnwick-cli.exe"):
        path = os.path.join(root, name)
        if not os.path.exists(path):
            continue
        header = subprocess.run([objdump, "-p", path], capture_output=True, text=True)
        if header.returncode != 0:
            found.append("%s: %s failed: %s" % (name, objdump, header.stderr.strip()))
            continue
        if "file format pei-i386" not in header.stdout:
            found.append("%s is not a 32-bit Windows program" % name)
        sections = subprocess.run([objdump, "-h", path], capture_output=True, text=True).stdout
        if ".debug_" in sections:
            found.append("%s carries debug information" % name)
        dlls = {line.split(":", 1)[1].strip() for line in header.stdout.splitlines()
                if line.strip().startswith("DLL Name:")}
        if not dlls:
            found.append("%s: objdump shows no imported DLL at all" % name)
        foreign = sorted(d for d in dlls if d.lower() not in SYSTEM_DLLS)
        if foreign:
            found.append("%s needs DLLs that Windows does not have: %s" % (name, ", ".join(foreign)))
        print("check-zip.py: %s imports %s" % (name, ", ".join(sorted(dlls))))
    return found


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[0], file=sys.stderr)
        return 2
    zip_path, objdump = sys.argv[1], sys.argv[2]
    found = problems_of(zip_path, objdump)
    for problem in found:
        print("check-zip.py: %s" % problem, file=sys.stderr)
    if found:
        return 1
    print("check-zip.py: %s holds the %d expected files" % (os.path.basename(zip_path), len(EXPECTED)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
