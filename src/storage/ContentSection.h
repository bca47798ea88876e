// One content section of a help file: the space that directory entries address
// by (offset, length).
#pragma once

#include "storage/ITStorage.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tarnwick::storage {

struct ByteRange {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

class ContentSection {
public:
    virtual ~ContentSection() = default;
    // Length of the section's (decompressed) content.
    virtual std::uint64_t Size() const = 0;
    // Copies up to out.size() bytes from `offset`. Returns the count copied, which is
    // short only at the section's end, or nothing when the data there is damaged.
    virtual std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
    // The ranges about to be read, in this order: a compressed section may decode them ahead on
    // up to `threads` threads. Replaces any earlier announcement.
    virtual void ExpectReads(std::span<const ByteRange> ranges, unsigned threads)
    {
        (void)ranges;
        (void)threads;
    }
    // Why the last ReadAt that returned nothing failed.
    virtual DamageReport LastDamage() const { return {}; }
    // The kSection... bits of what is wrong with the section as a whole.
    virtual ULONG State() const { return 0; }
};

} // namespace tarnwick::storage
