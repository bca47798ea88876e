// A help file as Markdown topics: titles from the contents or the page's own <title>, and the
// keywords of the index, read item by item, in the front matter of the pages they name.
#include "export/TopicExport.h"
#include "support/ChmBuilder.h"
#include "support/TempFolder.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

using namespace tarnwick::exporting;

namespace {

class NoStop final : public UnpackObserver {
public:
    bool Starting(std::size_t, std::size_t) override { return true; }
};

std::string Item(const std::string& params) { return "<LI><OBJECT type=\"text/sitemap\">" + params + "</OBJECT>\n"; }
std::string Name(const std::string& value) { return "<param name=\"Name\" value=\"" + value + "\">"; }
std::string Local(const std::string& value) { return "<param name=\"Local\" value=\"" + value + "\">"; }

TEST(TopicExportTest, TitlesFromContentsOrPageAndEachPagesKeywordsOnce)
{
    TempFolder folder;
    WriteFileBytes(folder / "in.chm",
                   BuildChm({{"/a.htm", "<title>Unused</title><p>A text</p>"},
                             {"/b.htm", "<head><title>\n  Bee   page </title><title>Second</title></head><p>B text</p>"},
                             {"/c.htm", "<p><title></title>no title</p>"},
                             {"/Toc.hhc", "<UL>" + Item(Name("First") + Local("a.htm")) + "</UL>"},
                             {"/Index.hhk", "<UL>" + Item(Name("kw1") + Local("a.htm")) + "<UL>" +
                                                Item(Name("sub") + Local("b.htm") + Local("B.HTM")) + "</UL>" +
                                                Item(Name("kw2") + Local("a.htm") + Local("b.htm") + Local("gone.htm")) +
                                                "</UL>"}}));
    CChmEngine engine;
    ASSERT_GE(engine.OpenFile((folder / "in.chm").wstring()), 0);
    const auto entries = tarnwick::helpfile::ReadEntryTable(engine.GetRoot(), tarnwick::helpfile::WalkScope::Listed);
    ExportRequest request;
    request.engine = &engine;
    request.entries = &entries;
    request.destination = (folder / "out").wstring();
    request.helpFileName = "in.chm";
    NoStop observer;
    const ExportOutcome outcome = ExportTopics(request, TopicFormat::Markdown, observer);

    // Files are named before the pages are read: a page's own title is only in its front matter.
    ASSERT_EQ(outcome.topics.size(), 3u);
    EXPECT_EQ(ReadFileText(folder / "out" / "0001 First.md"),
              "---\ntitle: \"First\"\nhelpfile: \"in.chm\"\npath: \"a.htm\"\nkeywords:\n  - \"kw1\"\n  - \"kw2\"\n---\n\nA text\n");
    EXPECT_EQ(ReadFileText(folder / "out" / "0002 b.htm.md"),
              "---\ntitle: \"Bee page\"\nhelpfile: \"in.chm\"\npath: \"b.htm\"\nkeywords:\n  - \"sub\"\n  - \"kw2\"\n---\n\nB text\n");
    EXPECT_EQ(ReadFileText(folder / "out" / "0003 c.htm.md"), "---\ntitle: \"c.htm\"\nhelpfile: \"in.chm\"\npath: \"c.htm\"\n---\n\nno title\n");
    EXPECT_EQ(outcome.topics[1].title, "Bee page");
}

} // namespace
