#!/usr/bin/env python3
"""site-links-test.py CLI FIXTURES SAMPLES|none

Exports every sample help file and fixture as a site and checks it as a reader would:
linkchecker finds no broken link that the original did not have already (its target is no stream
of the original, as the listing gives them, in any letter case) and that export-report.txt does not list;
every HTML stream of the original is a page of the site, in UTF-8 without a replacement character.
Node runs the scripts the viewer loads for its search box on words typed as a reader types them
(SEARCHES): the box must list exactly the pages whose title or visible text holds what was typed.
The fixtures in Chinese, Japanese and Russian are exported as Markdown and text too: a numbered
file per page, UTF-8, and every Markdown link to a file that is there.
"""
import csv
import html
import json
import re
import io
import os
import shutil
import subprocess
import sys
import tempfile
import unicodedata
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


# Typed as readers type them: Chinese words as an input method commits them (one character, two,
# more, beside Latin letters, fullwidth), Latin words in any case, the last word unfinished. Each
# with a page that holds it (a path under content/, from tests/fixtures and the sample's pages),
# or None where no page holds it: "用法包括" runs across the comma in "用法, 包括".
ZH = [("文件", "资料/文件目录管理.htm"), ("字符串函数", "资料/函数参考/字符串.htm"),
      ("串", "资料/函数参考/字符串.htm"), ("aCCESS管理", "资料/Access管理.htm"), ("Ｅｎｇｌ", "english.htm"),
      ("用法包括", None), ("zebra", None)]
SEARCHES = {
    "zh-gbk.chm": ZH, "zh-utf8.chm": ZH,
    "ru-cp1251.chm": [("СпРАВКА", "Главная.htm")],
    "ja-cp932.chm": [("ファイル管理", "資料/ファイル管理.htm")],
    "varied.chm": [("中文内容", "说明/第二章 附录.htm"), ("第一章", "说明/第一章.htm"),
                   ("章", "说明/第一章.htm"), ("附录", "说明/第二章 附录.htm"), ("FIVE Levels", "docs/a/b/c/d/deep.htm")],
    "topics.classic.chm": [("Shipper", "ShipperAdd.html"), ("adding SHIPPER", "ShipperAdd.html"),
                           ("History list", "BrowserBack.html"), ("xylophone", None)],
}

# The scripts index.html loads, run as a browser would (only what they touch of a page is there);
# each query is typed into the search box.
SEARCH_BOX = r"""
const fs = require("fs"), path = require("path"), vm = require("vm");
const [site, queries] = [process.argv[1], JSON.parse(process.argv[2])];
const doc = {createElement: element, createTextNode: text => ({text})};
function element(tag) {
  return {tag, value: "", children: [], listeners: {}, ownerDocument: doc,
          get firstChild() { return this.children[0] || null; },
          appendChild(child) { this.children.push(child); },
          removeChild(child) { this.children.splice(this.children.indexOf(child), 1); },
          addEventListener(type, listener) { this.listeners[type] = listener; }};
}
const context = vm.createContext({});
for (const [, src] of fs.readFileSync(path.join(site, "index.html"), "utf8").matchAll(/<script src="([^"]+)"/g))
  vm.runInContext(fs.readFileSync(path.join(site, src), "utf8"), context, {filename: src});
const input = element("input"), output = element("div");
context.tarnwickSearchInto(input, output);
function type(query) { input.value = query; input.listeners.input(); }
input.listeners.compositionstart();
type(queries[0]);
const whileComposing = output.children.length;
input.listeners.compositionend();
const results = queries.map(query => {
  type(query);
  const list = output.children[1];
  return {hits: context.tarnwickSearchFind(query),
          links: list ? list.children.map(item => [item.children[0].href, item.children[0].target]) : []};
});
console.log(JSON.stringify({whileComposing, pages: context.tarnwickSearch.pages, results}));
"""


def visible_text(page):
    """What a browser shows of the page, near enough for the words a search looks for."""
    page = re.sub(r"(?is)<(script|style|title|iframe|noembed|noframes)\b.*?</\1\s*>", " ", page)
    return html.unescape(re.sub(r"(?is)<!--.*?-->|<[!/?a-z][^>]*>", " ", page))


CJK = "\u3040-\u30ff\u3400-\u9fff"


def holds(text, query):
    """Whether text holds every word of the query, the last one at least begun, and each Chinese or
    Japanese run of it as typed."""
    query, text = unicodedata.normalize("NFKC", query).lower(), text.lower()
    for part in re.findall(f"[{CJK}]+|[^\\W_{CJK}]+", query):
        if re.match(f"[{CJK}]", part):
            pattern = re.escape(part)
        else:
            pattern = r"(?<![^\W_])" + re.escape(part) + ("" if query.endswith(part) else r"(?![^\W_])")
        if not re.search(pattern, text):
            return False
    return True


def check_search(chm, site):
    searches = SEARCHES[chm.name]
    run = subprocess.run(["node", "-e", SEARCH_BOX, str(site), json.dumps([query for query, _ in searches])],
                         capture_output=True, text=True, timeout=60)
    if run.returncode != 0:
        return failures.append(f"{chm.name}: the search box failed: {run.stderr.strip()}")
    box = json.loads(run.stdout)
    if box["whileComposing"]:
        failures.append(f"{chm.name}: the search box listed pages for what an input method was still composing")
    # A page's url is relative to index.html: one that leads to no page fails here.
    texts = {url: title + " " + visible_text((site / unquote(url)).read_text(encoding="utf-8"))
             for title, url in box["pages"]}
    for (query, known), result in zip(searches, box["results"]):
        urls = [box["pages"][hit][1] for hit in result["hits"]]
        found = sorted(unquote(url) for url in urls)
        holding = sorted(unquote(url) for url in texts if holds(texts[url], query))
        if found != holding:
            failures.append(f"{chm.name}: {query} finds {found}, the pages that hold it are {holding}")
        if (known is None) != (not found) or known and f"content/{known}" not in found:
            failures.append(f"{chm.name}: {query} finds {found}, not {known or 'nothing'}")
        if result["links"] != [[url, "topic"] for url in urls[:200]]:
            failures.append(f"{chm.name}: the search box lists {result['links']} for {query}, not the pages found")


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
    if chm.name in SEARCHES:
        check_search(chm, site)
    shutil.rmtree(site.parent)

# A fixture renamed or gone would take its searches with it.
for name in set(SEARCHES) - {chm.name for chm in help_files} - ({"topics.classic.chm"} if samples == "none" else set()):
    failures.append(f"{name}: not exported, so its searches were not tried")

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
