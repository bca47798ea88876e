#include "export/Sitemap.h"

#include "base/Utf8.h"
#include "export/PageNames.h"
#include "html/Tokenizer.h"

#include <utility>

namespace tarnwick::exporting {

namespace {

bool IsSitemapObject(const html::Token& token)
{
    const html::Attribute* type = token.FindAttribute("type");
    return type && FoldedCase(type->value) == "text/sitemap";
}

class SitemapReader {
public:
    SitemapReader() { m_open.push_back(&m_root); }

    void Take(const html::Token& token)
    {
        const bool start = token.kind == html::TokenKind::StartTag;
        const bool end = token.kind == html::TokenKind::EndTag;
        if (start && token.name == "param") Param(token);
        else if (start && token.name == "object") BeginObject(token);
        else if (start && token.name == "ul") OpenList();
        else if (end && token.name == "ul") CloseList();
        else if ((start && token.name == "li") || (end && token.name == "object")) m_item = nullptr;
    }

    NavigationItem Finish() { return std::move(m_root); }

private:
    void BeginObject(const html::Token& token)
    {
        m_item = nullptr;
        if (!IsSitemapObject(token)) return; // the contents' "text/site properties" and the like
        m_item = &m_open.back()->children.emplace_back();
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
    // level. The tree's vectors only grow at the innermost open list, so the pointers stay valid.
    void OpenList()
    {
        m_item = nullptr;
        if (m_open.size() > kMaxNavigationDepth) {
            ++m_listsPastLimit;
            return;
        }
        NavigationItem* level = m_open.back();
        m_open.push_back(level->children.empty() ? level : &level->children.back());
    }

    void CloseList()
    {
        m_item = nullptr;
        if (m_listsPastLimit > 0) --m_listsPastLimit;
        else if (m_open.size() > 1) m_open.pop_back();
    }

    NavigationItem m_root;
    std::vector<NavigationItem*> m_open; // the root, then the item of each open list
    std::size_t m_listsPastLimit = 0;
    NavigationItem* m_item = nullptr;    // the sitemap object being read
    std::string m_pendingTitle;
};

} // namespace

NavigationItem ParseSitemap(std::string_view utf8)
{
    SitemapReader reader;
    html::TokenizeEach(utf8, [&](html::Token&& token) { reader.Take(token); });
    return reader.Finish();
}

NavigationItem ReadSitemap(std::string_view bytes, const helpfile::TextEncoding& encoding)
{
    // Large sitemaps are mostly ASCII, which every code page reads alike: no copy of them then.
    return ParseSitemap(IsAscii(bytes) ? bytes : Utf8FromWide(encoding.Decode(bytes)));
}

} // namespace tarnwick::exporting
