// The help file's streams as its links name them, indexed once for all the pages of an export.
#pragma once

#include "helpfile/EntryTable.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tarnwick::exporting {

class PageNames {
public:
    // `helpFileName` is the exported file's own name ("Guide.chm"), which its:/ms-its: links name
    // when they mean a page of the same file. `codePage` is the one of the help file's texts, in
    // which pages written on such a system escape their names ("%D6%D0").
    PageNames(const helpfile::EntryTable& entries, std::string_view helpFileName, unsigned codePage);

    // "a/b.htm", without a leading "/", in any ASCII letter case, as the help viewer finds a
    // stream; the first listed wins where two differ only in case.
    std::optional<std::size_t> Find(std::string_view path) const;

    bool IsOwnFile(std::string_view fileName) const;
    unsigned CodePage() const { return m_codePage; }

private:
    std::unordered_map<std::string, std::size_t> m_byFoldedPath;
    std::string m_foldedFileName;
    unsigned m_codePage;
};

// ASCII letters in lower case, every other byte kept: the help viewer's own folding of names.
std::string FoldedCase(std::string_view text);

} // namespace tarnwick::exporting
