// One content section of a help file: the space that directory entries address
// by (offset, length).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tarnwick::storage {

class ContentSection {
public:
    virtual ~ContentSection() = default;
    // Length of the section's (decompressed) content.
    virtual std::uint64_t Size() const = 0;
    // Copies up to out.size() bytes from `offset`. Returns the count copied, which is
    // short only at the section's end, or nothing when the data there is damaged.
    virtual std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
};

} // namespace tarnwick::storage
