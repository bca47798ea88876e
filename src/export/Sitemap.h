// The contents (.hhc) and index (.hhk) files of a help file read into one kind of tree: nested
// <UL> lists of <OBJECT type="text/sitemap"> items, each with its parameters as <param> tags.
#pragma once

#include "helpfile/TextEncoding.h"

#include <cstddef>
#include <string>
#include <string_view>
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

// The items of a sitemap already in UTF-8, as children of an untitled root. Tolerates what real
// compilers and editors write: a missing </LI> or </OBJECT>, parameter names in any letter case,
// a <UL> straight inside a <UL>, stray </UL>s and parameters outside an item.
NavigationItem ParseSitemap(std::string_view utf8);

// The same for a sitemap as stored, in the help file's code page.
NavigationItem ReadSitemap(std::string_view bytes, const helpfile::TextEncoding& encoding);

} // namespace tarnwick::exporting
