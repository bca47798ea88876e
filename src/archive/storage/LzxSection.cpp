#include "LzxSection.h"

#include "ControlData.h"
#include "DecodeAhead.h"
#include "LittleEndian.h"
#include "LzxDecoder.h"

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

class LzxSection final : public ContentSection, private IntervalSource {
public:
    LzxSection(const ByteSource& file, std::uint64_t compressedOffset, const ControlData& control, ResetTable table)
        : m_file(file), m_compressedOffset(compressedOffset), m_resetFrames(control.resetFrames),
          m_windowBits(control.windowBits), m_table(std::move(table)), m_decoder(control.windowBits),
          m_everDecoded(std::make_unique<std::atomic<bool>[]>(m_table.frameStarts.size()))
    {
    }

    void ExpectReads(std::span<const ByteRange> ranges, unsigned threads) override
    {
        m_ahead.reset();
        m_cacheSlots = ranges.empty() ? kCachedFrames : kCachedFramesInDataOrder;
        if (threads < 2 || m_resetFrames * kFrameSize > kMaxIntervalAhead) return;
        std::vector<std::uint64_t> intervals = IntervalsOf(ranges);
        if (intervals.empty()) return;
        m_ahead = std::make_unique<DecodeAhead>(static_cast<const IntervalSource&>(*this), std::move(intervals), threads);
    }

    std::uint64_t Size() const override { return m_table.uncompressedLength; }

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

private:
    struct CachedFrame {
        std::uint64_t index = kNoFrame;
        std::uint64_t lastUse = 0;
        std::vector<std::uint8_t> bytes;
    };

    std::size_t FrameLength(std::uint64_t index) const
    {
        return static_cast<std::size_t>(std::min(kFrameSize, Size() - index * kFrameSize));
    }

    CachedFrame* Cached(std::uint64_t index)
    {
        for (CachedFrame& slot : m_cache)
            if (slot.index == index) return &slot;
        return nullptr;
    }

    // The decoded frame, or null when the data up to it is damaged.
    const std::uint8_t* Frame(std::uint64_t index)
    {
        if (CachedFrame* hit = Cached(index)) {
            hit->lastUse = ++m_clock;
            return hit->bytes.data();
        }
        if (m_ahead) {
            if (const std::vector<std::uint8_t>* interval = m_ahead->Interval(index / m_resetFrames))
                return interval->data() + (index % m_resetFrames) * kFrameSize;
        }
        // Decoding must start at a reset point unless the decoder already stands
        // between the one before this frame and the frame itself.
        const std::uint64_t resetPoint = index - index % m_resetFrames;
        if (!m_decoderReady || m_nextFrame <= resetPoint || m_nextFrame > index) {
            m_decoder.Reset();
            m_nextFrame = resetPoint;
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

    bool DecodeInto(std::uint64_t index, CachedFrame& slot)
    {
        slot.bytes.resize(kFrameSize);
        return DecodeFrame(index, m_decoder, m_compressed, std::span(slot.bytes).first(FrameLength(index)));
    }

    // Frame `index` with `decoder`, which stands where the frame before it ended (or at its reset point).
    bool DecodeFrame(std::uint64_t index, LzxDecoder& decoder, std::vector<std::uint8_t>& compressed,
                     std::span<std::uint8_t> out) const
    {
        const std::uint64_t begin = m_table.frameStarts[static_cast<std::size_t>(index)];
        const std::uint64_t end = index + 1 < m_table.frameStarts.size()
                                      ? m_table.frameStarts[static_cast<std::size_t>(index + 1)]
                                      : m_table.compressedLength;
        if (end - begin > kMaxCompressedFrame) return false;
        compressed.resize(static_cast<std::size_t>(end - begin));
        if (!m_file.ReadAt(m_compressedOffset + begin, compressed)) return false;
        g_framesDecoded.fetch_add(1, std::memory_order_relaxed);
        if (m_everDecoded[static_cast<std::size_t>(index)].exchange(true, std::memory_order_relaxed))
            g_framesDecodedAgain.fetch_add(1, std::memory_order_relaxed);
        return decoder.DecodeFrame(compressed, out);
    }

    unsigned WindowBits() const override { return m_windowBits; }

    bool DecodeInterval(std::uint64_t interval, LzxDecoder& decoder, std::vector<std::uint8_t>& out) const override
    {
        const std::uint64_t first = interval * m_resetFrames;
        const std::uint64_t end = std::min<std::uint64_t>(first + m_resetFrames, m_table.frameStarts.size());
        out.resize(static_cast<std::size_t>((end - first) * kFrameSize));
        std::vector<std::uint8_t> compressed;
        decoder.Reset();
        for (std::uint64_t index = first; index < end; ++index) {
            const auto at = static_cast<std::size_t>((index - first) * kFrameSize);
            if (!DecodeFrame(index, decoder, compressed, std::span(out).subspan(at, FrameLength(index)))) return false;
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
    const std::uint64_t m_resetFrames;
    const unsigned m_windowBits;
    const ResetTable m_table;
    LzxDecoder m_decoder;
    bool m_decoderReady = false;
    std::uint64_t m_nextFrame = 0;
    std::vector<std::uint8_t> m_compressed;
    std::array<CachedFrame, kCachedFrames> m_cache;
    std::size_t m_cacheSlots = kCachedFrames; // those taken for new frames
    std::uint64_t m_clock = 0;
    std::unique_ptr<std::atomic<bool>[]> m_everDecoded;
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
    if (!control) return nullptr;
    if (layout.compressedOffset > file.Size() || layout.compressedLength > file.Size() - layout.compressedOffset)
        return nullptr;
    auto table = ParseResetTable(layout.resetTable, layout.compressedLength);
    if (!table) return nullptr;
    return std::make_unique<LzxSection>(file, layout.compressedOffset, *control, std::move(*table));
}

} // namespace tarnwick::storage
