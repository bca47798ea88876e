// The contents tree and the keyword list of an exported site as HTML lists, for the page that
// holds them to wrap. Links open in the frame named "topic".
#pragma once

#include "export/PieceSink.h"
#include "export/Sitemap.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarnwick::exporting {

// The url of an item's page from the page that holds the list; nothing when it has none there.
using UrlOf = std::function<std::optional<std::string>(std::string_view local)>;

// Nested <ul> lists of the root's children: a book (an item with children) is a <details> whose
// <summary> is its title, linked when the book has a page of its own. Empty when there is no item.
std::string ContentsHtml(const NavigationItem& root, const UrlOf& urlOf);

// The keywords in the order handed over, sub-keywords nested: a keyword with one topic links it,
// one with several lists them as links under it, a "see also" keyword names the other. Passed on
// to `sink` in pieces as it is made, the last by Finish(); nothing when there is no keyword.
class KeywordsHtmlWriter final : public SitemapItemSink {
public:
    KeywordsHtmlWriter(UrlOf urlOf, PieceSink sink) : m_urlOf(std::move(urlOf)), m_sink(std::move(sink)) {}
    void Open(NavigationItem&& keyword) override;
    void Close() override;
    void Finish();

private:
    void AppendTopics(const NavigationItem& keyword);

    const UrlOf m_urlOf;
    const PieceSink m_sink;
    std::string m_html;
    std::vector<bool> m_listBegun{false}; // the root's, then each open keyword's: its <ul> is written
};

// The same list of an index sitemap in UTF-8, whole.
std::string KeywordsHtml(std::string_view sitemap, const UrlOf& urlOf);

} // namespace tarnwick::exporting
