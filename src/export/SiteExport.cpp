#include "export/SiteExport.h"

#include "base/Utf8.h"
#include "export/ExportSource.h"
#include "export/NavigationHtml.h"
#include "export/PageRewriter.h"
#include "export/RelativeUrl.h"
#include "export/RewritingFileSystem.h"
#include "export/SearchIndex.h"
#include "export/SitePages.h"
#include "html/Ascii.h"
#include "project/ProjectWriter.h"

#include <algorithm>

namespace tarnwick::exporting {
namespace {

std::string_view Extension(std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

bool IsStyleSheet(std::string_view name) { return html::EqualsIgnoringAsciiCase(Extension(name), "css"); }

class SiteWriter {
public:
    explicit SiteWriter(const ExportRequest& request)
        : m_request(request), m_source(request)
    {
    }

    ExportOutcome Write(UnpackObserver& observer)
    {
        std::wstring content = m_request.destination;
        AppendPath(content, WideFromUtf8(kContentFolder));
        CChmEngine& engine = *m_request.engine;
        IFileSystem& files = engine.GetFileSystem();
        if (!MakeDirectories(files, content)) {
            m_outcome.pagesWritten = false;
            return std::move(m_outcome);
        }
        // The navigation pages need none of the rewritten pages: written first, the keyword index
        // read item by item, and let go before the unpack builds the search index.
        const bool navigationWritten = WriteNavigationPages(files);
        m_source.navigation = {};
        CRewritingFileSystem rewriting(files, content, RewrittenFiles(),
                                       [this](std::size_t entry, std::string&& bytes) { return Rewrite(entry, std::move(bytes)); });
        engine.SetFileSystem(rewriting);
        m_outcome.failed = UnpackEntries(engine, m_source.entries, content, m_request.unpack, observer);
        engine.SetFileSystem(files);

        std::stable_sort(m_outcome.problems.begin(), m_outcome.problems.end(),
                         [](const LinkProblem& a, const LinkProblem& b) { return a.entry < b.entry; });
        m_outcome.title = m_source.title;
        m_outcome.pagesWritten = WriteSearchPages(files) && navigationWritten;
        return std::move(m_outcome);
    }

private:
    std::unordered_map<std::string, std::size_t> RewrittenFiles() const
    {
        std::unordered_map<std::string, std::size_t> rewritten;
        for (std::size_t i = 0; i < m_source.entries.Size(); ++i) {
            const std::string_view name = m_source.entries.Utf8Name(i);
            if (IsPage(name) || IsStyleSheet(name))
                rewritten.emplace(m_source.links.SitePath(i).substr(kContentFolder.size() + 1), i);
        }
        return rewritten;
    }

    // On the unpack's writer thread, one file at a time.
    std::string Rewrite(std::size_t entry, std::string&& bytes)
    {
        if (IsStyleSheet(m_source.entries.Utf8Name(entry))) return RewriteStyleSheet(m_source.links, entry, bytes, m_outcome.problems);
        RewrittenPage page = RewritePage(m_source.links, entry, bytes, m_source.facts.encoding);
        ++m_outcome.pages;
        const std::string_view title = page.title.empty() ? m_source.entries.Utf8Name(entry) : std::string_view(page.title);
        m_search.AddPage(RelativeUrl("index.html", m_source.links.SitePath(entry)), title, page.visibleText);
        std::move(page.problems.begin(), page.problems.end(), std::back_inserter(m_outcome.problems));
        return std::move(page.html);
    }

    std::optional<std::string> UrlOf(std::string_view local) const { return m_source.links.UrlOfLocal("index.html", local); }

    std::string DefaultTopicUrl() const
    {
        if (std::optional<std::string> url = UrlOf(m_source.navigation.defaultTopic)) return *url;
        for (std::size_t i = 0; i < m_source.entries.Size(); ++i)
            if (IsPage(m_source.entries.Utf8Name(i))) return RelativeUrl("index.html", m_source.links.SitePath(i));
        return "about:blank";
    }

    bool WriteNavigationPages(IFileSystem& files) const
    {
        const auto urlOf = [this](std::string_view local) { return UrlOf(local); };
        const std::wstring& destination = m_request.destination;
        const bool viewer = project::WriteDestinationFile(
            files, destination, L"index.html", ViewerPage(m_source.title, ContentsHtml(m_source.navigation.contents, urlOf), DefaultTopicUrl()));
        const bool keywords = project::WriteDestinationFile(files, destination, L"keywords.html", [&](const PieceSink& sink) {
            sink(KeywordsPageStart(m_source.title));
            KeywordsHtmlWriter list(urlOf, sink);
            ReadKeywords(m_source.entries.Root(), m_source.facts, list);
            list.Finish();
            sink(kPageEnd);
        });
        return viewer && keywords;
    }

    bool WriteSearchPages(IFileSystem& files) const
    {
        const std::wstring& destination = m_request.destination;
        bool written = project::WriteDestinationFile(files, destination, L"search-index.js",
                                                     [this](const PieceSink& sink) { m_search.Script(sink); });
        written = project::WriteDestinationFile(files, destination, L"search.js", SearchScript()) && written;
        const std::string report = ExportReport(m_source.entries, m_outcome);
        return project::WriteDestinationFile(files, destination, L"export-report.txt", report) && written;
    }

    const ExportRequest& m_request;
    ExportSource m_source;
    SearchIndex m_search;
    ExportOutcome m_outcome;
};

} // namespace

bool IsPage(std::string_view name)
{
    const std::string_view extension = Extension(name);
    return html::EqualsIgnoringAsciiCase(extension, "htm") || html::EqualsIgnoringAsciiCase(extension, "html") ||
           html::EqualsIgnoringAsciiCase(extension, "xhtml");
}

ExportOutcome ExportSite(const ExportRequest& request, UnpackObserver& observer)
{
    return SiteWriter(request).Write(observer);
}

std::string ExportReport(const helpfile::EntryTable& entries, const ExportOutcome& outcome)
{
    std::string failed;
    for (const std::size_t entry : outcome.failed) failed += "  " + Utf8FromWide(entries.Path(entry)) + "\r\n";
    std::string broken;
    std::string elsewhere;
    for (const LinkProblem& problem : outcome.problems)
        (problem.kind == LinkKind::OtherHelpFile ? elsewhere : broken) +=
            "  " + Utf8FromWide(entries.Path(problem.entry)) + " -> " + problem.href + "\r\n";

    std::string report = "\xEF\xBB\xBF"; // Notepad takes a file without it for the ANSI code page
    const auto section = [&](const char* heading, const std::string& lines) {
        if (lines.empty()) return;
        report += heading;
        report += lines;
    };
    section("未能导出的条目:\r\n", failed);
    section("原文件中已失效的链接, 保留原样:\r\n", broken);
    section("指向其他帮助文件的链接, 保留原样:\r\n", elsewhere);
    if (!outcome.pagesWritten) report += "不能写入 index.html 等页面.\r\n";
    if (report.size() == 3) report += "没有问题.\r\n";
    return report;
}

} // namespace tarnwick::exporting
