#include "engine/FileSystem.h"

#include <vector>

namespace {

#ifdef _WIN32
constexpr std::wstring_view kSeparators = L"\\/";
#else
constexpr std::wstring_view kSeparators = L"/";
#endif

} // namespace

bool MakeDirectories(IFileSystem& fileSystem, const std::wstring& path)
{
    // Up to the first folder that exists (or the root), then down again making each.
    std::vector<std::wstring> missing;
    std::wstring folder = path;
    while (!folder.empty() && !fileSystem.DirectoryExists(folder)) {
        missing.push_back(folder);
        const std::size_t separator = folder.find_last_of(kSeparators);
        folder.resize(separator == std::wstring::npos ? 0 : separator);
    }
    for (auto level = missing.rbegin(); level != missing.rend(); ++level) fileSystem.MakeDirectory(*level);
    return fileSystem.DirectoryExists(path);
}
