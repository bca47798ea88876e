// The contents (.hhc) and index (.hhk) files of a help file read into one kind of tree: nested
// <UL> lists of <OBJECT type="text/sitemap"> items, each with its parameters as <param> tags.
#pragma once

#include "helpfile/TextEncoding.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarnwick::exporting {

struct NavigationLink {
    std::string title; // the Name given just before the Local: a keyword's topic; often empty
    std::string local; // as written, in UTF-8
};

struct NavigationItem {
    std::string title;                  // UTF-8
    std::vector<NavigationLink> links;  // every Local of the item, in order
    std::string seeAlso;                // an index keyword that refers to another instead of topics
    std::vector<NavigationItem> children;
};

// Lists nested deeper than this are read as if at this depth: no hostile file can make the
// readers and writers of the tree recurse without bound.
inline constexpr std::size_t kMaxNavigationDepth = 64;

// A sitemap's items one at a time, in the order of the file: an index of tens of thousands of
// keywords takes several times its megabytes as a tree.
class SitemapItemSink {
public:
    virtual ~SitemapItemSink() = default;
    // An item without its children, which come next, each opened and closed in turn.
    virtual void Open(NavigationItem&& item) = 0;
    // The item opened last and not yet closed has no more children.
    virtual void Close() = 0;
};

// The items handed over made into the tree, as children of an untitled root.
class SitemapTree final : public SitemapItemSink {
public:
    SitemapTree() = default;
    SitemapTree(const SitemapTree&) = delete;
    SitemapTree& operator=(const SitemapTree&) = delete;
    void Open(NavigationItem&& item) override;
    void Close() override;
    NavigationItem Take() { return std::move(m_root); }

private:
    NavigationItem m_root;
    // The root, then the items opened and not closed. Only the innermost one's children grow, so
    // the pointers stay valid.
    std::vector<NavigationItem*> m_open{&m_root};
};

// The items of a sitemap already in UTF-8. Tolerates what real compilers and editors write: a
// missing </LI> or </OBJECT>, parameter names in any letter case, a <UL> straight inside a <UL>,
// stray </UL>s and parameters outside an item.
void ParseSitemap(std::string_view utf8, SitemapItemSink& items);
NavigationItem ParseSitemap(std::string_view utf8);

// The same for a sitemap as stored, in the help file's code page.
void ReadSitemap(std::string_view bytes, const helpfile::TextEncoding& encoding, SitemapItemSink& items);
NavigationItem ReadSitemap(std::string_view bytes, const helpfile::TextEncoding& encoding);

} // namespace tarnwick::exporting
