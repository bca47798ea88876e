#include "storage/EncodedInt.h"

namespace tarnwick::storage {

std::optional<std::uint64_t> ReadEncodedInt(std::span<const std::uint8_t> bytes, std::size_t& pos)
{
    std::uint64_t value = 0;
    for (std::size_t at = pos; at < bytes.size(); ++at) {
        if (value >> 57) return std::nullopt;
        value = (value << 7) | (bytes[at] & 0x7F);
        if ((bytes[at] & 0x80) == 0) {
            pos = at + 1;
            return value;
        }
    }
    return std::nullopt;
}

} // namespace tarnwick::storage
