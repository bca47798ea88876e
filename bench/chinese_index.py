"""chinese_index.py FOLDER: a Chinese help project whose index is large (60,000 keywords, 8 MB of
UTF-8) and names few pages, many keywords each, for chmcmd to compile into FOLDER/zh-index.chm."""
import os
import sys

PAGES = ["a.htm", "b.htm", "c.htm"]


def sitemap(items):
    rows = ('<li><object type="text/sitemap"><param name="Name" value="%s"><param name="Local" value="%s"></object>'
            % item for item in items)
    return "<html><body><ul>\n" + "\n".join(rows) + "\n</ul></body></html>\n"


def main(folder):
    os.makedirs(folder, exist_ok=True)
    put = lambda name, text: open(os.path.join(folder, name), "w", encoding="utf-8").write(text)
    for page in PAGES:
        put(page, '<html><head><meta charset="utf-8"><title>页面 %s</title></head><body><p>中文帮助 %s</p></body></html>'
            % (page, page))
    put("toc.hhc", sitemap(("第 %s 页" % page, page) for page in PAGES))
    put("index.hhk", sitemap(("关键字第%d个条目说明" % i, PAGES[i % 3]) for i in range(60000)))
    put("project.hhp", "[OPTIONS]\nCompiled file=zh-index.chm\nContents file=toc.hhc\nIndex file=index.hhk\n"
        "Default topic=a.htm\nLanguage=0x804\nTitle=中文索引\n\n[FILES]\n" + "\n".join(PAGES) + "\n")


if __name__ == "__main__":
    main(sys.argv[1])
