// What the links of one help file's pages resolve against, built once for all of them: the
// streams by the names links give them, and where export writes each.
#pragma once

#include "export/LinkTarget.h"
#include "export/PageNames.h"
#include "helpfile/EntryTable.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::exporting {

// A link that export keeps as written and reports: one to a stream the help file does not hold,
// or into another help file.
struct LinkProblem {
    std::size_t entry = 0; // the page or style sheet holding the link
    LinkKind kind = LinkKind::Broken;
    std::string href;      // as the page gives it, decoded
};

class SiteLinks {
public:
    // The streams are written below `contentFolder` ("content"), as unpacking with folders
    // writes them.
    SiteLinks(const helpfile::EntryTable& entries, std::string_view helpFileName, unsigned codePage,
              std::string_view contentFolder);

    const helpfile::EntryTable& Entries() const { return m_entries; }
    // "a/b.htm": the stream's path in the help file, as links name it.
    std::string_view InternalPath(std::size_t entry) const { return PathAt(m_internalPaths[entry]); }
    // "content/a/b.htm": the file export writes, relative to the export folder.
    std::string_view SitePath(std::size_t entry) const { return PathAt(m_sitePaths[entry]); }
    std::optional<std::size_t> Find(std::string_view internalPath) const { return m_names.Find(internalPath); }
    const PageNames& Names() const { return m_names; }

    // The url that reaches what `href` in `entry` leads to from the file written for `entry`, or
    // nothing when the link stays as written; a broken link or one into another help file is added
    // to `problems`.
    std::optional<std::string> Rewritten(std::size_t entry, std::string_view href, std::vector<LinkProblem>& problems) const;
    // The url that reaches the page a sitemap or #SYSTEM names (from the help file's root) from
    // `fromSitePath`, a file export writes; nothing when the help file does not hold it.
    std::optional<std::string> UrlOfLocal(std::string_view fromSitePath, std::string_view local) const;

private:
    // Every path in one text, a help file's tens of thousands of them: a string each took three
    // times the memory.
    struct PathRange {
        std::uint32_t start = 0;
        std::uint32_t length = 0;
    };
    PathRange AddPath(std::string_view path);
    std::string_view PathAt(PathRange range) const { return std::string_view(m_pathText).substr(range.start, range.length); }
    std::string Url(std::string_view fromSitePath, const LinkTarget& target) const;

    const helpfile::EntryTable& m_entries;
    PageNames m_names;
    std::string m_pathText;
    std::vector<PathRange> m_internalPaths;
    std::vector<PathRange> m_sitePaths;
};

} // namespace tarnwick::exporting
