#!/usr/bin/env python3
"""site-links-test.py CLI FIXTURES SAMPLES|none

Exports every sample help file and fixture as a site and checks it as a reader would:
linkchecker finds no broken link that the original did not have already (its target is no stream
of the original, as the listing gives them, in any letter case) and that export-report.txt does not list;
every HTML stream of the original is a page of the site, in UTF-8 without a replacement character.
The fixtures in Chinese, Japanese and Russian are exported as Markdown and text too: a numbered
file per page, UTF-8, and every Markdown link to a file that is there.
"""
import csv
import re
import io
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path
from urllib.parse import unquote, urlparse

cli, fixtures, samples = sys.argv[1], Path(sys.argv[2]), sys.argv[3]
help_files = sorted(fixtures.glob("*.chm")) + sorted((fixtures / "text").glob("*.chm"))
if samples != "none":
    help_files = sorted(Path(samples).glob("*.chm")) + help_files
failures = []


def streams(chm):
    """The original's streams, "/"-separated and lower-cased, as the listing (itself checked against 7zz) gives them."""
    listing = subprocess.run([cli, "list", str(chm)], capture_output=True, text=True, check=True).stdout
    rows = [line.split("\t") for line in listing.splitlines()]
    return {(folder + name).replace("\\", "/").lower() for name, _, _, folder in rows}


def broken_links(site):
    run = subprocess.run(["linkchecker", "--no-status", "--no-warnings", "-o", "csv", (site / "index.html").as_uri()]
                         + [p.as_uri() for p in sorted((site / "content").rglob("*.htm*"))],
                         capture_output=True, text=True)
    rows = csv.DictReader(io.StringIO("\n".join(l for l in run.stdout.splitlines() if not l.startswith("#"))),
                          delimiter=";")
    return [row for row in rows if row["valid"] == "False"]


for chm in help_files:
    site = Path(tempfile.mkdtemp()) / "site"
    export = subprocess.run([cli, "export", str(chm), str(site)], capture_output=True, text=True)
    if export.returncode != 0:
        failures.append(f"{chm.name}: export exit {export.returncode}: {export.stderr.strip()}")
        continue
    subprocess.run(["chmod", "-R", "a+rX", str(site.parent)], check=True)  # linkchecker drops root
    original = streams(chm)
    report = (site / "export-report.txt").read_text(encoding="utf-8-sig", errors="replace")
    for row in broken_links(site):
        target = Path(unquote(urlparse(row["url"]).path))
        parent = Path(unquote(urlparse(row["parentname"]).path))
        try:
            inside = target.relative_to(site / "content").as_posix().lower()
        except ValueError:
            inside = None
        page = parent.relative_to(site / "content").as_posix().replace("/", "\\") if parent != site / "index.html" else ""
        if inside in original:
            failures.append(f"{chm.name}: {parent.name} -> {row['urlname']} is broken, the original holds {inside}")
        elif not any(line.startswith(f"  {page} -> ") and line.endswith(row["urlname"]) for line in report.splitlines()):
            failures.append(f"{chm.name}: {page or 'index.html'} -> {row['urlname']} is broken and not reported")
    pages = [p for p in original if p.endswith((".htm", ".html"))]
    missing = [p for p in pages if not any(f.lower() == p for f in
                                           (q.relative_to(site / "content").as_posix() for q in (site / "content").rglob("*")))]
    failures += [f"{chm.name}: page {p} not exported" for p in missing]
    for page in (site / "content").rglob("*.htm*"):
        if "\ufffd" in page.read_bytes().decode("utf-8", errors="replace"):
            failures.append(f"{chm.name}: {page.relative_to(site)} is not UTF-8 or holds U+FFFD")
    shutil.rmtree(site.parent)

def check_topics(chm, format):
    out = Path(tempfile.mkdtemp()) / format
    export = subprocess.run([cli, "export", str(chm), str(out), "--format", format], capture_output=True, text=True)
    topics = sorted(out.glob(f"[0-9][0-9][0-9][0-9] *.{format}"))
    pages = [p for p in streams(chm) if p.endswith((".htm", ".html"))]
    if export.returncode != 0 or len(topics) != len(pages):
        failures.append(f"{chm.name}: --format {format} exit {export.returncode}, {len(topics)} files for {len(pages)} pages")
    for topic in topics:
        text = topic.read_bytes().decode("utf-8", errors="replace")
        if "\ufffd" in text:
            failures.append(f"{chm.name}: {topic.name} is not UTF-8 or holds U+FFFD")
        links = re.findall(r"\]\((?:<([^>]*)>|([^)\s]*))\)", text) if format == "md" else []
        for url in (angled or plain for angled, plain in links):
            if not re.match(r"^[a-z][a-z0-9+.-]*:|^#", url, re.I) and not (out / unquote(url.split("#")[0])).exists():
                failures.append(f"{chm.name}: {topic.name} links to {url}, which is not there")
    shutil.rmtree(out.parent)


for chm in sorted((fixtures / "text").glob("*.chm")):
    check_topics(chm, "md")
    check_topics(chm, "txt")

print(f"{len(help_files)} help files exported and checked")
for failure in failures:
    print(failure)
sys.exit(1 if failures else 0)
