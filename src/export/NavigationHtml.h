// The contents tree and the keyword list of an exported site as HTML lists, for the page that
// holds them to wrap. Links open in the frame named "topic".
#pragma once

#include "export/Sitemap.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick::exporting {

// The url of an item's page from the page that holds the list; nothing when it has none there.
using UrlOf = std::function<std::optional<std::string>(std::string_view local)>;

// Nested <ul> lists of the root's children: a book (an item with children) is a <details> whose
// <summary> is its title, linked when the book has a page of its own. Empty when there is no item.
std::string ContentsHtml(const NavigationItem& root, const UrlOf& urlOf);

// The keywords in order, sub-keywords nested: a keyword with one topic links it, one with several
// lists them as links under it, a "see also" keyword names the other.
std::string KeywordsHtml(const NavigationItem& root, const UrlOf& urlOf);

} // namespace tarnwick::exporting
