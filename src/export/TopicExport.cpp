#include "export/TopicExport.h"

#include "base/Utf8.h"
#include "engine/SafeName.h"
#include "export/ExportSource.h"
#include "export/LinkCache.h"
#include "export/Markdown.h"
#include "export/PageRewriter.h"
#include "export/PercentEncoding.h"
#include "export/PlainText.h"
#include "export/RelativeUrl.h"
#include "export/RewritePool.h"
#include "helpfile/InternalFile.h"
#include "html/VisibleText.h"
#include "project/ProjectWriter.h"

#include <algorithm>
#include <map>
#include <unordered_set>

namespace tarnwick::exporting {
namespace {

constexpr std::size_t kMostPageBytes = 64u << 20;
constexpr std::size_t kMostTitleCharacters = 60;

struct Topic {
    std::size_t entry = 0;
    std::string title;
    std::vector<std::string> parents;
    std::string file = {};
    std::vector<std::string> keywords = {};
};

// Thousands of keywords of an index can name one page: repeats are found by hashing, not by
// searching the list for each.
void KeepFirstOfEach(std::vector<std::string>& texts)
{
    std::unordered_set<std::string_view> seen;
    std::vector<bool> first(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) first[i] = seen.insert(texts[i]).second;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (!first[i]) continue;
        if (kept != i) texts[kept] = std::move(texts[i]);
        ++kept;
    }
    texts.resize(kept);
}

// A file name from a title: what unpacking would make of it, cut short.
std::string FileNameOf(std::size_t number, std::size_t digits, std::string_view title, std::string_view extension)
{
    std::wstring wide = WideFromUtf8(title);
    if (wide.size() > kMostTitleCharacters) wide.resize(kMostTitleCharacters);
    std::string numbered = std::to_string(number);
    numbered.insert(0, digits > numbered.size() ? digits - numbered.size() : 0, '0');
    return Utf8FromWide(SafeFileName(WideFromUtf8(numbered) + L" " + wide)) + std::string(extension);
}

// A YAML scalar in double quotes, which reads every character JSON escapes the same way.
std::string Quoted(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (static_cast<unsigned char>(c) < ' ') out += ' ';
        else out += c;
    }
    return out + "\"";
}

// Sub-keywords go to the topics they link as the keywords above them do.
class EachKeyword final : public SitemapItemSink {
public:
    explicit EachKeyword(std::function<void(const NavigationItem&)> take) : m_take(std::move(take)) {}
    void Open(NavigationItem&& keyword) override { m_take(keyword); }
    void Close() override {}

private:
    std::function<void(const NavigationItem&)> m_take;
};

// What the text right after the page's first <title> says, from its tokens as they come.
class TitleFinder {
public:
    void Take(const html::Token& token)
    {
        if (m_found) return;
        if (m_afterTitle && token.kind == html::TokenKind::Text) {
            html::VisibleTextBuilder title;
            title.Take(token);
            m_title = title.Finish();
            m_found = true;
        }
        m_afterTitle = token.kind == html::TokenKind::StartTag && token.name == "title";
    }

    std::string Take() { return std::move(m_title); }

private:
    bool m_afterTitle = false;
    bool m_found = false;
    std::string m_title;
};

// The page read token by token, never held whole as tokens: a page of megabytes takes ten times
// that as tokens.
template <typename Builder>
std::string Converted(std::string_view utf8, Builder&& builder, std::string& pageTitle)
{
    TitleFinder title;
    html::TokenizeEach(utf8, [&](html::Token&& token) {
        title.Take(token);
        builder.Take(token);
    });
    pageTitle = title.Take();
    return builder.Finish();
}

class TopicWriter {
public:
    TopicWriter(const ExportRequest& request, TopicFormat format)
        : m_request(request), m_format(format), m_source(request)
    {
    }

    ExportOutcome Write(UnpackObserver& observer)
    {
        m_outcome.title = m_source.title;
        PlanTopics();
        m_source.navigation = {}; // the plan holds what the topics need of it
        IFileSystem& files = m_request.engine->GetFileSystem();
        if (!MakeDirectories(files, m_request.destination)) {
            m_outcome.pagesWritten = false;
            return std::move(m_outcome);
        }
        if (m_format == TopicFormat::Markdown) CopyOtherFiles(observer);
        std::vector<std::size_t> order(m_topics.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
        // In the order of the data, so that no compressed frame is decoded twice.
        std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            const auto& x = m_source.entries[m_topics[a].entry].place;
            const auto& y = m_source.entries[m_topics[b].entry].place;
            return std::tie(x.section, x.offset) < std::tie(y.section, y.offset);
        });
        WriteTopics(files, order);
        m_fileOfEntry.clear();
        m_outcome.topics.reserve(m_topics.size());
        for (Topic& topic : m_topics)
            m_outcome.topics.push_back({std::move(topic.title), std::move(topic.file), std::move(topic.parents)});
        m_outcome.pages = m_topics.size();
        return std::move(m_outcome);
    }

private:
    std::optional<std::size_t> PageOf(std::string_view local) const
    {
        const LinkTarget target = ResolveLink(m_source.links.Names(), "", local);
        if (target.kind != LinkKind::Internal || !IsPage(m_source.entries.Utf8Name(target.entry))) return std::nullopt;
        return target.entry;
    }

    void AddContents(const NavigationItem& item, std::vector<std::string>& parents, std::map<std::size_t, std::size_t>& placed)
    {
        for (const NavigationItem& child : item.children) {
            for (const NavigationLink& link : child.links) {
                const std::optional<std::size_t> entry = PageOf(link.local);
                if (!entry || placed.contains(*entry)) continue;
                placed.emplace(*entry, m_topics.size());
                m_topics.push_back({*entry, child.title.empty() ? link.title : child.title, parents});
            }
            parents.push_back(child.title);
            AddContents(child, parents, placed);
            parents.pop_back();
        }
    }

    // Each page's keywords in the order of the index, once each.
    std::vector<std::vector<std::string>> KeywordsOfPages() const
    {
        std::vector<std::vector<std::string>> keywords(m_source.entries.Size());
        EachKeyword each([&](const NavigationItem& keyword) {
            for (const NavigationLink& link : keyword.links) {
                const std::optional<std::size_t> entry = PageOf(link.local);
                if (!entry) continue;
                std::vector<std::string>& ofPage = keywords[*entry];
                if (ofPage.empty() || ofPage.back() != keyword.title) ofPage.push_back(keyword.title);
            }
        });
        ReadKeywords(m_source.entries.Root(), m_source.facts, each);
        for (std::vector<std::string>& ofPage : keywords) KeepFirstOfEach(ofPage);
        return keywords;
    }

    void PlanTopics()
    {
        // Read before the topics are, beside as little as can be: a large help file's index runs
        // to megabytes. Only Markdown shows them.
        std::vector<std::vector<std::string>> keywords;
        if (m_format == TopicFormat::Markdown) keywords = KeywordsOfPages();
        std::map<std::size_t, std::size_t> placed; // entry to topic
        std::vector<std::string> parents;
        AddContents(m_source.navigation.contents, parents, placed);
        for (std::size_t i = 0; i < m_source.entries.Size(); ++i) {
            if (!IsPage(m_source.entries.Utf8Name(i)) || placed.contains(i)) continue;
            placed.emplace(i, m_topics.size());
            m_topics.push_back({i, {}, {}});
        }
        if (!keywords.empty())
            for (Topic& topic : m_topics) topic.keywords = std::move(keywords[topic.entry]);
        const std::size_t digits = std::max<std::size_t>(4, std::to_string(m_topics.size()).size());
        const std::string_view extension = m_format == TopicFormat::Markdown ? ".md" : ".txt";
        for (std::size_t i = 0; i < m_topics.size(); ++i) {
            Topic& topic = m_topics[i];
            const std::string_view name = topic.title.empty() ? m_source.entries.Utf8Name(topic.entry) : std::string_view(topic.title);
            topic.file = FileNameOf(i + 1, digits, name, extension);
            m_fileOfEntry.emplace(topic.entry, topic.file);
        }
    }

    // Markdown's images, style sheets and the rest, where its links find them.
    void CopyOtherFiles(UnpackObserver& observer)
    {
        helpfile::EntryTable others;
        others.SetRoot(m_source.entries.Root());
        helpfile::WalkStreams(m_source.entries.Root(), helpfile::WalkScope::Listed, [&](const helpfile::WalkedStream& stream) {
            if (!IsPage(Utf8FromWide(stream.name))) others.Add(stream);
        });
        std::wstring content = m_request.destination;
        AppendPath(content, WideFromUtf8(kContentFolder));
        if (!MakeDirectories(m_request.engine->GetFileSystem(), content)) {
            m_outcome.pagesWritten = false;
            return;
        }
        for (const std::size_t failed : UnpackEntries(*m_request.engine, others, content, m_request.unpack, observer)) {
            std::string path = Utf8FromWide(others.Folder(failed));
            std::replace(path.begin(), path.end(), '\\', '/');
            if (const std::optional<std::size_t> entry = m_source.links.Find(path + std::string(others.Utf8Name(failed))))
                m_outcome.failed.push_back(*entry);
        }
    }

    // Another topic by its file, anything else the help file holds below "content/"; none for a
    // link that leaves the help file, or is broken, and stays as it is.
    std::optional<std::string> MarkdownUrl(std::size_t from, std::string_view href) const
    {
        const LinkTarget target = ResolveLink(m_source.links.Names(), m_source.links.InternalPath(from), href);
        if (target.kind != LinkKind::Internal) return std::nullopt;
        const auto topic = m_fileOfEntry.find(target.entry);
        if (topic != m_fileOfEntry.end()) return PercentEncodedSegment(topic->second) + target.fragment;
        return RelativeUrl("topic.md", m_source.links.SitePath(target.entry)) + target.fragment;
    }

    std::string FrontMatter(const Topic& topic, std::string_view title) const
    {
        std::string text = "---\ntitle: " + Quoted(title) + "\nhelpfile: " + Quoted(m_request.helpFileName) +
                           "\npath: " + Quoted(m_source.links.InternalPath(topic.entry)) + "\n";
        if (!topic.keywords.empty()) {
            text += "keywords:\n";
            for (const std::string& keyword : topic.keywords) text += "  - " + Quoted(keyword) + "\n";
        }
        return text + "---\n\n";
    }

    // Read and created here, in the order of the data; converted and written on the pool's threads.
    void WriteTopics(IFileSystem& files, const std::vector<std::size_t>& order)
    {
        const unsigned threads = std::max(m_request.rewriteThreads, 1u);
        const LinkCache::Rewrite markdownUrl = [this](std::size_t from, std::string_view href, std::vector<LinkProblem>&) {
            return MarkdownUrl(from, href);
        };
        std::vector<LinkCache> links(threads, LinkCache(m_source.links, markdownUrl));
        RewritePool pool(
            [&](unsigned thread, std::size_t topic, std::string&& bytes) { return TopicText(links[thread], m_topics[topic], std::move(bytes)); },
            threads);
        for (const std::size_t topic : order) {
            const std::size_t entry = m_topics[topic].entry;
            std::optional<std::vector<std::uint8_t>> bytes =
                helpfile::ReadInternalFile(m_source.entries.Storage(entry), m_source.entries.Name(entry), kMostPageBytes);
            std::wstring path = m_request.destination;
            AppendPath(path, WideFromUtf8(m_topics[topic].file));
            FileError error;
            std::unique_ptr<IOutputFile> file = bytes ? files.CreateAlways(path, error) : nullptr;
            if (!file) {
                m_outcome.failed.push_back(entry);
                continue;
            }
            pool.Hand(topic, std::move(path), std::string(bytes->begin(), bytes->end()), std::move(file));
        }
        for (const RewritePool::Failure& failure : pool.Finish()) {
            files.RemoveFile(failure.path);
            m_outcome.failed.push_back(m_topics[failure.item].entry);
        }
        std::sort(m_outcome.failed.begin(), m_outcome.failed.end());
    }

    // On one of the pool's threads; the topic is that thread's alone while it runs.
    std::string TopicText(LinkCache& links, Topic& topic, std::string&& bytes) const
    {
        const std::size_t entry = topic.entry;
        const std::string utf8 = PageAsUtf8(std::move(bytes), m_source.facts.encoding);
        std::string pageTitle;
        std::vector<LinkProblem> unreported; // the report lists a site's problems only
        const auto rewriteUrl = [&](std::string_view href) {
            const std::string* url = links.Rewritten(entry, href, unreported);
            return url ? *url : std::string(href);
        };
        std::string text = m_format == TopicFormat::Markdown ? Converted(utf8, MarkdownBuilder(rewriteUrl), pageTitle)
                                                             : Converted(utf8, PlainTextBuilder(), pageTitle);
        if (topic.title.empty()) topic.title = std::move(pageTitle);
        const std::string_view title = topic.title.empty() ? m_source.entries.Utf8Name(entry) : std::string_view(topic.title);
        if (m_format == TopicFormat::Markdown) return FrontMatter(topic, title) + text;
        return text;
    }

    const ExportRequest& m_request;
    const TopicFormat m_format;
    ExportSource m_source;
    std::vector<Topic> m_topics;
    std::map<std::size_t, std::string> m_fileOfEntry;
    ExportOutcome m_outcome;
};

} // namespace

ExportOutcome ExportTopics(const ExportRequest& request, TopicFormat format, UnpackObserver& observer)
{
    return TopicWriter(request, format).Write(observer);
}

} // namespace tarnwick::exporting
