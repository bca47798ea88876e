// Where a link in a page of the help file leads, read as the help viewer reads it.
#pragma once

#include "export/PageNames.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick::exporting {

enum class LinkKind {
    Internal,      // a stream of this help file: rewritten to the file export writes for it
    SamePage,      // "#part" alone or nothing before it: kept as written
    External,      // any scheme ("http:", "mailto:", "javascript:", a drive "C:"...) or "//server"
    OtherHelpFile, // its:/ms-its:/mk:@MSITStore: or "FILE.chm::" naming another help file
    Broken,        // names a stream of this file that is not there: kept as written and listed
};

struct LinkTarget {
    LinkKind kind = LinkKind::Broken;
    std::size_t entry = 0;   // Internal: into the entry table PageNames was built from
    std::string path;        // Internal and Broken: the stream path the link resolves to, "a/b.htm"
    std::string fragment;    // Internal and SamePage: "#part" as written, or empty
};

// `fromPage` is the internal path of the page holding the link ("a/b/page.htm"); `href` the
// attribute's value as the html library decoded it, in UTF-8.
LinkTarget ResolveLink(const PageNames& names, std::string_view fromPage, std::string_view href);

} // namespace tarnwick::exporting
