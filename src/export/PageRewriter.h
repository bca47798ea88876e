// A page of the help file made a page of the exported site: UTF-8 with a declaration that says
// so, and links that reach the exported files from disk. Every other byte stays as it was.
#pragma once

#include "export/LinkCache.h"
#include "export/SiteLinks.h"
#include "helpfile/TextEncoding.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::exporting {

// A page's bytes in UTF-8, read in the first of: a byte order mark, the page's own declaration
// (when this system converts its code page), and `encoding`, which goes by the user's choice, the
// help file's language and what the text itself shows. The bytes are taken, and given back when
// they are UTF-8 already.
std::string PageAsUtf8(std::string bytes, const helpfile::TextEncoding& encoding);

struct RewrittenPage {
    std::string html;
    std::string title;
    std::string visibleText; // for the search: its whitespace as it came
    std::vector<LinkProblem> problems;
};

// The page is read token by token, never held whole as tokens: a help file's pages run to megabytes.
RewrittenPage RewritePage(LinkCache& links, std::size_t entry, std::string bytes, const helpfile::TextEncoding& encoding);

// A style sheet keeps its bytes, whatever their encoding; only its urls change.
std::string RewriteStyleSheet(const SiteLinks& links, std::size_t entry, std::string_view bytes,
                              std::vector<LinkProblem>& problems);

} // namespace tarnwick::exporting
