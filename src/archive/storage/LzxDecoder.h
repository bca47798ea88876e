// Decoder for the LZX bit stream of a help file's compressed section.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tarnwick::storage {

class LzxDecoder {
public:
    static constexpr std::size_t kFrameSize = 0x8000;

    // windowBits: 15 to 21, as the section's control data allows.
    explicit LzxDecoder(unsigned windowBits);

    // Starts over as at a reset point of the section.
    void Reset();

    // Decodes the next frame: `input` holds that frame's compressed bytes, `output`
    // receives exactly output.size() bytes (kFrameSize, less for the section's last
    // frame). False when the data is damaged; Reset before decoding again.
    bool DecodeFrame(std::span<const std::uint8_t> input, std::span<std::uint8_t> output);

private:
    // Bits are taken most significant first from 16-bit little-endian words.
    struct BitReader {
        const std::uint8_t* next = nullptr;
        const std::uint8_t* end = nullptr;
        std::uint64_t bits = 0;  // unread bits, left-aligned
        unsigned count = 0;      // valid bits in `bits`
        unsigned padding = 0;    // zero bits supplied after the input ran out
    };

    // Canonical Huffman code as a lookup table: one root level indexed by the next
    // rootBits bits, and second-level tables for the longer codes.
    struct HuffmanTable {
        std::vector<std::uint32_t> entries;
        unsigned rootBits = 0;
        bool Build(const std::uint8_t* lengths, unsigned count, bool literalPairs);
    };

    bool Fail();
    bool ReadStreamHeader(BitReader& in);
    bool ReadBlockHeader(BitReader& in);
    bool ReadLengths(BitReader& in, std::uint8_t* lengths, unsigned first, unsigned last);
    bool StartUncompressed(BitReader& in);
    bool DecodeCompressedRun(BitReader& in, std::uint32_t& pos, std::uint32_t frameEnd);
    bool CopyUncompressedRun(BitReader& in, std::uint32_t& pos, std::uint32_t frameEnd);
    void CopyMatch(std::uint32_t pos, std::uint32_t offset, std::uint32_t length);
    void UndoCallTranslation(std::span<std::uint8_t> out, std::uint64_t frameOffset) const;

    std::uint32_t m_windowSize = 0; // zero when the window size is unusable
    unsigned m_mainElements = 0;
    std::vector<std::uint8_t> m_window;

    std::uint32_t m_windowPos = 0;   // where the next frame starts in the window
    std::uint64_t m_produced = 0;    // bytes decoded since the last Reset
    bool m_failed = false;

    bool m_headerRead = false;
    bool m_translate = false;
    std::int32_t m_translationSize = 0;

    unsigned m_blockType = 0;
    std::uint32_t m_blockRemaining = 0;
    bool m_blockOddLength = false;
    std::uint32_t m_r0 = 1, m_r1 = 1, m_r2 = 1;

    // A match that ran past the end of the previous frame: the rest is copied first.
    std::uint32_t m_pendingLength = 0;
    std::uint32_t m_pendingOffset = 0;

    std::vector<std::uint8_t> m_mainLengths;
    std::vector<std::uint8_t> m_lengthLengths;
    std::uint8_t m_alignedLengths[8] = {};
    HuffmanTable m_mainTable;
    HuffmanTable m_lengthTable;
    HuffmanTable m_alignedTable;
    HuffmanTable m_preTable;
};

} // namespace tarnwick::storage
