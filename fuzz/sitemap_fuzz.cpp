// libFuzzer entry point for the sitemap reader and the site's lists: any bytes as a contents or
// index file, read as UTF-8 and in a double-byte code page. The tree stays within the depth limit,
// and the lists hold exactly one <li> per item (and per topic of a keyword with several), with
// every list and <details> closed: no title or local can open or close markup of its own.
#include "export/NavigationHtml.h"
#include "export/Sitemap.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace tarnwick::exporting;

constexpr unsigned kGbk = 936;

void Check(bool holds)
{
    if (!holds) __builtin_trap();
}

std::size_t Count(std::string_view text, std::string_view part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + part.size())) ++count;
    return count;
}

struct TreeCounts {
    std::size_t items = 0;
    std::size_t listedTopics = 0; // the topics of keywords with several, each an <li> of its own
    std::size_t depth = 0;
};

void CountTree(const NavigationItem& item, std::size_t depth, TreeCounts& counts)
{
    counts.depth = std::max(counts.depth, depth);
    for (const NavigationItem& child : item.children) {
        ++counts.items;
        if (child.links.size() > 1) counts.listedTopics += child.links.size();
        CountTree(child, depth + 1, counts);
    }
}

// Every local reaches a url with markup characters in it, so that escaping is needed everywhere.
std::optional<std::string> UrlOf(std::string_view local) { return "x\"<&>" + std::string(local); }

// The keyword list is written as the sitemap is read, without the tree: it must hold the tree's items.
void CheckLists(const NavigationItem& root, const std::string& keywords)
{
    TreeCounts counts;
    CountTree(root, 0, counts);
    Check(counts.depth <= kMaxNavigationDepth);
    const std::string contents = ContentsHtml(root, UrlOf);
    Check(Count(contents, "<li>") == counts.items && Count(contents, "<li>") == Count(contents, "</li>"));
    Check(Count(contents, "<ul>") == Count(contents, "</ul>"));
    Check(Count(contents, "<details>") == Count(contents, "</details>"));
    Check(Count(keywords, "<li>") == counts.items + counts.listedTopics);
    Check(Count(keywords, "<ul>") == Count(keywords, "</ul>"));
}

// Read as UTF-8 and in a double-byte code page.
void CheckReadings(std::string_view input)
{
    CheckLists(ParseSitemap(input), KeywordsHtml(input, UrlOf));
    const tarnwick::helpfile::TextEncoding gbk(kGbk);
    std::string keywords;
    KeywordsHtmlWriter writer(UrlOf, [&](std::string_view piece) { keywords += piece; });
    ReadSitemap(input, gbk, writer);
    writer.Finish();
    CheckLists(ReadSitemap(input, gbk), keywords);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CheckReadings(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
