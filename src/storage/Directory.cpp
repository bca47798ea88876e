#include "storage/Directory.h"

#include "base/LittleEndian.h"
#include "storage/EncodedInt.h"

#include <algorithm>
#include <cstring>

namespace tarnwick::storage {
namespace {

constexpr std::size_t kListingHeaderSize = 0x14;
constexpr std::uint32_t kBatchBytes = 64 * 1024;

bool ReadEntry(std::span<const std::uint8_t> area, std::size_t& pos, DirectoryEntry& entry)
{
    const auto nameLength = ReadEncodedInt(area, pos);
    if (!nameLength || *nameLength == 0 || *nameLength > area.size() - pos) return false;
    entry.name.assign(reinterpret_cast<const char*>(area.data() + pos), static_cast<std::size_t>(*nameLength));
    pos += static_cast<std::size_t>(*nameLength);
    const auto section = ReadEncodedInt(area, pos);
    const auto offset = section ? ReadEncodedInt(area, pos) : std::nullopt;
    const auto length = offset ? ReadEncodedInt(area, pos) : std::nullopt;
    if (!length) return false;
    entry.section = *section;
    entry.offset = *offset;
    entry.length = *length;
    return true;
}

void ReadListingChunk(std::span<const std::uint8_t> chunk, const std::function<void(const DirectoryEntry&)>& take)
{
    const std::uint32_t trailer = ReadLe32(chunk, 4);
    // A trailer that leaves no room for entries is damage; reading to the end of
    // the chunk instead would only turn the quick-reference words into names.
    if (trailer > chunk.size() - kListingHeaderSize) return;
    const auto area = chunk.subspan(kListingHeaderSize, chunk.size() - kListingHeaderSize - trailer);
    std::size_t pos = 0;
    DirectoryEntry entry;
    while (pos < area.size() && ReadEntry(area, pos, entry)) take(entry);
}

} // namespace

void ReadDirectory(const ByteSource& file, const ItsfLayout& layout, const std::function<void(const DirectoryEntry&)>& take)
{
    // Chunks are read a batch at one call: a call per chunk was most of a listing's system time.
    // A batch that cannot be read whole (the file ends inside it) is read again a chunk at a time,
    // so that every chunk before the end is still read.
    std::uint32_t perBatch = std::max<std::uint32_t>(1, kBatchBytes / layout.chunkSize);
    std::vector<std::uint8_t> batch(std::size_t{perBatch} * layout.chunkSize);
    for (std::uint32_t index = 0; index < layout.chunkCount;) {
        const std::uint32_t count = std::min(perBatch, layout.chunkCount - index);
        const std::uint64_t at = layout.chunksOffset + static_cast<std::uint64_t>(index) * layout.chunkSize;
        const auto chunks = std::span(batch).first(std::size_t{count} * layout.chunkSize);
        if (!file.ReadAt(at, chunks)) {
            if (count == 1) break;
            perBatch = 1;
            continue;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            const auto chunk = chunks.subspan(std::size_t{i} * layout.chunkSize, layout.chunkSize);
            if (std::memcmp(chunk.data(), "PMGL", 4) == 0) ReadListingChunk(chunk, take);
        }
        index += count;
    }
}

} // namespace tarnwick::storage
