#include "export/PageNames.h"

#include "base/Utf8.h"

#include <algorithm>

namespace tarnwick::exporting {

std::string FoldedCase(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

PageNames::PageNames(const helpfile::EntryTable& entries, std::string_view helpFileName, unsigned codePage)
    : m_foldedFileName(FoldedCase(helpFileName)), m_codePage(codePage)
{
    m_byFoldedPath.reserve(entries.Size());
    for (std::size_t i = 0; i < entries.Size(); ++i) {
        std::string path = Utf8FromWide(entries.Folder(i));
        std::replace(path.begin(), path.end(), '\\', '/');
        path += entries.Utf8Name(i);
        m_byFoldedPath.try_emplace(FoldedCase(path), i);
    }
}

std::optional<std::size_t> PageNames::Find(std::string_view path) const
{
    const auto found = m_byFoldedPath.find(FoldedCase(path));
    if (found == m_byFoldedPath.end()) return std::nullopt;
    return found->second;
}

bool PageNames::IsOwnFile(std::string_view fileName) const
{
    return !m_foldedFileName.empty() && FoldedCase(fileName) == m_foldedFileName;
}

} // namespace tarnwick::exporting
