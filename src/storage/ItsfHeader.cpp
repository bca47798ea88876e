#include "storage/ItsfHeader.h"

#include "base/LittleEndian.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tarnwick::storage {
namespace {

constexpr std::size_t kItsfHeaderSize = 0x58;
constexpr std::size_t kItsfV3HeaderSize = 0x60;
constexpr std::size_t kItspHeaderSize = 0x54;
constexpr std::uint32_t kMinChunkSize = 0x20;
constexpr std::uint32_t kMaxChunkSize = 0x100000;

bool HasSignature(std::span<const std::uint8_t> bytes, const char* signature)
{
    return std::memcmp(bytes.data(), signature, 4) == 0;
}

struct DirectoryPlace {
    std::uint64_t offset;
    std::uint64_t contentOffset;
};

std::optional<DirectoryPlace> ReadItsf(const ByteSource& file)
{
    std::array<std::uint8_t, kItsfV3HeaderSize> header{};
    if (!file.ReadAt(0, std::span(header).first(kItsfHeaderSize))) return std::nullopt;
    if (!HasSignature(header, "ITSF")) return std::nullopt;
    const std::uint32_t version = ReadLe32(header, 4);
    if (version != 2 && version != 3) return std::nullopt;

    const std::uint64_t directoryOffset = ReadLe64(header, 0x48);
    const std::uint64_t directoryLength = ReadLe64(header, 0x50);
    if (version == 3) {
        if (!file.ReadAt(0, header)) return std::nullopt;
        return DirectoryPlace{directoryOffset, ReadLe64(header, 0x58)};
    }
    // Version 2 has no content offset: the content follows the directory.
    if (directoryLength > UINT64_MAX - directoryOffset) return std::nullopt;
    return DirectoryPlace{directoryOffset, directoryOffset + directoryLength};
}

} // namespace

std::optional<ItsfLayout> ReadItsfLayout(const ByteSource& file)
{
    const auto place = ReadItsf(file);
    if (!place) return std::nullopt;

    std::array<std::uint8_t, kItspHeaderSize> itsp{};
    if (!file.ReadAt(place->offset, itsp) || !HasSignature(itsp, "ITSP")) return std::nullopt;

    std::uint32_t headerLength = ReadLe32(itsp, 8);
    if (headerLength < kItspHeaderSize || headerLength > kMaxChunkSize) headerLength = kItspHeaderSize;
    const std::uint32_t chunkSize = ReadLe32(itsp, 0x10);
    if (chunkSize < kMinChunkSize || chunkSize > kMaxChunkSize) return std::nullopt;

    ItsfLayout layout;
    layout.contentOffset = place->contentOffset;
    layout.chunksOffset = place->offset + headerLength;
    layout.chunkSize = chunkSize;
    const std::uint64_t size = file.Size();
    if (layout.chunksOffset > size) return std::nullopt;
    const std::uint64_t fitting = (size - layout.chunksOffset) / chunkSize;
    const std::uint32_t declared = ReadLe32(itsp, 0x2C);
    layout.chunkCount = static_cast<std::uint32_t>(std::min<std::uint64_t>(declared, fitting));
    if (layout.chunkCount == 0) return std::nullopt;
    return layout;
}

} // namespace tarnwick::storage
