// An export that rewrites its pages on several threads writes what one thread writes, whichever
// thread finishes first; built with ThreadSanitizer too, which watches the threads share. And a
// site whose own pages cannot be written says so in its report.

#include "engine/ChmEngine.h"
#include "export/TopicExport.h"
#include "helpfile/EntryTable.h"
#include "support/ChmBuilder.h"
#include "support/TempFolder.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace tarnwick::exporting;

class Quiet final : public UnpackObserver {
public:
    bool Starting(std::size_t, std::size_t) override { return true; }
};

// Pages in three folders that link across them, with text to index and a link that is broken.
std::vector<BuiltEntry> LinkedPages()
{
    std::vector<BuiltEntry> entries{{"/style.css", "p{background:url(b/p1.htm)}"}};
    const char* folders[] = {"/", "/a/", "/b/"};
    for (const char* folder : folders) {
        for (int i = 0; i < 40; ++i) {
            const std::string n = std::to_string(i);
            entries.push_back({std::string(folder) + "p" + n + ".htm",
                               "<html><head><title>第 " + n + " 页</title><link rel=stylesheet href=/style.css></head><body>"
                               "<h1>帮助 " + n + "</h1><p>word" + n + " 中文帮助 <a href=\"/a/p" + std::to_string((i + 1) % 40) +
                                   ".htm#x\">下一页</a> <a href=\"../B/P" + n + ".HTM\">b</a> <a href=gone" + n + ".htm>x</a>"
                               "</p></body></html>"});
        }
    }
    return entries;
}

std::map<std::string, std::string> FilesUnder(const fs::path& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file()) files[PathUtf8(fs::relative(entry.path(), root))] = ReadFileText(entry.path());
    return files;
}

struct Exported {
    std::map<std::string, std::string> files;
    std::size_t pages = 0;
    std::size_t problems = 0;
    bool pagesWritten = false;
};

Exported Export(const fs::path& chm, const fs::path& destination, bool markdown, unsigned threads)
{
    CChmEngine engine;
    EXPECT_TRUE(SUCCEEDED(engine.OpenFile(chm.wstring())));
    const auto entries = tarnwick::helpfile::ReadEntryTable(engine.GetRoot(), tarnwick::helpfile::WalkScope::Listed);
    ExportRequest request;
    request.engine = &engine;
    request.entries = &entries;
    request.destination = destination.wstring();
    request.helpFileName = "guide.chm";
    request.unpack = UnpackSettings{true, threads > 1 ? 2u : 1u, threads > 1};
    request.rewriteThreads = threads;
    Quiet quiet;
    const ExportOutcome outcome = markdown ? ExportTopics(request, TopicFormat::Markdown, quiet) : ExportSite(request, quiet);
    EXPECT_TRUE(outcome.failed.empty());
    return {FilesUnder(destination), outcome.pages, outcome.problems.size(), outcome.pagesWritten};
}

TEST(ExportThreads, WriteWhatOneThreadWrites)
{
    TempFolder folder;
    WriteFileBytes(folder / "guide.chm", BuildChm(LinkedPages()));
    for (const bool markdown : {false, true}) {
        SCOPED_TRACE(markdown ? "md" : "site");
        const std::string format = markdown ? "md" : "site";
        const Exported one = Export(folder / "guide.chm", folder / (format + "1"), markdown, 1);
        const Exported three = Export(folder / "guide.chm", folder / (format + "3"), markdown, 3);
        EXPECT_EQ(one.pages, 120u);
        EXPECT_EQ(three.pages, one.pages);
        EXPECT_EQ(three.problems, one.problems);
        EXPECT_EQ(three.files.size(), one.files.size());
        EXPECT_TRUE(three.files == one.files);
    }
}

// A folder where index.html belongs: nothing can be written in its place.
TEST(ExportThreads, AReportTellsOfTheSitesOwnPagesThatCouldNotBeWritten)
{
    TempFolder folder;
    WriteFileBytes(folder / "guide.chm", BuildChm(LinkedPages()));
    fs::create_directories(folder / "site" / "index.html");
    Exported site = Export(folder / "guide.chm", folder / "site", false, 1);
    EXPECT_FALSE(site.pagesWritten);
    EXPECT_NE(site.files["export-report.txt"].find("不能写入 index.html 等页面"), std::string::npos);
}

} // namespace
