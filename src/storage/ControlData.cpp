#include "storage/ControlData.h"

#include "base/LittleEndian.h"
#include "storage/LzxDecoder.h"

#include <cstring>

namespace tarnwick::storage {
namespace {

constexpr std::uint64_t kFrameSize = LzxDecoder::kFrameSize;
constexpr unsigned kMinWindowBits = 15;
constexpr unsigned kMaxWindowBits = 21;
constexpr std::size_t kControlDataMinSize = 20; // through the window size

} // namespace

std::optional<ControlData> ParseControlData(std::span<const std::uint8_t> data)
{
    if (data.size() < kControlDataMinSize || std::memcmp(data.data() + 4, "LZXC", 4) != 0) return std::nullopt;
    const std::uint32_t version = ReadLe32(data, 8);
    std::uint64_t resetInterval = ReadLe32(data, 12);
    std::uint64_t windowSize = ReadLe32(data, 16);
    if (version == 2) {
        // Later compilers count both in frames rather than bytes.
        resetInterval *= kFrameSize;
        windowSize *= kFrameSize;
    } else if (version != 1) {
        return std::nullopt;
    }

    ControlData control;
    while (control.windowBits <= kMaxWindowBits && (std::uint64_t{1} << control.windowBits) < windowSize)
        ++control.windowBits;
    if (control.windowBits < kMinWindowBits || control.windowBits > kMaxWindowBits ||
        (std::uint64_t{1} << control.windowBits) != windowSize)
        return std::nullopt;

    // Every file seen resets on whole windows, but a shorter interval is harmless:
    // the decoder never lets a match reach back past a reset point anyway.
    if (resetInterval == 0 || resetInterval % kFrameSize != 0) return std::nullopt;
    control.resetFrames = resetInterval / kFrameSize;
    return control;
}

} // namespace tarnwick::storage
