#include "ContentsSitemap.h"

#include "SitemapWriter.h"

namespace tarnwick::project {

std::string ContentsSitemap(const std::vector<helpfile::ContentsEntry>& entries)
{
    SitemapWriter sitemap;
    for (const helpfile::ContentsEntry& entry : entries) {
        SitemapParams params{{"Name", entry.name}};
        if (!entry.local.empty()) params.emplace_back("Local", entry.local);
        if (!entry.url.empty()) params.emplace_back("URL", entry.url);
        sitemap.Item(entry.depth, params);
    }
    return sitemap.Finish();
}

} // namespace tarnwick::project
