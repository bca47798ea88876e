#include "export/OutputPath.h"

#include "base/Utf8.h"
#include "engine/SafeName.h"

namespace tarnwick::exporting {

std::string OutputPath(const helpfile::EntryTable& entries, std::size_t entry)
{
    std::string path;
    for (const std::wstring& level : SafeFolderNames(entries.Folder(entry))) {
        AppendUtf8(path, level);
        path.push_back('/');
    }
    AppendUtf8(path, SafeFileName(entries.Name(entry)));
    return path;
}

} // namespace tarnwick::exporting
