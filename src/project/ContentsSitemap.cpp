#include "project/ContentsSitemap.h"

#include "project/SitemapWriter.h"

namespace tarnwick::project {

std::string ContentsSitemap(const std::vector<helpfile::ContentsEntry>& entries, const NameWriter& writtenName)
{
    SitemapWriter sitemap;
    for (const helpfile::ContentsEntry& entry : entries) {
        SitemapParams params{{"Name", entry.name}};
        const std::string local = entry.local.empty() ? std::string() : writtenName(entry.local);
        if (!local.empty()) params.emplace_back("Local", local);
        if (!entry.url.empty()) params.emplace_back("URL", entry.url);
        sitemap.Item(entry.depth, params);
    }
    return sitemap.Finish();
}

} // namespace tarnwick::project
