#include "export/SiteExport.h"

#include "base/StringHash.h"
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
#include <mutex>
#include <unordered_map>

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
        NumberSearchPages();
        const unsigned threads = std::max(m_request.rewriteThreads, 1u);
        std::vector<ThreadState> states(threads, ThreadState{LinkCache(m_source.links), {}});
        RewritePool pool(
            [&](unsigned thread, std::size_t entry, std::string&& bytes) { return Rewrite(states[thread], entry, std::move(bytes)); },
            threads);
        CRewritingFileSystem rewriting(files, content, RewrittenFiles(), pool);
        engine.SetFileSystem(rewriting);
        m_outcome.failed = UnpackEntries(engine, m_source.entries, content, m_request.unpack, observer);
        engine.SetFileSystem(files);
        AddFailures(rewriting.Finish());

        std::stable_sort(m_outcome.problems.begin(), m_outcome.problems.end(),
                         [](const LinkProblem& a, const LinkProblem& b) { return a.entry < b.entry; });
        m_outcome.title = m_source.title;
        m_outcome.pagesWritten = WriteSearchPages(files) && navigationWritten;
        // Last, so that it can tell of the pages beside the content that could not be written.
        const std::string report = ExportReport(m_source.entries, m_outcome);
        m_outcome.pagesWritten = project::WriteDestinationFile(files, m_request.destination, L"export-report.txt", report) && m_outcome.pagesWritten;
        return std::move(m_outcome);
    }

private:
    // What each rewriting thread keeps from one page to the next.
    struct ThreadState {
        LinkCache links;
        PageTerms terms;
    };

    std::unordered_map<std::string_view, std::size_t> RewrittenFiles() const
    {
        std::unordered_map<std::string_view, std::size_t> rewritten;
        for (std::size_t i = 0; i < m_source.entries.Size(); ++i) {
            const std::string_view name = m_source.entries.Utf8Name(i);
            if (IsPage(name) || IsStyleSheet(name))
                rewritten.emplace(m_source.links.SitePath(i).substr(kContentFolder.size() + 1), i);
        }
        return rewritten;
    }

    // The entry's file as the viewer (index.html) and the search reach it.
    std::string ViewerUrl(std::size_t entry) const { return RelativeUrl("index.html", m_source.links.SitePath(entry)); }

    // The search's pages numbered in the order of the entries, whichever thread rewrites them first.
    void NumberSearchPages()
    {
        m_searchPageOf.assign(m_source.entries.Size(), 0);
        for (std::size_t i = 0; i < m_source.entries.Size(); ++i)
            if (IsPage(m_source.entries.Utf8Name(i))) m_searchPageOf[i] = m_search.AddPage(ViewerUrl(i));
    }

    // On the rewriting threads, several at once: the outcome and the search index are taken in turn.
    std::string Rewrite(ThreadState& state, std::size_t entry, std::string&& bytes)
    {
        std::vector<LinkProblem> problems;
        const bool isPage = !IsStyleSheet(m_source.entries.Utf8Name(entry));
        std::string rewritten = isPage ? RewrittenPageOf(state, entry, std::move(bytes), problems)
                                       : RewriteStyleSheet(m_source.links, entry, bytes, problems);
        std::lock_guard lock(m_shared);
        m_outcome.pages += isPage ? 1 : 0;
        std::move(problems.begin(), problems.end(), std::back_inserter(m_outcome.problems));
        return rewritten;
    }

    std::string RewrittenPageOf(ThreadState& state, std::size_t entry, std::string&& bytes, std::vector<LinkProblem>& problems)
    {
        RewrittenPage page = RewritePage(state.links, entry, std::move(bytes), m_source.facts.encoding);
        const std::string_view title = page.title.empty() ? m_source.entries.Utf8Name(entry) : std::string_view(page.title);
        state.terms.Gather(title, page.visibleText);
        std::lock_guard lock(m_searching);
        m_search.AddTerms(m_searchPageOf[entry], title, state.terms);
        problems = std::move(page.problems);
        return std::move(page.html);
    }

    void AddFailures(const std::vector<std::size_t>& failed)
    {
        std::vector<std::size_t>& all = m_outcome.failed;
        const auto middle = all.insert(all.end(), failed.begin(), failed.end());
        std::inplace_merge(all.begin(), middle, all.end());
        all.erase(std::unique(all.begin(), all.end()), all.end());
    }

    std::optional<std::string> UrlOf(std::string_view local) const { return m_source.links.UrlOfLocal("index.html", local); }

    std::string DefaultTopicUrl() const
    {
        if (std::optional<std::string> url = UrlOf(m_source.navigation.defaultTopic)) return *url;
        for (std::size_t i = 0; i < m_source.entries.Size(); ++i)
            if (IsPage(m_source.entries.Utf8Name(i))) return ViewerUrl(i);
        return "about:blank";
    }

    bool WriteNavigationPages(IFileSystem& files) const
    {
        // A keyword index names the same pages over and over: lcl's 46,000 keywords name 16,000.
        std::unordered_map<std::string, std::optional<std::string>, StringHash, std::equal_to<>> urls;
        const auto urlOf = [this, &urls](std::string_view local) {
            auto found = urls.find(local);
            if (found == urls.end()) found = urls.emplace(local, UrlOf(local)).first;
            return found->second;
        };
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
        return project::WriteDestinationFile(files, destination, L"search.js", SearchScript()) && written;
    }

    const ExportRequest& m_request;
    ExportSource m_source;
    std::mutex m_shared;
    std::mutex m_searching;
    SearchIndex m_search;
    std::vector<std::uint32_t> m_searchPageOf; // by entry
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
