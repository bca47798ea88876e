// Hashes std::string keys and the string_views they are looked up by alike, so that a map keyed by
// strings is searched with a view into other text, without a string made for it.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace tarnwick {

struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
};

} // namespace tarnwick
