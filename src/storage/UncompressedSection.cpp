#include "storage/UncompressedSection.h"

#include <algorithm>

namespace tarnwick::storage {

UncompressedSection::UncompressedSection(const ByteSource& file, std::uint64_t start)
    : m_file(file), m_start(std::min(start, file.Size())), m_size(file.Size() - m_start)
{
}

std::optional<std::size_t> UncompressedSection::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out)
{
    if (offset >= m_size) return 0;
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), m_size - offset));
    if (!m_file.ReadAt(m_start + offset, out.first(count))) return std::nullopt;
    return count;
}

} // namespace tarnwick::storage
