#include "export/LinkCache.h"

namespace tarnwick::exporting {
namespace {

// Links of a folder of thousands of pages that each link elsewhere are not kept without end.
constexpr std::size_t kMostResults = 4096;

// A page's links resolve from its folder as they split it: at either slash.
std::string_view FolderPart(std::string_view path, const char* separators)
{
    const std::size_t last = path.find_last_of(separators);
    return last == std::string_view::npos ? std::string_view() : path.substr(0, last + 1);
}

} // namespace

LinkCache::LinkCache(const SiteLinks& links)
    : LinkCache(links, [&links](std::size_t entry, std::string_view href, std::vector<LinkProblem>& problems) {
          return links.Rewritten(entry, href, problems);
      })
{
}

const std::string* LinkCache::Rewritten(std::size_t entry, std::string_view href, std::vector<LinkProblem>& problems)
{
    UseFolderOf(entry);
    auto found = m_results.find(href);
    if (found == m_results.end()) {
        if (m_results.size() >= kMostResults) m_results.clear();
        std::vector<LinkProblem> met;
        Result result{m_rewrite(entry, href, met), std::nullopt};
        if (result.url == href) result.url.reset();
        if (!met.empty()) result.problem = met.front().kind;
        found = m_results.emplace(std::string(href), std::move(result)).first;
    }
    const Result& result = found->second;
    if (result.problem) problems.push_back({entry, *result.problem, std::string(href)});
    return result.url ? &*result.url : nullptr;
}

void LinkCache::UseFolderOf(std::size_t entry)
{
    if (entry == m_entry) return;
    m_entry = entry;
    const std::string_view internalFolder = FolderPart(m_links.InternalPath(entry), "/\\");
    const std::string_view siteFolder = FolderPart(m_links.SitePath(entry), "/");
    if (internalFolder == m_internalFolder && siteFolder == m_siteFolder) return;
    m_internalFolder = internalFolder;
    m_siteFolder = siteFolder;
    m_results.clear();
}

} // namespace tarnwick::exporting
