#!/usr/bin/env python3
"""inject-faults.py [--only NAME ...] [TREE]

Injects each one-line fault of tests/faults.txt into TREE (a checkout of the project; the repository
itself by default), rebuilds the folders whose suites could catch it, runs them, and prints the
tests that failed. Windows code is checked by the win64 suite, the portable core by the native
suite and then, if that passed, by the fixed-seed fuzz runs. TREE is restored after each fault.
Needs DISPLAY for the Windows tests (scripts/test.sh starts an Xvfb; so does xvfb-run).
"""
import re
import subprocess
import sys
from pathlib import Path

WINDOWS_ONLY = ("src/view/", "src/unpack/", "src/app/", "src/framework/", "src/archive/platform/Windows")


def read_faults(path):
    faults = []
    for line in path.read_text(encoding="utf-8").splitlines():
        if line.startswith("@ "):
            name, file = line[2:].split(" ", 1)
            faults.append({"name": name, "file": file})
        elif line.startswith(("- ", "+ ")):
            faults[-1]["old" if line[0] == "-" else "new"] = line[2:]
    return faults


def failing_tests(tree, folder):
    build = subprocess.run(["bash", "scripts/build.sh", folder], cwd=tree, capture_output=True, text=True)
    if build.returncode != 0:
        return ["(build failed)"]
    run = subprocess.run(["ctest", "--test-dir", f"build/{folder}", "--stop-on-failure", "-j", "2"],
                         cwd=tree, capture_output=True, text=True)
    return re.findall(r"^\s*\d+ - (\S+) \(", run.stdout, re.MULTILINE)


def check(tree, fault):
    source = tree / fault["file"]
    original = source.read_text(encoding="utf-8")
    if original.count(fault["old"]) != 1:
        return "(the line is not there exactly once)"
    source.write_text(original.replace(fault["old"], fault["new"]), encoding="utf-8")
    try:
        folders = ["win64"] if fault["file"].startswith(WINDOWS_ONLY) else ["native", "fuzz"]
        for folder in folders:
            failed = failing_tests(tree, folder)
            if failed:
                return f"caught by {folder}: {' '.join(failed)}"
        return "MISSED"
    finally:
        source.write_text(original, encoding="utf-8")


def main(args):
    only = []
    while args[:1] == ["--only"]:
        only.append(args[1])
        args = args[2:]
    tree = Path(args[0] if args else Path(__file__).resolve().parent.parent).resolve()
    faults = read_faults(Path(__file__).resolve().parent / "faults.txt")
    missed = 0
    for fault in faults:
        if only and fault["name"] not in only:
            continue
        verdict = check(tree, fault)
        missed += verdict.startswith(("MISSED", "("))
        print(f"{fault['name']:34} {verdict}", flush=True)
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
