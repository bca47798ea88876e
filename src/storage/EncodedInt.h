// The container's variable-length integers: 7 bits a byte, most significant
// group first, high bit set on every byte but the last.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace tarnwick::storage {

// Reads one integer at `pos` within `bytes` and advances `pos`. Nothing when the
// integer runs past the end or does not fit in 64 bits.
std::optional<std::uint64_t> ReadEncodedInt(std::span<const std::uint8_t> bytes, std::size_t& pos);

} // namespace tarnwick::storage
