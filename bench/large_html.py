"""large_html.py large ROOT: the benchmarks' large fixture, about 150 MB in 20,000 pages over 100
folders, sized like real topics, written for tests/fixtures/make-fixtures.sh --large to compile."""
import os, random, sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fixtures"))
import fixture_html  # noqa: E402
from fixture_html import Prose  # noqa: E402


def large(put):
    # Listed folder by folder, as help projects are, so that a folder's pages lie together in the
    # compressed data.
    prose = Prose(4, 6000)
    rng = random.Random(4242)
    put("index.htm", prose.page("Large", 2000))
    for i in range(20000):
        size = min(60000, max(400, int(rng.lognormvariate(8.75, 0.6))))
        put("folder-%03d/page-%05d.htm" % (i // 200, i), prose.page("Page %d" % i, size))


if __name__ == "__main__":
    fixture_html.main({"large": large})
