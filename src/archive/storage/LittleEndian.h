// Little-endian fields of the container's headers.
#pragma once

#include <cstdint>
#include <span>

namespace tarnwick::storage {

inline std::uint32_t ReadLe32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

inline std::uint64_t ReadLe64(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return ReadLe32(bytes, at) | static_cast<std::uint64_t>(ReadLe32(bytes, at + 4)) << 32;
}

inline std::uint16_t ReadLe16(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

} // namespace tarnwick::storage
