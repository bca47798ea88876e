// Decoder for the LZX bit stream of a help file's compressed section.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tarnwick::storage {

// What made a frame fail: the reason a damaged entry is reported with.
enum class LzxDamage : std::uint8_t {
    None,
    InputEnded,         // the frame's compressed bytes ran out before its output was complete
    BadBlockHeader,     // unknown block type, empty block, or a block that runs past its reset interval
    BadTree,            // code lengths that make no prefix code
    BadCode,            // bits that start no code of the block's trees
    MatchOutsideWindow, // a match reaching before the reset point or further than the window
    MatchPastBlock,     // a match longer than what is left of its block
    WrongFrameEnd,      // the frame's output ended elsewhere than its compressed bytes
    NonzeroPadding,     // bits after the frame's last symbol, up to its 16-bit boundary, that are not zero
};

class LzxDecoder {
public:
    static constexpr std::size_t kFrameSize = 0x8000;

    // windowBits: 15 to 21, as the section's control data allows.
    explicit LzxDecoder(unsigned windowBits);

    // Starts over as at a reset point of the section.
    void Reset();

    // Decodes the next frame: `input` holds exactly that frame's compressed bytes, `output`
    // receives exactly output.size() bytes (kFrameSize, less for the section's last
    // frame). False when the data is damaged, the frame's output ending before or after
    // its input included, and bits other than zeros padding it to its 16-bit boundary; Reset
    // before decoding again.
    bool DecodeFrame(std::span<const std::uint8_t> input, std::span<std::uint8_t> output);

    // The same where the frame's extent is not known: `input` starts with the frame and may
    // run on past it. On success, `used` is the count of bytes the frame took (each frame
    // ends on a 16-bit boundary), which is where the next one starts.
    bool DecodeFrameFindingEnd(std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                               std::size_t& used);

    // The section's last frame, which `input` starts with: encoders follow it with bits and
    // bytes of their own, so neither its end nor its padding can be checked.
    bool DecodeLastFrame(std::span<const std::uint8_t> input, std::span<std::uint8_t> output);

    // Whether the decoded data stops here cleanly: no block and no match runs on past it.
    // True at every reset point and at the section's end of undamaged data.
    bool AtBlockBoundary() const { return m_blockRemaining == 0 && m_pendingLength == 0; }

    // Why the last frame failed; None after Reset.
    LzxDamage Damage() const { return m_damage; }

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

    bool Fail(LzxDamage damage);
    bool Damaged(LzxDamage cause); // records why, for Fail
    bool Damaged(const BitReader& in, LzxDamage cause);
    bool Decode(std::span<const std::uint8_t> input, std::span<std::uint8_t> output, std::size_t& used,
                bool padded);
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
    LzxDamage m_damage = LzxDamage::None;
    // Why the block header or run being read failed, for Fail to report.
    LzxDamage m_cause = LzxDamage::None;

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
