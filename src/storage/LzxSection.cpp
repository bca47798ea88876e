#include "storage/LzxSection.h"

#include "base/LittleEndian.h"
#include "storage/ControlData.h"
#include "storage/DecodeAhead.h"
#include "storage/LzxDecoder.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace tarnwick::storage {
namespace {

constexpr std::uint64_t kFrameSize = LzxDecoder::kFrameSize;

constexpr std::size_t kResetTableHeaderSize = 40;
constexpr std::uint32_t kResetTableVersion = 2;
constexpr std::uint32_t kResetTableEntrySize = 8;

// Even incompressible data costs a well-behaved encoder little more than the frame
// itself (an uncompressed block's few header bytes), so a span several times that
// size can only come from a damaged table; refusing it keeps memory bounded.
constexpr std::uint64_t kMaxCompressedFrame = 3 * kFrameSize;

// Consecutive streams lie one after another, so the frame a stream ends in is the
// next one's first. A reader that follows the directory rather than the data jumps
// back and forth across the section; enough frames for it to come back to (2 MiB)
// spare most of the decoding again that each jump back would cost. A reader that
// announced its reads follows the data, and needs only a few.
constexpr std::size_t kCachedFrames = 64;
constexpr std::size_t kCachedFramesInDataOrder = 4;

std::atomic<std::uint64_t> g_framesDecoded{0};
std::atomic<std::uint64_t> g_framesDecodedAgain{0};

constexpr std::uint64_t kNoFrame = std::numeric_limits<std::uint64_t>::max();

// Decoding ahead keeps a few whole reset intervals in memory: not for files whose intervals are
// large (some compilers never reset), which are read as before.
constexpr std::uint64_t kMaxIntervalAhead = 1u << 20;

struct ResetTable {
    std::uint64_t uncompressedLength = 0;
    std::uint64_t compressedLength = 0;
    std::vector<std::uint64_t> frameStarts; // one per frame of the section
};

std::optional<ResetTable> ParseResetTable(std::span<const std::uint8_t> data, std::uint64_t contentLength)
{
    if (data.size() < kResetTableHeaderSize) return std::nullopt;
    const std::uint32_t version = ReadLe32(data, 0);
    const std::uint32_t entryCount = ReadLe32(data, 4);
    const std::uint32_t entrySize = ReadLe32(data, 8);
    const std::uint32_t headerLength = ReadLe32(data, 12);
    ResetTable table;
    table.uncompressedLength = ReadLe64(data, 16);
    table.compressedLength = ReadLe64(data, 24);
    const std::uint64_t frameSize = ReadLe64(data, 32);
    if (version != kResetTableVersion || entrySize != kResetTableEntrySize || frameSize != kFrameSize ||
        headerLength < kResetTableHeaderSize || headerLength > data.size() ||
        entryCount > (data.size() - headerLength) / kResetTableEntrySize || table.compressedLength > contentLength)
        return std::nullopt;

    // Some compilers add one entry past the last frame, holding the compressed length.
    const std::uint64_t frameCount =
        table.uncompressedLength / kFrameSize + (table.uncompressedLength % kFrameSize != 0 ? 1 : 0);
    if (frameCount > entryCount) return std::nullopt;

    table.frameStarts.reserve(static_cast<std::size_t>(frameCount));
    std::uint64_t previous = 0;
    for (std::uint32_t i = 0; i < entryCount; ++i) {
        const std::uint64_t start = ReadLe64(data, headerLength + std::size_t{i} * kResetTableEntrySize);
        if (start < previous || start > table.compressedLength) return std::nullopt;
        if (i < frameCount) {
            if (start == table.compressedLength) return std::nullopt; // a frame without a byte
            table.frameStarts.push_back(start);
        }
        previous = start;
    }
    return table;
}

StreamDamage FromDecoder(LzxDamage damage)
{
    switch (damage) {
    case LzxDamage::InputEnded: return StreamDamage::InputEnded;
    case LzxDamage::BadBlockHeader: return StreamDamage::BadBlockHeader;
    case LzxDamage::BadTree: return StreamDamage::BadTree;
    case LzxDamage::BadCode: return StreamDamage::BadCode;
    case LzxDamage::MatchOutsideWindow: return StreamDamage::MatchOutsideWindow;
    case LzxDamage::MatchPastBlock: return StreamDamage::MatchPastBlock;
    case LzxDamage::WrongFrameEnd: return StreamDamage::WrongFrameEnd;
    case LzxDamage::NonzeroPadding: return StreamDamage::NonzeroPadding;
    case LzxDamage::None: break;
    }
    return StreamDamage::BadBlockHeader;
}

// Frames are located through the reset table when it is usable. Without it, they are found one
// after another from the section's start, each where the one before it ended, and reset points are
// reached only once every frame before them has been decoded: slower, but everything up to the
// first damage is read. Each frame takes at least a few dozen compressed bytes, so the starts found
// take a fraction of the compressed data's size.
class LzxSection final : public ContentSection, private IntervalSource {
public:
    LzxSection(const ByteSource& file, const LzxSectionLayout& layout, const ControlData& control,
               std::optional<ResetTable> table)
        : m_file(file), m_compressedOffset(layout.compressedOffset),
          m_declaredLength(layout.compressedLength),
          m_available(std::min(layout.compressedLength, file.Size() - layout.compressedOffset)),
          m_resetFrames(control.resetFrames), m_windowBits(control.windowBits), m_fromTable(table.has_value()),
          m_size(table ? table->uncompressedLength : layout.sizeWithoutTable),
          m_compressedEnd(table ? table->compressedLength : layout.compressedLength),
          m_starts(table ? std::move(table->frameStarts) : std::vector<std::uint64_t>{0}),
          m_decoder(control.windowBits),
          m_everDecoded(std::make_unique<std::atomic<bool>[]>(m_fromTable ? m_starts.size() : 0))
    {
    }

    void ExpectReads(std::span<const ByteRange> ranges, unsigned threads) override
    {
        m_ahead.reset();
        m_aheadInterval = kNoFrame;
        m_aheadBytes = nullptr;
        m_cacheSlots = ranges.empty() ? kCachedFrames : kCachedFramesInDataOrder;
        // Workers start at reset points, which only the reset table locates.
        if (threads < 2 || !m_fromTable || m_resetFrames * kFrameSize > kMaxIntervalAhead) return;
        std::vector<std::uint64_t> intervals = IntervalsOf(ranges);
        if (intervals.empty()) return;
        m_ahead = std::make_unique<DecodeAhead>(static_cast<const IntervalSource&>(*this), std::move(intervals), threads);
    }

    std::uint64_t Size() const override { return m_size; }

    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override
    {
        if (offset >= Size()) return 0;
        const auto total = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), Size() - offset));
        std::size_t done = 0;
        while (done < total) {
            const std::uint64_t at = offset + done;
            const std::uint64_t index = at / kFrameSize;
            const auto within = static_cast<std::size_t>(at % kFrameSize);
            const std::uint8_t* frame = Frame(index);
            if (!frame) return std::nullopt;
            const std::size_t count = std::min(total - done, FrameLength(index) - within);
            std::memcpy(out.data() + done, frame + within, count);
            done += count;
        }
        return done;
    }

    DamageReport LastDamage() const override { return m_lastDamage; }

    ULONG State() const override
    {
        return (m_fromTable ? 0 : kSectionResetTableUnusable) | (m_available < m_declaredLength ? kSectionContentCut : 0);
    }

private:
    struct CachedFrame {
        std::uint64_t index = kNoFrame;
        std::uint64_t lastUse = 0;
        std::vector<std::uint8_t> bytes;
    };

    std::uint64_t FrameCount() const { return m_size / kFrameSize + (m_size % kFrameSize != 0 ? 1 : 0); }

    std::size_t FrameLength(std::uint64_t index) const
    {
        return static_cast<std::size_t>(std::min(kFrameSize, Size() - index * kFrameSize));
    }

    // The data must stop cleanly where the decoder is reset. (Not at the section's end: encoders
    // declare the last block longer than what is left.)
    bool EndsInterval(std::uint64_t index) const
    {
        return (index + 1) % m_resetFrames == 0 && index + 1 < FrameCount();
    }

    CachedFrame* Cached(std::uint64_t index)
    {
        for (CachedFrame& slot : m_cache)
            if (slot.index == index) return &slot;
        return nullptr;
    }

    // The latest reset point whose frame is located.
    std::uint64_t LastLocatedResetPoint() const
    {
        return (m_starts.size() - 1) / m_resetFrames * m_resetFrames;
    }

    // The decoded frame, or null when the data up to it is damaged.
    const std::uint8_t* Frame(std::uint64_t index)
    {
        if (CachedFrame* hit = Cached(index)) {
            hit->lastUse = ++m_clock;
            return hit->bytes.data();
        }
        if (const std::uint8_t* ahead = FrameDecodedAhead(index)) return ahead;
        // Decoding must start at a reset point unless the decoder already stands
        // between the one before this frame and the frame itself.
        const std::uint64_t from = std::min(index - index % m_resetFrames, LastLocatedResetPoint());
        if (!m_decoderReady || m_nextFrame <= from || m_nextFrame > index) {
            m_nextFrame = from;
            m_decoderReady = true;
        }
        CachedFrame* slot = nullptr;
        while (m_nextFrame <= index) {
            slot = Cached(m_nextFrame);
            const auto slots = std::span(m_cache).first(m_cacheSlots);
            if (!slot) slot = &*std::min_element(slots.begin(), slots.end(), [](const auto& a, const auto& b) {
                return a.lastUse < b.lastUse;
            });
            slot->index = kNoFrame;
            if (!DecodeInto(m_nextFrame, *slot)) {
                m_decoderReady = false;
                return nullptr;
            }
            slot->index = m_nextFrame++;
            slot->lastUse = ++m_clock;
        }
        return slot->bytes.data();
    }

    // From the workers' interval, asked for once per interval: the reader's streams mostly lie
    // many to an interval, and each question takes the workers' lock.
    const std::uint8_t* FrameDecodedAhead(std::uint64_t index)
    {
        if (!m_ahead) return nullptr;
        const std::uint64_t interval = index / m_resetFrames;
        if (interval != m_aheadInterval) {
            m_aheadInterval = interval;
            m_aheadBytes = m_ahead->Interval(interval);
        }
        return m_aheadBytes ? m_aheadBytes->data() + (index % m_resetFrames) * kFrameSize : nullptr;
    }

    bool DecodeInto(std::uint64_t index, CachedFrame& slot)
    {
        if (index % m_resetFrames == 0) m_decoder.Reset();
        slot.bytes.resize(kFrameSize);
        std::uint64_t next = 0;
        const StreamDamage damage =
            DecodeFrame(index, m_decoder, m_compressed, std::span(slot.bytes).first(FrameLength(index)), next);
        if (damage != StreamDamage::None) {
            m_lastDamage = {damage, index};
            return false;
        }
        if (index + 1 == m_starts.size() && index + 1 < FrameCount()) m_starts.push_back(next);
        return true;
    }

    // Frame `index` with `decoder`, which stands where the frame before it ended (or at its reset
    // point); `next` receives where the frame's compressed bytes end.
    StreamDamage DecodeFrame(std::uint64_t index, LzxDecoder& decoder, std::vector<std::uint8_t>& compressed,
                             std::span<std::uint8_t> out, std::uint64_t& next) const
    {
        const std::uint64_t begin = m_starts[static_cast<std::size_t>(index)];
        std::uint64_t end = 0;
        if (m_fromTable) {
            end = index + 1 < m_starts.size() ? m_starts[static_cast<std::size_t>(index + 1)] : m_compressedEnd;
            if (end - begin > kMaxCompressedFrame) return StreamDamage::FrameTooLong;
            if (end > m_available) return StreamDamage::DataMissing;
        } else {
            if (begin >= m_available) return StreamDamage::DataMissing;
            end = std::min(begin + kMaxCompressedFrame, m_available);
        }
        compressed.resize(static_cast<std::size_t>(end - begin));
        if (!m_file.ReadAt(m_compressedOffset + begin, compressed)) return StreamDamage::DataMissing;
        g_framesDecoded.fetch_add(1, std::memory_order_relaxed);
        if (m_fromTable && m_everDecoded[static_cast<std::size_t>(index)].exchange(true, std::memory_order_relaxed))
            g_framesDecodedAgain.fetch_add(1, std::memory_order_relaxed);

        // Encoders leave bits and bytes of their own after the section's last frame.
        const bool last = index + 1 == FrameCount();
        std::size_t used = compressed.size();
        const bool decoded = last          ? decoder.DecodeLastFrame(compressed, out)
                             : m_fromTable ? decoder.DecodeFrame(compressed, out)
                                           : decoder.DecodeFrameFindingEnd(compressed, out, used);
        if (!decoded) {
            const bool cut = !m_fromTable && end == m_available && m_available < m_declaredLength;
            return cut && decoder.Damage() == LzxDamage::InputEnded ? StreamDamage::DataMissing
                                                                    : FromDecoder(decoder.Damage());
        }
        if (EndsInterval(index) && !decoder.AtBlockBoundary()) return StreamDamage::BadBlockHeader;
        next = begin + used;
        return StreamDamage::None;
    }

    unsigned WindowBits() const override { return m_windowBits; }

    bool DecodeInterval(std::uint64_t interval, LzxDecoder& decoder, std::vector<std::uint8_t>& out) const override
    {
        const std::uint64_t first = interval * m_resetFrames;
        const std::uint64_t end = std::min<std::uint64_t>(first + m_resetFrames, m_starts.size());
        out.resize(static_cast<std::size_t>((end - first) * kFrameSize));
        std::vector<std::uint8_t> compressed;
        decoder.Reset();
        for (std::uint64_t index = first; index < end; ++index) {
            const auto at = static_cast<std::size_t>((index - first) * kFrameSize);
            std::uint64_t next = 0;
            if (DecodeFrame(index, decoder, compressed, std::span(out).subspan(at, FrameLength(index)), next) !=
                StreamDamage::None)
                return false;
        }
        return true;
    }

    // The reset intervals that hold the bytes of `ranges`, ascending, each once.
    std::vector<std::uint64_t> IntervalsOf(std::span<const ByteRange> ranges) const
    {
        std::vector<ByteRange> sorted;
        for (const ByteRange& range : ranges)
            if (range.length > 0 && range.offset < Size())
                sorted.push_back({range.offset, std::min(range.length, Size() - range.offset)});
        std::sort(sorted.begin(), sorted.end(), [](const ByteRange& a, const ByteRange& b) { return a.offset < b.offset; });
        // Swept in order, so that overlapping ranges cost nothing more, however long.
        const std::uint64_t intervalBytes = m_resetFrames * kFrameSize;
        std::vector<std::uint64_t> intervals;
        for (const ByteRange& range : sorted) {
            std::uint64_t interval = range.offset / intervalBytes;
            if (!intervals.empty()) interval = std::max(interval, intervals.back() + 1);
            for (const std::uint64_t last = (range.offset + range.length - 1) / intervalBytes; interval <= last; ++interval)
                intervals.push_back(interval);
        }
        return intervals;
    }

    const ByteSource& m_file;
    const std::uint64_t m_compressedOffset;
    const std::uint64_t m_declaredLength; // of the compressed data, as the directory gives it
    const std::uint64_t m_available;      // of it, within the file
    const std::uint64_t m_resetFrames;
    const unsigned m_windowBits;
    const bool m_fromTable;
    const std::uint64_t m_size;
    const std::uint64_t m_compressedEnd;
    std::vector<std::uint64_t> m_starts; // each located frame's compressed start
    LzxDecoder m_decoder;
    DamageReport m_lastDamage;
    bool m_decoderReady = false;
    std::uint64_t m_nextFrame = 0;
    std::vector<std::uint8_t> m_compressed;
    std::array<CachedFrame, kCachedFrames> m_cache;
    std::size_t m_cacheSlots = kCachedFrames; // those taken for new frames
    std::uint64_t m_clock = 0;
    std::unique_ptr<std::atomic<bool>[]> m_everDecoded;
    std::uint64_t m_aheadInterval = kNoFrame; // the interval last asked of m_ahead
    const std::vector<std::uint8_t>* m_aheadBytes = nullptr; // and its bytes: null when it failed
    std::unique_ptr<DecodeAhead> m_ahead; // last, so stopped first: its workers use the rest
};

} // namespace

LzxDecodeCounts LzxFramesDecoded()
{
    return {g_framesDecoded.load(std::memory_order_relaxed), g_framesDecodedAgain.load(std::memory_order_relaxed)};
}

std::unique_ptr<ContentSection> OpenLzxSection(const ByteSource& file, const LzxSectionLayout& layout)
{
    const auto control = ParseControlData(layout.controlData);
    if (!control || layout.compressedOffset > file.Size()) return nullptr;
    // A file cut short keeps the frames before the cut, so compressed data reaching past the
    // file's end is read as far as it goes.
    return std::make_unique<LzxSection>(file, layout, *control,
                                        ParseResetTable(layout.resetTable, layout.compressedLength));
}

} // namespace tarnwick::storage
