// The compressed section's "ControlData": the LZX window and how often the decoder resets. Read
// both by the section, which cannot decode without it, and by whoever reports on the file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace tarnwick::storage {

struct ControlData {
    unsigned windowBits = 0;
    std::uint64_t resetFrames = 0; // frames of 32 KiB between reset points
};

// Nothing when the data is not LZX control data or names a window or interval the decoder cannot use.
std::optional<ControlData> ParseControlData(std::span<const std::uint8_t> data);

} // namespace tarnwick::storage
