// Content section 0: bytes stored as they are, from the content offset to the end of the file.
#pragma once

#include "storage/ByteSource.h"
#include "storage/ContentSection.h"

namespace tarnwick::storage {

class UncompressedSection final : public ContentSection {
public:
    UncompressedSection(const ByteSource& file, std::uint64_t start);

    std::uint64_t Start() const { return m_start; }
    std::uint64_t Size() const override { return m_size; }
    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override;

private:
    const ByteSource& m_file;
    std::uint64_t m_start;
    std::uint64_t m_size;
};

} // namespace tarnwick::storage
