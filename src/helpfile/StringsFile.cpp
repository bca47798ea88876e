#include "helpfile/StringsFile.h"

#include <algorithm>

namespace tarnwick::helpfile {

std::optional<std::string_view> StringAt(std::span<const std::uint8_t> strings, std::uint64_t offset)
{
    if (offset >= strings.size()) return std::nullopt;
    const auto rest = strings.subspan(static_cast<std::size_t>(offset));
    const auto end = std::find(rest.begin(), rest.end(), std::uint8_t{0});
    if (end == rest.end()) return std::nullopt;
    return std::string_view(reinterpret_cast<const char*>(rest.data()), static_cast<std::size_t>(end - rest.begin()));
}

} // namespace tarnwick::helpfile
