// The sitemap form of the contents (.hhc) and index (.hhk) files: one <OBJECT type="text/sitemap">
// per item, its parameters as <param> tags, nesting as <UL> lists. Texts are taken as bytes in
// the help file's code page and written as they are, with only the HTML specials escaped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarnwick::project {

using SitemapParams = std::vector<std::pair<std::string_view, std::string_view>>;

class SitemapWriter {
public:
    SitemapWriter();

    // An item at `depth`, which is at most one deeper than the item before it: a deeper one is
    // written one level down, so no damaged depth can open lists without bound.
    void Item(std::size_t depth, const SitemapParams& params);
    std::string Finish();

private:
    void OpenTo(std::size_t lists);

    std::string m_text;
    std::size_t m_openLists = 0;
};

} // namespace tarnwick::project
