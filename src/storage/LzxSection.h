// The LZX-compressed content section, read through its reset table so that any
// offset is reached by decoding from the nearest reset point only.
#pragma once

#include "storage/ByteSource.h"
#include "storage/ContentSection.h"

#include <memory>

namespace tarnwick::storage {

struct LzxSectionLayout {
    std::span<const std::uint8_t> controlData; // the "ControlData" stream
    std::span<const std::uint8_t> resetTable;  // the reset table stream
    std::uint64_t compressedOffset = 0;        // where the "Content" stream starts in the file
    std::uint64_t compressedLength = 0;        // as the directory gives it, even past the file's end
    // The section's size when the reset table is unusable: where its last stream ends.
    std::uint64_t sizeWithoutTable = 0;
};

// Null when the control data is unusable. Without a usable reset table the section is read
// from its start; compressed data cut short by the file's end is read as far as it goes.
std::unique_ptr<ContentSection> OpenLzxSection(const ByteSource& file, const LzxSectionLayout& layout);

// Frames decoded by all sections of the process so far, and how many of them had been decoded
// before: the benchmarks' measure of work done twice.
struct LzxDecodeCounts {
    std::uint64_t frames = 0;
    std::uint64_t again = 0;
};
LzxDecodeCounts LzxFramesDecoded();

} // namespace tarnwick::storage
