// Little-endian fields read from an internal file whose offsets come from the file itself: a field
// that would reach past the bytes read is no value at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tarnwick::helpfile {

inline std::optional<std::uint32_t> Le32At(std::span<const std::uint8_t> bytes, std::uint64_t at)
{
    if (at > bytes.size() || bytes.size() - at < 4) return std::nullopt;
    const std::size_t i = static_cast<std::size_t>(at);
    return static_cast<std::uint32_t>(bytes[i]) | static_cast<std::uint32_t>(bytes[i + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[i + 2]) << 16 | static_cast<std::uint32_t>(bytes[i + 3]) << 24;
}

inline std::optional<std::uint16_t> Le16At(std::span<const std::uint8_t> bytes, std::uint64_t at)
{
    if (at > bytes.size() || bytes.size() - at < 2) return std::nullopt;
    const std::size_t i = static_cast<std::size_t>(at);
    return static_cast<std::uint16_t>(bytes[i] | bytes[i + 1] << 8);
}

} // namespace tarnwick::helpfile
