// The links of one folder's pages as SiteLinks rewrites them, kept for the pages after: the pages of
// a folder share most of their links (their unit's index, the style sheet), pages come folder by
// folder, and a link's rewriting depends only on the folder it is written in. One per thread.
#pragma once

#include "base/StringHash.h"
#include "export/SiteLinks.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarnwick::exporting {

class LinkCache {
public:
    explicit LinkCache(const SiteLinks& links) : m_links(links) {}

    // As SiteLinks::Rewritten, but none where the url is the one written already, which asks for
    // no change of the page; valid until the next call.
    const std::string* Rewritten(std::size_t entry, std::string_view href, std::vector<LinkProblem>& problems);

private:
    struct Result {
        std::optional<std::string> url;
        std::optional<LinkKind> problem;
    };

    void UseFolderOf(std::size_t entry);

    const SiteLinks& m_links;
    std::optional<std::size_t> m_entry; // whose folder the results are for
    std::string m_internalFolder;
    std::string m_siteFolder;
    std::unordered_map<std::string, Result, StringHash, std::equal_to<>> m_results;
};

} // namespace tarnwick::exporting
