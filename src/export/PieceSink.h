// The generated files of a large help file's site (its keyword index, its search index) run to
// megabytes: their makers hand them on in pieces as they go, so that none lies whole in memory.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace tarnwick::exporting {

using PieceSink = std::function<void(std::string_view piece)>;

// Big enough that a file's writes stay few, small beside the megabytes a whole file would take.
inline constexpr std::size_t kPieceBytes = 64u << 10;

} // namespace tarnwick::exporting
