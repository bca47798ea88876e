#include "export/Sitemap.h"

#include "base/Utf8.h"
#include "export/PageNames.h"
#include "helpfile/CodePageText.h"
#include "html/Tokenizer.h"

#include <optional>
#include <utility>

namespace tarnwick::exporting {

namespace {

bool IsSitemapObject(const html::Token& token)
{
    const html::Attribute* type = token.FindAttribute("type");
    return type && FoldedCase(type->value) == "text/sitemap";
}

// Holds only the items on the way from the root to the newest: a new item's siblings before it,
// and everything below them, are complete and already handed on.
class SitemapReader {
public:
    explicit SitemapReader(SitemapItemSink& items) : m_items(items) {}

    void Take(const html::Token& token)
    {
        const bool start = token.kind == html::TokenKind::StartTag;
        const bool end = token.kind == html::TokenKind::EndTag;
        if (start && token.name == "param") Param(token);
        else if (start && token.name == "object") BeginObject(token);
        else if (start && token.name == "ul") OpenList();
        else if (end && token.name == "ul") CloseList();
        else if ((start && token.name == "li") || (end && token.name == "object")) EndItem();
    }

    void Finish()
    {
        EndItem();
        CloseItemsBelow(0);
    }

private:
    // No parameter reaches an item once anything but a parameter follows it.
    void EndItem()
    {
        if (!m_item) return;
        m_items.Open(std::move(*m_item));
        m_item.reset();
    }

    void BeginObject(const html::Token& token)
    {
        EndItem();
        if (!IsSitemapObject(token)) return; // the contents' "text/site properties" and the like
        const std::size_t level = m_open.back();
        CloseItemsBelow(level);
        m_hasChildren[level] = true;
        m_hasChildren.push_back(false);
        m_item.emplace();
        m_pendingTitle.clear();
    }

    // The first Name titles the item; a later one titles the Local that follows it, as a keyword
    // with several topics names each.
    void Param(const html::Token& token)
    {
        const html::Attribute* name = token.FindAttribute("name");
        const html::Attribute* value = token.FindAttribute("value");
        if (!m_item || !name || !value) return;
        const std::string parameter = FoldedCase(name->value);
        if (parameter == "name" && m_item->title.empty() && m_item->links.empty()) m_item->title = value->value;
        else if (parameter == "name") m_pendingTitle = value->value;
        else if (parameter == "local") m_item->links.push_back({std::exchange(m_pendingTitle, {}), value->value});
        else if (parameter == "see also") m_item->seeAlso = value->value;
    }

    // A list belongs to the item before it; one with no item before it at its level stays at that
    // level.
    void OpenList()
    {
        EndItem();
        if (m_open.size() > kMaxNavigationDepth) {
            ++m_listsPastLimit;
            return;
        }
        const std::size_t level = m_open.back();
        m_open.push_back(m_hasChildren[level] ? level + 1 : level);
    }

    // A closed list may still be opened again by the next <UL>: its items stay open until one of
    // their own level or above follows.
    void CloseList()
    {
        EndItem();
        if (m_listsPastLimit > 0) --m_listsPastLimit;
        else if (m_open.size() > 1) m_open.pop_back();
    }

    void CloseItemsBelow(std::size_t level)
    {
        for (; m_hasChildren.size() > level + 1; m_hasChildren.pop_back()) m_items.Close();
    }

    SitemapItemSink& m_items;
    // The way from the root to the newest item, by depth: whether each has children yet. The last
    // child of an item that has some is the next one on the way.
    std::vector<bool> m_hasChildren{false};
    std::vector<std::size_t> m_open{0}; // the depth of the item of each open list, the root's first
    std::size_t m_listsPastLimit = 0;
    std::optional<NavigationItem> m_item; // the sitemap object being read
    std::string m_pendingTitle;
};

} // namespace

void SitemapTree::Open(NavigationItem&& item) { m_open.push_back(&m_open.back()->children.emplace_back(std::move(item))); }

void SitemapTree::Close() { m_open.pop_back(); }

void ParseSitemap(std::string_view utf8, SitemapItemSink& items)
{
    SitemapReader reader(items);
    html::TokenizeEach(utf8, [&](html::Token&& token) { reader.Take(token); });
    reader.Finish();
}

NavigationItem ParseSitemap(std::string_view utf8)
{
    SitemapTree tree;
    ParseSitemap(utf8, tree);
    return tree.Take();
}

void ReadSitemap(std::string_view bytes, const helpfile::TextEncoding& encoding, SitemapItemSink& items)
{
    // Large sitemaps are mostly ASCII, which every code page reads alike: no copy of them then.
    ParseSitemap(IsAscii(bytes) ? bytes : helpfile::Utf8FromCodePage(bytes, encoding.CodePageOf(bytes)), items);
}

NavigationItem ReadSitemap(std::string_view bytes, const helpfile::TextEncoding& encoding)
{
    SitemapTree tree;
    ReadSitemap(bytes, encoding, tree);
    return tree.Take();
}

} // namespace tarnwick::exporting
