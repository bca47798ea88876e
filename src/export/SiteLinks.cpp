#include "export/SiteLinks.h"

#include "base/Utf8.h"
#include "export/OutputPath.h"
#include "export/RelativeUrl.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace tarnwick::exporting {
namespace {

// The fragment goes into an attribute or a CSS url() as it is: what could end either is escaped.
std::string FragmentForUrl(std::string_view fragment)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url;
    for (const char c : fragment) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || c == '"' || c == '\'' || c == '<' || c == '>' || c == '(' || c == ')' || c == '\\') {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0xF];
        } else {
            url += c;
        }
    }
    return url;
}

} // namespace

SiteLinks::SiteLinks(const helpfile::EntryTable& entries, std::string_view helpFileName, unsigned codePage,
                     std::string_view contentFolder)
    : m_entries(entries), m_names(entries, helpFileName, codePage)
{
    m_internalPaths.reserve(entries.Size());
    m_sitePaths.reserve(entries.Size());
    for (std::size_t i = 0; i < entries.Size(); ++i) {
        std::string path = Utf8FromWide(entries.Folder(i));
        std::replace(path.begin(), path.end(), '\\', '/');
        m_internalPaths.push_back(AddPath(path + std::string(entries.Utf8Name(i))));
        m_sitePaths.push_back(AddPath(std::string(contentFolder) + "/" + OutputPath(entries, i)));
    }
}

SiteLinks::PathRange SiteLinks::AddPath(std::string_view path)
{
    if (m_pathText.size() + path.size() > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("paths past 4 GiB");
    const PathRange range{static_cast<std::uint32_t>(m_pathText.size()), static_cast<std::uint32_t>(path.size())};
    m_pathText.append(path);
    return range;
}

std::optional<std::string> SiteLinks::Rewritten(std::size_t entry, std::string_view href,
                                                std::vector<LinkProblem>& problems) const
{
    const LinkTarget target = ResolveLink(m_names, InternalPath(entry), href);
    switch (target.kind) {
    case LinkKind::Internal:
        return Url(SitePath(entry), target);
    case LinkKind::Broken:
    case LinkKind::OtherHelpFile:
        problems.push_back({entry, target.kind, std::string(href)});
        return std::nullopt;
    case LinkKind::SamePage:
    case LinkKind::External:
        break;
    }
    return std::nullopt;
}

std::optional<std::string> SiteLinks::UrlOfLocal(std::string_view fromSitePath, std::string_view local) const
{
    const LinkTarget target = ResolveLink(m_names, "", local);
    if (target.kind != LinkKind::Internal) return std::nullopt;
    return Url(fromSitePath, target);
}

std::string SiteLinks::Url(std::string_view fromSitePath, const LinkTarget& target) const
{
    return RelativeUrl(fromSitePath, SitePath(target.entry)) + FragmentForUrl(target.fragment);
}

} // namespace tarnwick::exporting
