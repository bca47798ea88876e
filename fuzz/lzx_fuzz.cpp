// libFuzzer entry point for the LZX decoder alone. The input is a small header, then raw LZX data:
//
//   byte 0        window size: 2^(15 + byte % 7)
//   byte 1        reset interval: 1 + byte % 4 frames
//   byte 2        frame count: 1 + byte % 8
//   bytes 3-4     the last frame's decoded length: 1 + (little-endian value % 32768)
//   then          per frame, its compressed length (little-endian 16 bits), cut to what is left
//   then          the frames' compressed bytes, one after another
//
// The frames are decoded in order as the section decodes them (the last one without the checks of
// its end), starting over at every reset point and after a failure. A second decoder that first
// decodes the whole input backwards must then give the same bytes: a state that Reset leaves
// behind shows as a difference. A third reads the frames' bytes as one run, as a section without
// its reset table does, each frame starting where the decoder found the one before it to end,
// which must lie within what it was given.
#include "storage/LzxDecoder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace {

using tarnwick::storage::LzxDecoder;

constexpr std::size_t kHeaderSize = 5;

struct Input {
    unsigned windowBits = 15;
    unsigned resetFrames = 1;
    std::size_t lastFrameSize = LzxDecoder::kFrameSize;
    std::vector<std::span<const std::uint8_t>> frames;
    std::span<const std::uint8_t> all; // the frames' bytes as one run
};

// Frames found one after another in `data`, as far as they decode.
void DecodeFindingEnds(std::span<const std::uint8_t> data, const Input& input)
{
    LzxDecoder decoder(input.windowBits);
    std::vector<std::uint8_t> frame(LzxDecoder::kFrameSize);
    for (std::size_t i = 0; i < input.frames.size(); ++i) {
        if (i % input.resetFrames == 0) decoder.Reset();
        if (i + 1 == input.frames.size()) {
            decoder.DecodeLastFrame(data, std::span(frame).first(input.lastFrameSize));
            return;
        }
        std::size_t used = 0;
        if (!decoder.DecodeFrameFindingEnd(data, std::span(frame).first(LzxDecoder::kFrameSize), used)) return;
        if (used > data.size()) __builtin_trap();
        data = data.subspan(used);
    }
}

std::size_t Le16(const std::uint8_t* p) { return p[0] | static_cast<std::size_t>(p[1]) << 8; }

bool Parse(std::span<const std::uint8_t> data, Input& input)
{
    if (data.size() < kHeaderSize) return false;
    input.windowBits = 15 + data[0] % 7;
    input.resetFrames = 1 + data[1] % 4;
    const unsigned frameCount = 1 + data[2] % 8;
    input.lastFrameSize = 1 + Le16(&data[3]) % LzxDecoder::kFrameSize;
    const std::size_t lengthsEnd = kHeaderSize + 2 * std::size_t{frameCount};
    if (data.size() < lengthsEnd) return false;
    std::span<const std::uint8_t> rest = data.subspan(lengthsEnd);
    input.all = rest;
    for (unsigned i = 0; i < frameCount; ++i) {
        const std::size_t length = std::min(Le16(&data[kHeaderSize + 2 * i]), rest.size());
        input.frames.push_back(rest.first(length));
        rest = rest.subspan(length);
    }
    return true;
}

std::vector<std::uint8_t> DecodeAll(LzxDecoder& decoder, const Input& input)
{
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> frame(LzxDecoder::kFrameSize);
    bool failed = false;
    for (std::size_t i = 0; i < input.frames.size(); ++i) {
        if (i % input.resetFrames == 0 || failed) decoder.Reset();
        const bool last = i + 1 == input.frames.size();
        const std::size_t size = last ? input.lastFrameSize : LzxDecoder::kFrameSize;
        const auto output = std::span(frame).first(size);
        failed = !(last ? decoder.DecodeLastFrame(input.frames[i], output) : decoder.DecodeFrame(input.frames[i], output));
        // A failed frame's bytes are whatever the decoder left; only success is compared.
        if (failed) std::fill_n(frame.begin(), size, 0xFF);
        out.insert(out.end(), frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(size));
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input input;
    if (!Parse({data, size}, input)) return 0;

    LzxDecoder fresh(input.windowBits);
    const std::vector<std::uint8_t> expected = DecodeAll(fresh, input);

    Input backwards = input;
    std::reverse(backwards.frames.begin(), backwards.frames.end());
    LzxDecoder used(input.windowBits);
    DecodeAll(used, backwards);
    if (DecodeAll(used, input) != expected) __builtin_trap();
    DecodeFindingEnds(input.all, input);
    return 0;
}
