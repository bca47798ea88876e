// The files a project lists, under the names unpacking gave them, and the way back from a name
// in the help file's texts to one of them: the project must name each file as it is on disk.
#pragma once

#include "helpfile/EntryTable.h"
#include "project/RecoveryReport.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarnwick::project {

class ProjectNames {
public:
    // A name unpacking had to change is reported, and the project uses the changed one.
    ProjectNames(const helpfile::EntryTable& listed, RecoveryReport& report);

    // The listed files as unpacked, in listing order.
    const std::vector<std::wstring>& Files() const { return m_files; }

    // The listed file a name from the help file's texts means, as the help viewer finds it: in
    // any letter case, with "\" or "/", with or without a leading "/" and a "#part" (kept on the
    // result). A compiler that writes the project's whole path ("/home/x/proj/a.htm") is
    // understood by the longest tail of the path that names a listed file.
    std::optional<std::wstring> Find(std::wstring_view reference) const;

private:
    std::optional<std::wstring> FindWhole(std::wstring_view path) const;

    std::vector<std::wstring> m_files;
    std::unordered_map<std::wstring, std::size_t> m_byFoldedName;
};

} // namespace tarnwick::project
