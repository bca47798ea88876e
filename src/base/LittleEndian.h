// Little-endian fields: the container's headers, where the caller has checked the length, and the
// internal files, whose offsets come from the file itself and are checked here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tarnwick {

inline std::uint16_t ReadLe16(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

inline std::uint32_t ReadLe32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

inline std::uint64_t ReadLe64(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return ReadLe32(bytes, at) | static_cast<std::uint64_t>(ReadLe32(bytes, at + 4)) << 32;
}

// No value for a field that would reach past the bytes.
inline std::optional<std::uint16_t> Le16At(std::span<const std::uint8_t> bytes, std::uint64_t at)
{
    if (at > bytes.size() || bytes.size() - at < 2) return std::nullopt;
    return ReadLe16(bytes, static_cast<std::size_t>(at));
}

inline std::optional<std::uint32_t> Le32At(std::span<const std::uint8_t> bytes, std::uint64_t at)
{
    if (at > bytes.size() || bytes.size() - at < 4) return std::nullopt;
    return ReadLe32(bytes, static_cast<std::size_t>(at));
}

} // namespace tarnwick
