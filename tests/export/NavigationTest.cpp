// The contents and keyword index of a help file read into trees, from sitemaps as compilers and
// editors write them and from the binary forms, and shown as the lists of an exported site.
#include "export/Navigation.h"
#include "export/NavigationHtml.h"
#include "storage/ChmArchive.h"
#include "storage/ComRef.h"
#include "storage/ItsStorage.h"
#include "support/ChmBuilder.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

using namespace tarnwick::exporting;

namespace {

// "Title(local|topic:local)~seeAlso[child,child]", each part only when there is one.
std::string Shape(const NavigationItem& item)
{
    std::string shape = item.title;
    for (std::size_t i = 0; i < item.links.size(); ++i) {
        const NavigationLink& link = item.links[i];
        shape += (i == 0 ? "(" : "|") + (link.title.empty() ? "" : link.title + ":") + link.local;
    }
    if (!item.links.empty()) shape += ")";
    if (!item.seeAlso.empty()) shape += "~" + item.seeAlso;
    for (std::size_t i = 0; i < item.children.size(); ++i) shape += (i == 0 ? "[" : ",") + Shape(item.children[i]);
    if (!item.children.empty()) shape += "]";
    return shape;
}

std::string ChildrenShape(const NavigationItem& root)
{
    const std::string shape = Shape(root);
    return shape.empty() ? shape : shape.substr(1, shape.size() - 2);
}

std::string Item(const std::string& params) { return "<LI><OBJECT type=\"text/sitemap\">" + params + "</OBJECT>\n"; }
std::string Name(const std::string& value) { return "<param name=\"Name\" value=\"" + value + "\">"; }
std::string Local(const std::string& value) { return "<param name=\"Local\" value=\"" + value + "\">"; }

struct SitemapCase {
    const char* what;
    std::string sitemap;
    const char* shape;
};

TEST(SitemapTest, ReadsTheTreesCompilersAndEditorsWrite)
{
    const SitemapCase cases[] = {
        {"nested lists", "<UL>" + Item(Name("A") + Local("a.htm")) + "<UL>" + Item(Name("B") + Local("b.htm")) +
                             Item(Name("C")) + "</UL>" + Item(Name("D")) + "</UL>",
         "A(a.htm)[B(b.htm),C],D"},
        {"site properties, Merge and other parameters",
         "<OBJECT type=\"text/site properties\">" + Name("Props") + "</OBJECT><UL>" +
             Item(Name("A") + "<param name=\"Merge\" value=\"x.chm::/x.hhc\"><param name=\"ImageNumber\" value=\"1\">") +
             "</UL>",
         "A"},
        {"letter case of tags, types and names",
         "<ul><li><object TYPE=\"Text/SiteMap\"><PARAM NAME=\"name\" VALUE=\"A\"><param name=\"LOCAL\" value=\"a.htm\">"
         "</object></ul>",
         "A(a.htm)"},
        {"no </LI> and no </OBJECT>",
         "<UL><LI><OBJECT type=\"text/sitemap\">" + Name("A") + "<UL><LI><OBJECT type=\"text/sitemap\">" + Name("B") +
             "</UL><LI><OBJECT type=\"text/sitemap\">" + Name("C") + Local("c.htm") + "</UL>",
         "A[B],C(c.htm)"},
        {"parameters outside an item", "<UL>" + Item(Name("A")) + Local("stray.htm") + Name("Z") + "<LI>" + Local("li.htm") + "</UL>",
         "A"},
        {"a keyword's topics, each named", "<UL>" + Item(Name("kw") + Name("T1") + Local("a.htm") + Name("T2") + Local("b.htm")) + "</UL>",
         "kw(T1:a.htm|T2:b.htm)"},
        {"see also", "<UL>" + Item(Name("kw") + "<param name=\"See Also\" value=\"other\">") + "</UL>", "kw~other"},
        {"a list straight inside a list",
         "<UL><UL>" + Item(Name("A")) + "</UL>" + Item(Name("B")) + "<UL><UL>" + Item(Name("C")) + "</UL></UL>" +
             Item(Name("D")) + "</UL>",
         "A,B[C],D"},
        {"stray closing lists", "</UL></UL><UL>" + Item(Name("A")) + "</UL></UL>" + Item(Name("B")), "A,B"},
        {"a closed list opened again by the next", "<UL>" + Item(Name("P")) + "<UL>" + Item(Name("X")) + "</UL><UL><UL>" +
                                                       Item(Name("Y")) + "</UL></UL>" + Item(Name("Z")) + "</UL>",
         "P[X[Y]],Z"},
        {"character references", "<UL>" + Item(Name("Q&amp;A &lt;1&gt;") + Local("a%20b.htm#x&amp;y")) + "</UL>",
         "Q&A <1>(a%20b.htm#x&y)"},
    };
    for (const SitemapCase& c : cases) EXPECT_EQ(ChildrenShape(ParseSitemap(c.sitemap)), c.shape) << c.what;
}

TEST(SitemapTest, ReadsTitlesAndNamesInTheCodePage)
{
    // "第一章" and "说明/第一章.htm" in GBK.
    const std::string gbk = "<UL>" + Item(Name("\xB5\xDA\xD2\xBB\xD5\xC2") + Local("\xCB\xB5\xC3\xF7/\xB5\xDA\xD2\xBB\xD5\xC2.htm")) + "</UL>";
    EXPECT_EQ(ChildrenShape(ReadSitemap(gbk, tarnwick::helpfile::TextEncoding(936))), "第一章(说明/第一章.htm)");
}

std::size_t Depth(const NavigationItem& item)
{
    std::size_t deepest = 0;
    for (const NavigationItem& child : item.children) deepest = std::max(deepest, 1 + Depth(child));
    return deepest;
}

TEST(SitemapTest, HostileNestingStopsAtTheDepthLimitAndStillCloses)
{
    std::string sitemap;
    for (int i = 0; i < 100; ++i) sitemap += "<UL>" + Item(Name("x"));
    for (int i = 0; i < 100; ++i) sitemap += "</UL>";
    sitemap += Item(Name("after"));
    const NavigationItem root = ParseSitemap(sitemap);
    EXPECT_EQ(Depth(root), kMaxNavigationDepth);
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_EQ(root.children[1].title, "after");
}

// Locals "a.htm" and "b&c.htm" reach pages; others have none.
std::optional<std::string> UrlOf(std::string_view local)
{
    if (local == "a.htm" || local == "b&c.htm") return "pages/" + std::string(local);
    return std::nullopt;
}

TEST(NavigationHtmlTest, BooksArePlainDetailsOrLinkedSummariesAndUnreachablePagesPlainText)
{
    const NavigationItem root = ParseSitemap("<UL>" + Item(Name("Book <1>") + Local("a.htm")) + "<UL>" +
                                             Item(Name("Page &quot;2&quot;") + Local("b&amp;c.htm")) + Item(Name("Gone") + Local("gone.htm")) +
                                             "</UL>" + Item(Name("Heading")) + "<UL>" + Item(Name("Leaf")) + "</UL></UL>");
    EXPECT_EQ(ContentsHtml(root, UrlOf),
              "<ul>\n"
              "<li><details><summary><a href=\"pages/a.htm\" target=\"topic\">Book &lt;1&gt;</a></summary>\n"
              "<ul>\n"
              "<li><a href=\"pages/b&amp;c.htm\" target=\"topic\">Page &quot;2&quot;</a></li>\n"
              "<li>Gone</li>\n"
              "</ul>\n"
              "</details></li>\n"
              "<li><details><summary>Heading</summary>\n"
              "<ul>\n"
              "<li>Leaf</li>\n"
              "</ul>\n"
              "</details></li>\n"
              "</ul>\n");
    EXPECT_EQ(ContentsHtml(NavigationItem{}, UrlOf), "");
}

TEST(NavigationHtmlTest, KeywordsWithSeveralTopicsListThemAndSubKeywordsNest)
{
    const std::string sitemap =
        "<UL>" + Item(Name("one") + Local("a.htm")) + Item(Name("two") + Name("First") + Local("a.htm") + Local("b&amp;c.htm")) +
        "<UL>" + Item(Name("sub") + Local("gone.htm")) + "</UL>" + Item(Name("ref") + "<param name=\"See Also\" value=\"one\">") + "</UL>";
    EXPECT_EQ(KeywordsHtml(sitemap, UrlOf),
              "<ul>\n"
              "<li><a href=\"pages/a.htm\" target=\"topic\">one</a></li>\n"
              "<li>two\n"
              "<ul>\n"
              "<li><a href=\"pages/a.htm\" target=\"topic\">First</a></li>\n"
              "<li><a href=\"pages/b&amp;c.htm\" target=\"topic\">two</a></li>\n"
              "</ul>\n"
              "\n"
              "<ul>\n"
              "<li>sub</li>\n"
              "</ul>\n"
              "</li>\n"
              "<li>ref, see one</li>\n"
              "</ul>\n");
    EXPECT_EQ(KeywordsHtml("<UL></UL>", UrlOf), "");
}

TEST(NavigationHtmlTest, ALargeIndexComesInPiecesThatMakeTheWholeList)
{
    std::string sitemap = "<UL>";
    std::string expected = "<ul>\n";
    for (int i = 0; i < 10000; ++i) {
        sitemap += Item(Name("k" + std::to_string(i)));
        expected += "<li>k" + std::to_string(i) + "</li>\n";
    }
    expected += "</ul>\n";
    std::vector<std::string> pieces;
    KeywordsHtmlWriter writer(UrlOf, [&](std::string_view piece) { pieces.emplace_back(piece); });
    ParseSitemap(sitemap, writer);
    writer.Finish();
    EXPECT_GT(pieces.size(), 1u);
    std::string whole;
    for (const std::string& piece : pieces) whole += piece;
    EXPECT_EQ(whole, expected);
}

// The Chinese help file chmcmd compiled from a UTF-8 project, with its .hhc and .hhk stored and
// their binary forms beside them (tests/fixtures/text_fixture.py).
const char kContents[] = "首页(首页.htm),资料[Access 管理(资料/Access管理.htm),文件目录管理(资料/文件目录管理.htm),"
                         "函数参考(资料/函数参考/字符串.htm)[字符串函数(资料/函数参考/字符串.htm)]],English(english.htm)";
const char kKeywords[] = "帮助(首页.htm),文件(资料/文件目录管理.htm)[目录(资料/文件目录管理.htm)],"
                         "字符串(Access 管理:资料/Access管理.htm|字符串函数:资料/函数参考/字符串.htm),参见帮助~帮助";
// The keyword B-tree keeps its keywords sorted, and chmcmd names no topic of its own.
const char kRebuiltKeywords[] = "参见帮助~帮助,字符串(字符串:资料/Access管理.htm|字符串:资料/函数参考/字符串.htm),帮助(首页.htm),"
                                "文件(资料/文件目录管理.htm)[目录(资料/文件目录管理.htm)]";

struct ReadBack {
    Navigation navigation;
    NavigationItem keywords;
};

ReadBack NavigationOf(std::vector<std::uint8_t> bytes)
{
    using namespace tarnwick::storage;
    std::shared_ptr<ChmArchive> archive = ChmArchive::Open(MakeMemorySource(std::move(bytes)));
    if (!archive) return {};
    const ComRef<IStorage> root(new ItsStorage(std::move(archive), DirectoryTree::kRoot));
    const tarnwick::helpfile::HelpFileFacts facts = tarnwick::helpfile::GatherFacts(root.Get());
    SitemapTree keywords;
    ReadKeywords(root.Get(), facts, keywords);
    return {ReadNavigation(root.Get(), facts), keywords.Take()};
}

const fs::path kFixture = FixturesDir() / "text" / "zh-utf8.chm";
const fs::path kExtracted = FixturesDir() / "text" / "zh-utf8.extracted";

TEST(ReadNavigationTest, ReadsTheStoredContentsAndIndexWithTitleAndDefaultTopic)
{
    const auto [navigation, keywords] = NavigationOf(ReadFileBytes(kFixture));
    EXPECT_EQ(ChildrenShape(navigation.contents), kContents);
    EXPECT_EQ(ChildrenShape(keywords), kKeywords);
    EXPECT_EQ(navigation.title, "万能文字工具箱帮助");
    EXPECT_EQ(navigation.defaultTopic, "首页.htm");
}

TEST(ReadNavigationTest, RebuildsFromTheBinaryFormsWhenNoSitemapIsStored)
{
    const auto [navigation, keywords] = NavigationOf(BuildChm(FolderEntries(kExtracted, {"目录.hhc", "索引.hhk"})));
    EXPECT_EQ(ChildrenShape(navigation.contents), kContents);
    EXPECT_EQ(ChildrenShape(keywords), kRebuiltKeywords);
}

TEST(ReadNavigationTest, FindsTheOnlyContentsFileWhenSystemNamesNone)
{
    std::vector<BuiltEntry> entries{{"/a.htm", "<p>a"}, {"/Toc.HHC", "<UL>" + Item(Name("A") + Local("a.htm")) + "</UL>"}};
    EXPECT_EQ(ChildrenShape(NavigationOf(BuildChm(entries)).navigation.contents), "A(a.htm)");
    entries.emplace_back("/second.hhc", "<UL>" + Item(Name("B")) + "</UL>");
    EXPECT_EQ(ChildrenShape(NavigationOf(BuildChm(entries)).navigation.contents), "");
    EXPECT_EQ(ChildrenShape(NavigationOf({1, 2, 3}).navigation.contents), "");
}

} // namespace
