// The links of one folder's pages as SiteLinks rewrites them, or as another rewriting that depends
// only on the page's folders, kept for the pages after: the pages of a folder share most of their
// links (their unit's index, the style sheet), and pages come folder by folder. One per thread.
#pragma once

#include "base/StringHash.h"
#include "export/SiteLinks.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tarnwick::exporting {

class LinkCache {
public:
    // A link's url as written in a page of `entry`; none where the link keeps its url.
    using Rewrite = std::function<std::optional<std::string>(std::size_t entry, std::string_view href, std::vector<LinkProblem>& problems)>;

    explicit LinkCache(const SiteLinks& links);
    LinkCache(const SiteLinks& links, Rewrite rewrite) : m_links(links), m_rewrite(std::move(rewrite)) {}

    // As the rewriting gives it (SiteLinks::Rewritten unless another is given), but none where the
    // url is the one written already, which asks for no change of the page; valid until the next
    // call.
    const std::string* Rewritten(std::size_t entry, std::string_view href, std::vector<LinkProblem>& problems);

private:
    struct Result {
        std::optional<std::string> url;
        std::optional<LinkKind> problem;
    };

    void UseFolderOf(std::size_t entry);

    const SiteLinks& m_links;
    Rewrite m_rewrite;
    std::optional<std::size_t> m_entry; // whose folder the results are for
    std::string m_internalFolder;
    std::string m_siteFolder;
    std::unordered_map<std::string, Result, StringHash, std::equal_to<>> m_results;
};

} // namespace tarnwick::exporting
