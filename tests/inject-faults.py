#!/usr/bin/env python3
"""inject-faults.py [--only NAME ...] [TREE]

Injects each one-line fault of tests/faults.txt into TREE (a checkout of the project; the repository
itself by default), rebuilds the folders whose suites could catch it, runs them, and prints the
tests that failed. Windows code is checked by the win64 suite, the portable core by the native
suite and then, if that passed, by the fixed-seed fuzz runs. TREE is restored after each fault.
The Windows tests need DISPLAY (scripts/test.sh starts an Xvfb; so does xvfb-run).
"""
import re
import subprocess
import sys
from pathlib import Path

WINDOWS_ONLY = ("src/view/", "src/unpackdialog/", "src/app/", "src/framework/", "src/engine/platform/Windows")


def failing_tests(tree, folder):
    if subprocess.run(["bash", "scripts/build.sh", folder], cwd=tree, capture_output=True).returncode != 0:
        return ["(build failed)"]
    # The quick programs first: the command-line comparison takes longest.
    for selection in (["-E", "cli_tests"], ["-R", "cli_tests"]):
        run = subprocess.run(["ctest", "--test-dir", f"build/{folder}", "--stop-on-failure", "--output-on-failure",
                              "-j", "2", *selection], cwd=tree, capture_output=True, text=True, errors="replace")
        failed = (re.findall(r"^\s*\d+ - (\S+) \(", run.stdout, re.M) +
                  sorted(set(re.findall(r"^\[  FAILED  \] ([\w/.]+)", run.stdout, re.M))))
        if failed:
            return failed
    return []


def check(tree, name, file, old, new):
    source = tree / file
    original = source.read_text(encoding="utf-8")
    if original.count(old) != 1:
        return "(the line is not there exactly once)"
    source.write_text(original.replace(old, new), encoding="utf-8")
    try:
        for folder in ["win64"] if file.startswith(WINDOWS_ONLY) else ["native", "fuzz"]:
            failed = failing_tests(tree, folder)
            if failed:
                return f"caught by {folder}: {' '.join(failed)}"
        return "MISSED"
    finally:
        source.write_text(original, encoding="utf-8")


def main(args):
    only = [args[i + 1] for i in range(len(args) - 1) if args[i] == "--only"]
    rest = [a for i, a in enumerate(args) if a != "--only" and (i == 0 or args[i - 1] != "--only")]
    tree = Path(rest[0] if rest else Path(__file__).resolve().parent.parent).resolve()
    text = (Path(__file__).resolve().parent / "faults.txt").read_text(encoding="utf-8")
    missed = 0
    for name, file, old, new in re.findall(r"^@ (\S+) (\S+)\n- (.*)\n\+ (.*)$", text, re.M):
        if only and name not in only:
            continue
        verdict = check(tree, name, file, old, new)
        missed += verdict.startswith(("MISSED", "("))
        print(f"{name:34} {verdict}", flush=True)
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
