// Links of a page read as the help viewer reads them, against names that came through the real
// walk of a help file, and the relative urls that reach the files unpacking wrote for them.
#include "export/LinkTarget.h"
#include "export/OutputPath.h"
#include "export/PageRewriter.h"
#include "export/RelativeUrl.h"
#include "storage/ChmArchive.h"
#include "storage/ItsStorage.h"
#include "support/ChmBuilder.h"

#include <gtest/gtest.h>

using namespace tarnwick::exporting;
using tarnwick::helpfile::EntryTable;

namespace {

constexpr unsigned kGbk = 936;

EntryTable WalkedTable(const std::vector<BuiltEntry>& entries)
{
    using namespace tarnwick::storage;
    std::shared_ptr<ChmArchive> archive = ChmArchive::Open(MakeMemorySource(BuildChm(entries)));
    if (!archive) return {};
    const ComRef<IStorage> root(new ItsStorage(std::move(archive), DirectoryTree::kRoot));
    return tarnwick::helpfile::ReadEntryTable(root.Get(), tarnwick::helpfile::WalkScope::Listed);
}

struct LinkCase {
    const char* fromPage;
    const char* href;
    LinkKind kind;
    const char* path = "";     // Internal: the entry's output path; Broken: the path looked for
    const char* fragment = "";
    const char* url = "";      // Internal: from the page's output path
};

const LinkCase kLinks[] = {
    // Chinese names as written, escaped as UTF-8, and escaped as GBK by a page from a Chinese system.
    {"说明/第一章.htm", "第二章 附录.htm#附", LinkKind::Internal, "说明/第二章 附录.htm", "#附",
     "%E7%AC%AC%E4%BA%8C%E7%AB%A0%20%E9%99%84%E5%BD%95.htm"},
    {"index.htm", "%E8%AF%B4%E6%98%8E/%E7%AC%AC%E4%B8%80%E7%AB%A0.htm", LinkKind::Internal, "说明/第一章.htm", "",
     "%E8%AF%B4%E6%98%8E/%E7%AC%AC%E4%B8%80%E7%AB%A0.htm"},
    {"index.htm", "%CB%B5%C3%F7/%B5%DA%D2%BB%D5%C2.htm", LinkKind::Internal, "说明/第一章.htm", "",
     "%E8%AF%B4%E6%98%8E/%E7%AC%AC%E4%B8%80%E7%AB%A0.htm"},
    {"Docs/Intro.htm", "../%CB%B5%C3%F7/%B5%DA%B6%FE%D5%C2%20%B8%BD%C2%BC.htm", LinkKind::Internal, "说明/第二章 附录.htm",
     "", "../%E8%AF%B4%E6%98%8E/%E7%AC%AC%E4%BA%8C%E7%AB%A0%20%E9%99%84%E5%BD%95.htm"},
    // Letter case, "..", past the root, ".", backslashes, absolute paths, queries, spaces around.
    {"index.htm", "DOCS/INTRO.HTM", LinkKind::Internal, "Docs/Intro.htm", "", "Docs/Intro.htm"},
    {"Docs/Intro.htm", "..\\images\\logo.gif", LinkKind::Internal, "images/Logo.GIF", "", "../images/Logo.GIF"},
    {"Docs/Intro.htm", "../../../index.htm#top", LinkKind::Internal, "index.htm", "#top", "../index.htm"},
    {"Docs/Intro.htm", "./%2e%2E/index.htm", LinkKind::Internal, "index.htm", "", "../index.htm"},
    {"说明/第一章.htm", "/Docs/Intro.htm?lang=en#x", LinkKind::Internal, "Docs/Intro.htm", "#x", "../Docs/Intro.htm"},
    {"Docs/Intro.htm", " \tIntro.htm\n", LinkKind::Internal, "Docs/Intro.htm", "", "Intro.htm"},
    // A name unpacking had to change: the link names the stream, the url the file written.
    {"index.htm", "a%2541.htm", LinkKind::Internal, "a%2541.htm", "", "a%252541.htm"},
    {"index.htm", "#top", LinkKind::SamePage, "", "#top"},
    {"index.htm", "?q=1", LinkKind::SamePage},
    // The help viewer's own urls, into this file and into others.
    {"index.htm", "ms-its:Guide.chm::/Docs/Intro.htm", LinkKind::Internal, "Docs/Intro.htm", "", "Docs/Intro.htm"},
    {"Docs/Intro.htm", "mk:@MSITStore:guide.CHM::/index.htm#a", LinkKind::Internal, "index.htm", "#a", "../index.htm"},
    {"Docs/Intro.htm", "ITS:guide.chm::images\\logo.gif", LinkKind::Internal, "images/Logo.GIF", "", "../images/Logo.GIF"},
    {"index.htm", "ms-its:C:\\Program Files\\Guide.chm::/%E8%AF%B4%E6%98%8E/%E7%AC%AC%E4%B8%80%E7%AB%A0.htm",
     LinkKind::Internal, "说明/第一章.htm", "", "%E8%AF%B4%E6%98%8E/%E7%AC%AC%E4%B8%80%E7%AB%A0.htm"},
    {"说明/第一章.htm", "GUIDE.chm::/index.htm", LinkKind::Internal, "index.htm", "", "../index.htm"},
    {"index.htm", "ms-its:other.chm::/index.htm", LinkKind::OtherHelpFile},
    {"index.htm", "mk:@MSITStore:C:\\x\\guide2.chm::/index.htm", LinkKind::OtherHelpFile},
    {"index.htm", "other.chm::/index.htm", LinkKind::OtherHelpFile},
    {"Docs/Intro.htm", "missing.htm#x", LinkKind::Broken, "Docs/missing.htm"},
    {"index.htm", "ms-its:guide.chm::/nothing.htm", LinkKind::Broken, "nothing.htm"},
    {"index.htm", "http://example.com/a.htm", LinkKind::External},
    {"index.htm", "HTTPS://example.com/", LinkKind::External},
    {"index.htm", "ftp://example.com/x", LinkKind::External},
    {"index.htm", "mailto:a@example.com", LinkKind::External},
    {"index.htm", "javascript:void(0)", LinkKind::External},
    {"index.htm", "data:image/gif;base64,R0lGOD", LinkKind::External},
    {"index.htm", "file:///C:/help/index.htm", LinkKind::External},
    {"index.htm", "//server/share/index.htm", LinkKind::External},
    {"index.htm", "C:\\help\\index.htm", LinkKind::External},
    {"index.htm", "http://example.com/guide.chm::/index.htm", LinkKind::External},
};

TEST(Link, ResolvesEachFormAndReachesTheFileWritten)
{
    const EntryTable table = WalkedTable({{"/index.htm"},
                                          {"/Docs/Intro.htm"},
                                          {"/说明/第一章.htm"},
                                          {"/说明/第二章 附录.htm"},
                                          {"/images/Logo.GIF"},
                                          {"/a%41.htm"}});
    ASSERT_EQ(table.Size(), 6u);
    const PageNames names(table, "guide.chm", kGbk);

    for (const LinkCase& link : kLinks) {
        SCOPED_TRACE(std::string(link.fromPage) + " -> " + link.href);
        const std::optional<std::size_t> from = names.Find(link.fromPage);
        ASSERT_TRUE(from.has_value());
        const LinkTarget target = ResolveLink(names, link.fromPage, link.href);
        ASSERT_EQ(target.kind, link.kind);
        EXPECT_EQ(target.fragment, link.fragment);
        if (target.kind == LinkKind::Broken) {
            EXPECT_EQ(target.path, link.path);
        }
        if (target.kind != LinkKind::Internal) continue;
        ASSERT_LT(target.entry, table.Size());
        EXPECT_EQ(OutputPath(table, target.entry), link.path);
        EXPECT_EQ(RelativeUrl(OutputPath(table, *from), OutputPath(table, target.entry)), link.url);
    }
}

TEST(Link, RelativeUrlClimbsOnlyOutOfFoldersNotShared)
{
    struct UrlCase {
        const char* from;
        const char* to;
        const char* url;
    };
    const UrlCase cases[] = {
        {"a/b/c.htm", "a/d/e f#?%&'().htm", "../d/e%20f%23%3F%25%26%27%28%29.htm"},
        {"ab/c.htm", "a/c.htm", "../a/c.htm"},
        {"a/x.htm", "a", "../a"},
        {"x.htm", "x.htm", "x.htm"},
        {"a/b/x.htm", "c:d\x01\\é.htm", "../../c%3Ad%01%5C%C3%A9.htm"},
    };
    for (const UrlCase& c : cases) EXPECT_EQ(RelativeUrl(c.from, c.to), c.url) << c.from << " -> " << c.to;
}

// Pages of a GBK help file as export writes them: UTF-8, declared so, links reaching the files.
struct PageCase {
    const char* page;     // the page's internal path
    std::string bytes;
    std::string expected;
    std::vector<std::string> kept = {}; // links kept as written and reported
};

const std::string kGbkChapter = "\xB5\xDA\xD2\xBB\xD5\xC2"; // 第一章
const std::string kUtf8Chapter = "\xE7\xAC\xAC\xE4\xB8\x80\xE7\xAB\xA0";
const std::string kChapterUrl = "%E7%AC%AC%E4%B8%80%E7%AB%A0.htm";

const PageCase kPages[] = {
    // The page's own declaration, http-equiv form, its text and the link's GBK name read in it.
    {"index.htm",
     "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\"></head><body>" + kGbkChapter +
         "<a href=\"\xCB\xB5\xC3\xF7/" + kGbkChapter + ".htm#p\">x</a></body></html>",
     "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"></head><body>" + kUtf8Chapter +
         "<a href=\"%E8%AF%B4%E6%98%8E/" + kChapterUrl + "#p\">x</a></body></html>"},
    // No declaration: the file's code page, and one inserted first in the head; unquoted values.
    {"Docs/Intro.htm", "<HEAD><TITLE>" + kGbkChapter + "</TITLE></HEAD><img src=..\\images\\logo.gif>",
     "<HEAD><meta charset=\"utf-8\"><TITLE>" + kUtf8Chapter + "</TITLE></HEAD><img src=../images/Logo.GIF>"},
    {"index.htm", "<!DOCTYPE html><p>a</p>", "<!DOCTYPE html><meta charset=\"utf-8\"><p>a</p>"},
    // A doctype that the page ends inside would take in a declaration written after it.
    {"index.htm", "<!DOCTYPE html", "<meta charset=\"utf-8\"><!DOCTYPE html"},
    {"index.htm", "<meta charset=big5><meta charset='utf-8'><meta charset>x",
     "<meta charset=\"utf-8\"><meta charset='utf-8'><meta charset=\"utf-8\">x"},
    // A byte order mark outweighs the declaration; UTF-8 that GBK cannot read is kept as UTF-8.
    {"index.htm", "\xEF\xBB\xBF<meta charset=gbk>" + kUtf8Chapter, "<meta charset=\"utf-8\">" + kUtf8Chapter},
    {"index.htm", "<p>\xE4\xB8\xAD\xE6\x96\x87\xE5\xB8\xAE\xE5\x8A\xA9", "<meta charset=\"utf-8\"><p>\xE4\xB8\xAD\xE6\x96\x87\xE5\xB8\xAE\xE5\x8A\xA9"},
    // Style sheets in the page and in attributes; a value with references is left alone.
    {"Docs/Intro.htm",
     "<style>p{background:url('/images/logo.gif')}</style><p style=\"background:url(../INDEX.HTM)\">"
     "<p style=\"background:url(&quot;../index.htm&quot;)\">",
     "<meta charset=\"utf-8\"><style>p{background:url('../images/Logo.GIF')}</style><p style=\"background:url(../index.htm)\">"
     "<p style=\"background:url(&quot;../index.htm&quot;)\">"},
    // The same link from another folder, right after: it leads elsewhere from there.
    {"index.htm", "<img src='/images/logo.gif'>", "<meta charset=\"utf-8\"><img src='images/Logo.GIF'>"},
    // What stays as written, each time it is met: broken links, other help files, the web, and
    // fragments alone.
    {"index.htm", "<a href=\"gone.htm\">a</a><a href=\"ms-its:other.chm::/a.htm\">b</a><a href=\"http://x/\">c</a><a href=#t>d</a><a href=gone.htm>",
     "<meta charset=\"utf-8\"><a href=\"gone.htm\">a</a><a href=\"ms-its:other.chm::/a.htm\">b</a><a href=\"http://x/\">c</a><a href=#t>d</a><a href=gone.htm>",
     {"gone.htm", "ms-its:other.chm::/a.htm", "gone.htm"}},
    // A fragment that would end the attribute is escaped.
    {"index.htm", "<a href='Docs/Intro.htm#a&#39;b'>x</a>", "<meta charset=\"utf-8\"><a href='Docs/Intro.htm#a%27b'>x</a>"},
};

TEST(Page, BecomesUtf8WithLinksThatReachTheFilesWritten)
{
    const EntryTable table = WalkedTable({{"/index.htm"}, {"/Docs/Intro.htm"}, {"/说明/第一章.htm"}, {"/images/Logo.GIF"}});
    ASSERT_EQ(table.Size(), 4u);
    const SiteLinks links(table, "guide.chm", kGbk, "content");
    const tarnwick::helpfile::TextEncoding encoding(kGbk);
    LinkCache cache(links); // one for all the pages, as for the pages of a help file
    for (const PageCase& c : kPages) {
        SCOPED_TRACE(c.bytes);
        const std::optional<std::size_t> entry = links.Find(c.page);
        ASSERT_TRUE(entry.has_value());
        const RewrittenPage page = RewritePage(cache, *entry, c.bytes, encoding);
        EXPECT_EQ(page.html, c.expected);
        std::vector<std::string> kept;
        for (const LinkProblem& problem : page.problems) kept.push_back(problem.href);
        EXPECT_EQ(kept, c.kept);
    }
    std::vector<LinkProblem> problems;
    EXPECT_EQ(RewriteStyleSheet(links, *links.Find("Docs/Intro.htm"), "a{b:url(\"../images/logo.gif\")} @import 'x.css';", problems),
              "a{b:url(\"../images/Logo.GIF\")} @import 'x.css';");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].href, "x.css");
}

} // namespace
