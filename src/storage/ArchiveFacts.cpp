// ChmArchive::Facts, apart from the reading code: a report on the file, which the reading never needs.
#include "storage/ChmArchive.h"

#include "base/LittleEndian.h"
#include "storage/ControlData.h"
#include "storage/LzxDecoder.h"

#include <array>
#include <cstdint>

namespace tarnwick::storage {
namespace {

constexpr const char* kControlDataName = "::DataSpace/Storage/MSCompressed/ControlData";
constexpr const char* kCompressedContentName = "::DataSpace/Storage/MSCompressed/Content";
constexpr std::size_t kControlDataLimit = 4096;
constexpr std::uint64_t kCompressedSection = 1;
constexpr std::size_t kHeaderLanguageEnd = 0x18;

// Lengths come from the directory: a damaged one must not wrap the total round.
std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) { return b > UINT64_MAX - a ? UINT64_MAX : a + b; }

} // namespace

ArchiveFacts ChmArchive::Facts()
{
    ArchiveFacts facts;
    std::array<std::uint8_t, kHeaderLanguageEnd> header{};
    // Open checked that the header is there.
    if (m_file->ReadAt(0, header)) {
        facts.itsfVersion = ReadLe32(header, 4);
        facts.headerLanguage = ReadLe32(header, 0x14);
    }
    for (const DirectoryEntry& entry : m_internalEntries) {
        if (entry.name.empty() || entry.name.back() == '/') continue; // a folder
        ++facts.dataSpaceStreams;
        facts.dataSpaceBytes = SaturatingAdd(facts.dataSpaceBytes, entry.length);
    }
    if (const DirectoryEntry* content = FindInternal(kCompressedContentName)) {
        facts.hasCompressedSection = true;
        facts.compressedSize = content->length;
    }
    const auto controlBytes = ReadInternalStream(kControlDataName, kControlDataLimit);
    if (const auto control = controlBytes ? ParseControlData(*controlBytes) : std::nullopt) {
        facts.controlDataUsable = true;
        facts.windowSize = std::uint64_t{1} << control->windowBits;
        facts.resetInterval = control->resetFrames * LzxDecoder::kFrameSize;
    }
    if (const ContentSection* section = facts.hasCompressedSection ? Section(kCompressedSection) : nullptr) {
        facts.sectionReadable = true;
        facts.uncompressedSize = section->Size();
    }
    return facts;
}

} // namespace tarnwick::storage
