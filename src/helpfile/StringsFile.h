// "#STRINGS": the NUL-terminated texts other internal files name by their offset.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tarnwick::helpfile {

// The text starting at `offset`, in the file's code page; nothing when the offset is past the
// end or the text runs off it unterminated.
std::optional<std::string_view> StringAt(std::span<const std::uint8_t> strings, std::uint64_t offset);

} // namespace tarnwick::helpfile
