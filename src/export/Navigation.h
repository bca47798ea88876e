// What an exported site shows beside its topics: the contents tree, the keyword index, the page
// it opens with and its title, from whichever form of each the help file kept.
#pragma once

#include "export/Sitemap.h"
#include "helpfile/HelpFileFacts.h"
#include "storage/ITStorage.h"

#include <string>

namespace tarnwick::exporting {

struct Navigation {
    NavigationItem contents; // an untitled root whose children are the top level
    std::string defaultTopic; // UTF-8, a name as the help file writes it; empty when none
    std::string title;        // UTF-8; empty when none
};

// The contents from the stored .hhc that #SYSTEM names (or the only one at the root when it names
// none), else rebuilt from "#TOCIDX". What the file lacks or cannot give stays empty.
Navigation ReadNavigation(IStorage* root, const helpfile::HelpFileFacts& facts);

// The index from the stored .hhk, else from the keyword B-tree, handed to `keywords` item by
// item where it is used: a large help file's index runs to megabytes, and as a tree to several
// times that. Nothing when the file has none.
void ReadKeywords(IStorage* root, const helpfile::HelpFileFacts& facts, SitemapItemSink& keywords);

} // namespace tarnwick::exporting
