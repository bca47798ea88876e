#include "helpfile/FileReference.h"

#include <algorithm>

namespace tarnwick::helpfile {
namespace {

std::wstring StreamPath(std::wstring_view name)
{
    std::wstring path(name);
    std::replace(path.begin(), path.end(), L'\\', L'/');
    path.erase(0, path.find_first_not_of(L'/'));
    return path;
}

bool IsAbsolute(std::wstring_view name)
{
    return name.starts_with(L'/') || name.starts_with(L'\\') || (name.size() > 2 && name[1] == L':');
}

} // namespace

std::vector<ReferencedPath> ReferencedPaths(std::wstring_view reference)
{
    std::vector<ReferencedPath> readings;
    if (reference.empty()) return readings;
    readings.push_back({StreamPath(reference), {}});
    const std::size_t part = reference.find(L'#');
    const std::wstring fragment = part == std::wstring_view::npos || part == 0 ? std::wstring() : std::wstring(reference.substr(part));
    const std::wstring_view name = reference.substr(0, reference.size() - fragment.size());
    if (!fragment.empty()) readings.push_back({StreamPath(name), fragment});
    if (!IsAbsolute(name)) return readings;
    for (std::size_t slash = name.find_first_of(L"/\\", 1); slash != std::wstring_view::npos && slash + 1 < name.size();
         slash = name.find_first_of(L"/\\", slash + 1))
        readings.push_back({StreamPath(name.substr(slash + 1)), fragment});
    return readings;
}

} // namespace tarnwick::helpfile
