// The compressed section with hostile control data, reset tables and frames, and the decoder on
// hand-made streams for the block kinds and window sizes that the compilers never produce. (What
// the compilers do produce is read against 7zz's extraction by the differential test.)
#include "storage/LzxDecoder.h"
#include "storage/LzxSection.h"
#include "StorageTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <random>
#include <thread>

namespace tarnwick::storage::test {
namespace {

constexpr std::size_t kFrame = LzxDecoder::kFrameSize;

struct Parts {
    std::vector<std::uint8_t> file, control, reset;
    RawLayout layout;
    std::uint64_t contentOffset = 0, contentLength = 0;

    explicit Parts(const fs::path& chm) : file(ReadFileBytes(chm)), layout(file)
    {
        control = layout.Stream(file, kControlData);
        reset = layout.Stream(file, kResetTable);
        contentOffset = layout.StreamAt(kContent);
        contentLength = layout.Find(kContent).length;
    }
    std::unique_ptr<ContentSection> Open(const ByteSource& source) const
    {
        return OpenLzxSection(source, {control, reset, contentOffset, contentLength, Le64(reset, 16)});
    }
    std::uint64_t Entry(std::size_t i) const { return Le64(reset, 40 + 8 * i); }
    void SetEntry(std::size_t i, std::uint64_t value) { PutLe64(reset, 40 + 8 * i, value); }
};

std::vector<std::uint8_t> ReadAll(ContentSection& section)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(section.Size()));
    const auto got = section.ReadAt(0, bytes);
    EXPECT_TRUE(got && *got == bytes.size());
    return bytes;
}

// Without usable control data nothing can be decoded; without a usable reset table, or with
// compressed data said to run past the file's end, everything still reads, from the section's start.
TEST(LzxSection, RejectsUnusableControlDataAndReadsAroundUnusableResetTables)
{
    const Parts original(CorpusDir() / "topics.classic.chm");
    const auto source = MakeMemorySource(original.file);
    const auto intact = original.Open(*source);
    ASSERT_TRUE(intact);
    const std::vector<std::uint8_t> good = ReadAll(*intact);
    EXPECT_EQ(intact->State(), 0u);
    const std::pair<const char*, std::function<void(Parts&)>> unusable[] = {
        {"signature", [](Parts& p) { p.control[4] = 'X'; }},
        {"control data cut short", [](Parts& p) { p.control.resize(16); }},
        {"unknown version", [](Parts& p) { PutLe32(p.control, 8, 3); }},
        {"zero reset interval", [](Parts& p) { PutLe32(p.control, 12, 0); }},
        {"reset interval off the frames", [](Parts& p) {
             PutLe32(p.control, 8, 1), PutLe32(p.control, 12, 0x9000), PutLe32(p.control, 16, 0x10000);
         }},
        {"window of three frames", [](Parts& p) { PutLe32(p.control, 16, 3); }},
        {"window of 2^22", [](Parts& p) { PutLe32(p.control, 16, 128); }},
        {"window of 2^14", [](Parts& p) {
             PutLe32(p.control, 8, 1), PutLe32(p.control, 12, 0x8000), PutLe32(p.control, 16, 0x4000);
         }},
    };
    for (const auto& [what, damage] : unusable) {
        Parts p = original;
        damage(p);
        EXPECT_FALSE(p.Open(*source)) << what;
    }
    const std::pair<const char*, std::function<void(Parts&)>> readAround[] = {
        {"no table", [](Parts& p) { p.reset.clear(); }},
        {"table version", [](Parts& p) { PutLe32(p.reset, 0, 3); }},
        {"entry size", [](Parts& p) { PutLe32(p.reset, 8, 4); }},
        {"header beyond the table", [](Parts& p) { PutLe32(p.reset, 12, std::uint32_t(p.reset.size() + 8)); }},
        {"fewer entries than frames", [](Parts& p) { PutLe32(p.reset, 4, Le32(p.reset, 4) - 1); }},
        {"frame size", [](Parts& p) { PutLe64(p.reset, 32, 0x4000); }},
        {"compressed length beyond the content", [](Parts& p) { PutLe64(p.reset, 24, p.contentLength + 1); }},
        {"entry past the compressed length", [](Parts& p) { p.SetEntry(156, Le64(p.reset, 24) + 2); }},
        {"entries decreasing", [](Parts& p) { p.SetEntry(41, p.Entry(40) - 2); }},
        {"content far beyond the file", [](Parts& p) { p.contentLength = UINT64_MAX / 2; }},
    };
    for (const auto& [what, damage] : readAround) {
        Parts p = original;
        damage(p);
        const auto section = p.Open(*source);
        ASSERT_TRUE(section) << what;
        EXPECT_NE(section->State(), 0u) << what;
        EXPECT_TRUE(ReadAll(*section) == good) << what;
    }
    Parts bytes = original; // the first version counts in bytes what the second counts in frames
    PutLe32(bytes.control, 8, 1), PutLe32(bytes.control, 12, 0x10000), PutLe32(bytes.control, 16, 0x10000);
    const auto section = bytes.Open(*source);
    ASSERT_TRUE(section);
    EXPECT_TRUE(ReadAll(*section) == good);
}

// A file cut inside the compressed data: the frames before the cut read, with or without the reset
// table, and those after fail as data missing, never as anything read.
TEST(LzxSection, FileCutShortReadsTheFramesBeforeTheCut)
{
    const Parts original(CorpusDir() / "topics.classic.chm");
    const auto whole = MakeMemorySource(original.file);
    const std::vector<std::uint8_t> good = ReadAll(*original.Open(*whole));
    for (const bool withTable : {true, false}) {
        Parts cut = original;
        cut.file.resize(cut.contentOffset + cut.Entry(100) + 7); // inside frame 100
        if (!withTable) cut.reset.resize(4);
        const auto source = MakeMemorySource(cut.file);
        const auto section = cut.Open(*source);
        ASSERT_TRUE(section);
        EXPECT_EQ(section->State() & kSectionContentCut, kSectionContentCut);
        std::vector<std::uint8_t> before(100 * kFrame);
        ASSERT_EQ(section->ReadAt(0, before), before.size()) << withTable;
        EXPECT_TRUE(std::equal(before.begin(), before.end(), good.begin())) << withTable;
        std::vector<std::uint8_t> frame(kFrame);
        for (const std::uint64_t lost : {100u, 101u, 150u}) {
            EXPECT_FALSE(section->ReadAt(lost * kFrame, frame)) << lost;
            EXPECT_EQ(section->LastDamage().damage, StreamDamage::DataMissing) << lost;
        }
    }
}

// Damaged frames fail cleanly, and only the reset interval they lie in.
TEST(LzxSection, DamagedFramesFailWithoutHarmingTheRest)
{
    Parts p(CorpusDir() / "topics.classic.chm");
    const auto source = MakeMemorySource(p.file);
    const auto intact = p.Open(*source);
    ASSERT_TRUE(intact);
    const auto good = ReadAll(*intact);
    std::vector<std::uint8_t> frame(kFrame);
    const auto readFrame = [&](const Parts& parts, std::uint64_t index) {
        return parts.Open(*source)->ReadAt(index * kFrame, frame);
    };
    Parts truncated = p; // frame 20 keeps only its first 6 bytes
    truncated.SetEntry(21, truncated.Entry(20) + 6);
    EXPECT_FALSE(readFrame(truncated, 20));
    ASSERT_TRUE(readFrame(truncated, 3));
    EXPECT_TRUE(std::equal(frame.begin(), frame.end(), good.begin() + 3 * kFrame));
    Parts huge = p; // frame 10 spans most of the section
    for (std::size_t i = 11; i < 157; ++i) huge.SetEntry(i, Le64(p.reset, 24) - 1);
    const auto spanning = huge.Open(*source);
    EXPECT_FALSE(spanning->ReadAt(10 * kFrame, frame));
    EXPECT_EQ(spanning->LastDamage().damage, StreamDamage::FrameTooLong);
    EXPECT_TRUE(readFrame(huge, 9));

    // A bit flipped anywhere in a reset interval: the read fails or delivers everything, and the
    // decoder does not ignore its input.
    std::mt19937_64 rng(0xF11B);
    int noticed = 0;
    for (int i = 0; i < 300; ++i) {
        const std::uint64_t first = 2 * (rng() % 78);
        const std::size_t at = p.contentOffset + p.Entry(first) + rng() % (p.Entry(first + 2) - p.Entry(first));
        std::vector<std::uint8_t> damaged = p.file, got(2 * kFrame);
        damaged[at] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
        const auto count = p.Open(*MakeMemorySource(std::move(damaged)))->ReadAt(first * kFrame, got);
        ASSERT_TRUE(!count || *count == got.size()) << "flip " << i;
        noticed += !count || !std::equal(got.begin(), got.end(), good.begin() + first * kFrame);
    }
    EXPECT_GT(noticed, 250);
}

// ---- the decoder on hand-made streams ------------------------------------------------------------

// Writes an LZX bit stream. Its trees are flat (main elements 10 bits, length elements 8, pretree
// elements 5), which makes each symbol's code the symbol's own number.
class StreamWriter {
public:
    void Bits(std::uint32_t value, unsigned count)
    {
        while (count--) {
            m_word = static_cast<std::uint16_t>(m_word << 1 | (value >> count & 1));
            if (++m_used == 16) Le(m_word, 2), m_used = 0;
        }
    }
    void Raw(std::span<const std::uint8_t> bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }
    void Le(std::uint32_t value, int count) { AppendLe(m_bytes, value, count); }
    void Header(std::uint32_t translation)
    {
        Bits(translation != 0, 1);
        if (translation) Bits(translation >> 16, 16), Bits(translation & 0xFFFF, 16);
    }
    void Uncompressed(std::uint32_t size, std::uint32_t r0, std::uint32_t r1, std::uint32_t r2)
    {
        Bits(3, 3), Bits(size, 24);
        do Bits(0, 1); while (m_used != 0);
        Le(r0, 4), Le(r1, 4), Le(r2, 4);
    }
    void Compressed(unsigned type, std::uint32_t size, unsigned mainElements, bool firstTrees)
    {
        Bits(type, 3), Bits(size, 24);
        for (int i = 0; type == 2 && i < 8; ++i) Bits(3, 3);
        for (const auto& [count, length] : {std::pair{256u, 10u}, {mainElements - 256, 10u}, {249u, 8u}})
            Lengths(std::vector<unsigned>(count, firstTrees ? 17 - length : 0));
    }
    // One tree's length changes through a flat pretree, whose codes are their own numbers.
    void Lengths(const std::vector<unsigned>& codes)
    {
        for (int i = 0; i < 20; ++i) Bits(5, 4);
        for (unsigned code : codes) Bits(code, 5);
    }
    void Literal(std::uint8_t byte) { Bits(byte, 10); }
    void Match(unsigned length, unsigned slot, std::uint32_t footer = 0, unsigned footerBits = 0)
    {
        Bits(256 + slot * 8 + std::min(length - 2, 7u), 10);
        if (length >= 9) Bits(length - 9, 8);
        Bits(footer, footerBits);
    }
    unsigned Used() const { return m_used; }
    std::vector<std::uint8_t> Frame()
    {
        while (m_used != 0) Bits(0, 1);
        return std::exchange(m_bytes, {});
    }

private:
    std::vector<std::uint8_t> m_bytes;
    std::uint16_t m_word = 0;
    unsigned m_used = 0;
};

using Frames = std::vector<std::vector<std::uint8_t>>;

std::vector<std::uint8_t> Decode(unsigned windowBits, const Frames& frames, std::size_t size)
{
    LzxDecoder decoder(windowBits);
    std::vector<std::uint8_t> out(size);
    for (std::size_t i = 0; i < frames.size(); ++i)
        if (!decoder.DecodeFrame(frames[i], std::span(out).subspan(i * kFrame, std::min(size - i * kFrame, kFrame))))
            return {};
    return out;
}

std::vector<std::uint8_t> Noise(std::size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(rng() % 200); // never 0xE8
    return bytes;
}

// Appends a match's bytes the plain way, from the whole output rather than a window.
void Repeat(std::vector<std::uint8_t>& out, std::size_t length, std::size_t offset)
{
    while (length--) out.push_back(out[out.size() - offset]);
}

// Reset intervals decoded ahead on worker threads give the reader exactly what it decodes itself,
// damage included: the damaged interval fails, everything else is intact, nothing waits forever.
TEST(LzxSection, DecodingAheadOnThreadsReadsWhatTheReaderDecodesItself)
{
    Parts p(CorpusDir() / "topics.classic.chm"); // resets every 2 frames
    p.SetEntry(81, p.Entry(80) + 6);             // frame 80 keeps only its first 6 bytes
    const auto source = MakeMemorySource(p.file);
    // Stream-like ranges across frame boundaries, in order, and one range again.
    std::vector<ByteRange> ranges;
    for (std::uint64_t at = 0; at < p.Open(*source)->Size(); at += 5000) ranges.push_back({at, 7000});
    ranges.push_back(ranges[3]);

    using Reads = std::vector<std::optional<std::vector<std::uint8_t>>>;
    const auto readAll = [&](unsigned threads) {
        const auto section = p.Open(*source);
        const std::uint64_t before = LzxFramesDecoded().frames;
        section->ExpectReads(ranges, threads);
        if (threads > 1) {
            // The workers start at once, before any read.
            for (int wait = 0; wait < 1000 && LzxFramesDecoded().frames == before; ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            EXPECT_GT(LzxFramesDecoded().frames, before) << "nothing decoded ahead";
        }
        Reads reads;
        for (const ByteRange& range : ranges) {
            std::vector<std::uint8_t> bytes(static_cast<std::size_t>(range.length));
            const auto got = section->ReadAt(range.offset, bytes);
            if (got) bytes.resize(*got);
            reads.push_back(got ? std::optional(bytes) : std::nullopt);
        }
        return reads;
    };
    const Reads alone = readAll(1);
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        const bool damaged = ranges[i].offset < 82 * kFrame && ranges[i].offset + ranges[i].length > 80 * kFrame;
        EXPECT_EQ(alone[i].has_value(), !damaged) << "range at " << ranges[i].offset;
    }
    for (const unsigned threads : {2u, 3u, 8u}) EXPECT_TRUE(readAll(threads) == alone) << threads << " threads";
}

// An odd-sized uncompressed block running into the next frame, its repeated offsets used by the
// verbatim block after it, and call translation undone in both frames.
TEST(LzxDecoder, UncompressedBlockAcrossFramesAndCallTranslation)
{
    std::vector<std::uint8_t> data = Noise(32769, 1);
    const std::vector<std::uint8_t> literals{0xE8, 0x20, 0x80, 0x00, 0x00, 0x61, 0x62, 0x63};
    for (const auto& [at, value] :
         {std::pair{100u, 512u}, {200u, 0xFFFFFFCEu}, {300u, 2000000u}, {400u, 0xFFFFFE70u}, {32760u, 40000u}})
        data[at] = 0xE8, PutLe32(data, at + 1, value);
    StreamWriter w;
    w.Header(1000000);
    w.Uncompressed(32769, 3, 7, 1000);
    w.Raw(std::span(data).first(kFrame));
    Frames frames{w.Frame()};
    w.Raw(std::span(data).subspan(kFrame)), w.Le(0, 1); // the block's last byte, and padding
    w.Compressed(1, 20, 256 + 8 * 32, true);
    for (std::uint8_t b : literals) w.Literal(b);
    w.Match(5, 0), w.Match(4, 2), w.Match(3, 0); // R0 = 3; R2 = 1000, swapped into R0; R0 again
    frames.push_back(w.Frame());

    std::vector<std::uint8_t> want = data;
    want.insert(want.end(), literals.begin(), literals.end());
    Repeat(want, 5, 3), Repeat(want, 4, 1000), Repeat(want, 3, 1000);
    PutLe32(want, 101, 512 - 100);        // absolute to relative
    PutLe32(want, 201, 1000000 - 50);     // negative: counted back from the translation size
    PutLe32(want, 401, 1000000 - 400);    // as far back as the start
    PutLe32(want, 32770, 0x8020 - 32769); // positions count from the reset, across frames
    // 300 is out of range and 32760 lies in its frame's last 10 bytes: both stay as they are.
    EXPECT_TRUE(Decode(16, frames, want.size()) == want);
}

// An uncompressed block whose header ends on a word boundary still has a whole word of padding.
TEST(LzxDecoder, UncompressedBlockOnAWordBoundaryStillPads)
{
    StreamWriter w;
    w.Header(0);
    w.Compressed(1, 6, 256 + 8 * 32, true);
    for (int i = 0; i < 6; ++i) w.Literal('a');
    ASSERT_EQ((w.Used() + 27) % 16, 0u);
    w.Uncompressed(3, 1, 1, 1);
    w.Raw(std::vector<std::uint8_t>{'x', 'y', 'z'});
    const auto got = Decode(16, {w.Frame()}, 9);
    EXPECT_EQ(std::string(got.begin(), got.end()), "aaaaaaxyz");
}

// With the smallest window, matches wrap round it (the farthest overlapping its own source), one
// runs past a frame's end into the next, and an aligned-offset block splits its offsets' bits.
// With the largest, a match reaches 1.5 MB back.
TEST(LzxDecoder, MatchesAcrossFramesAndWindowsOfBothExtremes)
{
    const std::vector<std::uint8_t> data = Noise(32760, 2);
    StreamWriter w;
    w.Header(0);
    w.Uncompressed(32760, 1, 1, 1);
    w.Raw(data);
    w.Compressed(1, 20, 256 + 8 * 30, true);
    w.Match(20, 29, 7426, 13); // offset 32000 = 24576 + 7426 - 2
    Frames frames{w.Frame()};
    w.Compressed(2, 30 + 10 + 20 + 28, 256 + 8 * 30, false);
    const std::tuple<unsigned, unsigned, std::uint32_t, unsigned> matches[] = {
        {30, 29, 7426, 10}, {10, 24, 906, 8}, {20, 29, 8191, 10}};
    for (const auto& [length, slot, footer, verbatim] : matches)
        w.Match(length, slot, footer >> 3, verbatim), w.Bits(footer & 7, 3); // offsets 32000, 5000, 32765
    for (int i = 0; i < 28; ++i) w.Literal(static_cast<std::uint8_t>(i));
    frames.push_back(w.Frame());

    std::vector<std::uint8_t> want = data;
    Repeat(want, 20, 32000), Repeat(want, 30, 32000), Repeat(want, 10, 5000), Repeat(want, 20, 32765);
    for (int i = 0; i < 28; ++i) want.push_back(static_cast<std::uint8_t>(i));
    EXPECT_TRUE(Decode(15, frames, want.size()) == want);

    // The largest window, and an offset with 17 extra bits.
    const std::vector<std::uint8_t> distant = Noise(1500100, 3);
    w.Header(0);
    w.Uncompressed(static_cast<std::uint32_t>(distant.size()), 1, 1, 1);
    frames.clear();
    for (std::size_t at = 0; at < distant.size(); at += kFrame) {
        w.Raw(std::span(distant).subspan(at, std::min(distant.size() - at, kFrame)));
        if (distant.size() - at >= kFrame) frames.push_back(w.Frame());
    }
    w.Compressed(1, 50, 256 + 8 * 50, true);
    w.Match(50, 45, 58210, 17); // offset 1500000 = 1441792 + 58210 - 2
    frames.push_back(w.Frame());
    want = distant;
    Repeat(want, 50, 1500000);
    EXPECT_TRUE(Decode(21, frames, want.size()) == want);
}

// A block that runs on past a reset point decodes its first frame without a fault of its own:
// only the section, which knows where the decoder is reset, can tell that frame is damaged.
TEST(LzxSection, BlockRunningPastAResetPointFailsItsFrame)
{
    const std::vector<std::uint8_t> data = Noise(kFrame + 4, 5);
    StreamWriter w;
    w.Header(0);
    w.Uncompressed(static_cast<std::uint32_t>(data.size()), 1, 1, 1); // one frame and 4 bytes
    w.Raw(std::span(data).first(kFrame));
    std::vector<std::uint8_t> content = w.Frame();
    const std::uint64_t second = content.size();
    w.Header(0);
    w.Uncompressed(4, 1, 1, 1);
    w.Raw(std::span(data).subspan(kFrame));
    const std::vector<std::uint8_t> frame = w.Frame();
    content.insert(content.end(), frame.begin(), frame.end());

    std::vector<std::uint8_t> control(24), reset(56);
    std::copy_n("LZXC", 4, control.begin() + 4);
    PutLe32(control, 8, 2), PutLe32(control, 12, 1), PutLe32(control, 16, 1); // reset every frame
    PutLe32(reset, 0, 2), PutLe32(reset, 4, 2), PutLe32(reset, 8, 8), PutLe32(reset, 12, 40);
    PutLe64(reset, 16, data.size()), PutLe64(reset, 24, content.size()), PutLe64(reset, 32, kFrame);
    PutLe64(reset, 48, second);
    const auto source = MakeMemorySource(content);
    const auto section = OpenLzxSection(*source, {control, reset, 0, content.size(), 0});
    ASSERT_TRUE(section);
    std::vector<std::uint8_t> out(4);
    EXPECT_EQ(section->ReadAt(kFrame, out), 4u); // the next interval is sound
    EXPECT_FALSE(section->ReadAt(0, out));
    EXPECT_EQ(section->LastDamage().damage, StreamDamage::BadBlockHeader);
}

TEST(LzxDecoder, RejectsMalformedStreamsAndRecoversAfterReset)
{
    const auto frameOf = [](const std::function<void(StreamWriter&)>& write) {
        StreamWriter w;
        write(w);
        return w.Frame();
    };
    // The input then ends inside whatever the last word held.
    const auto withoutLastWord = [](std::vector<std::uint8_t> frame) {
        frame.resize(frame.size() - 2);
        return frame;
    };
    const std::vector<std::uint8_t> bytes{1, 2, 3, 4};
    const auto valid = frameOf([&](StreamWriter& w) { w.Header(0), w.Uncompressed(4, 1, 1, 1), w.Raw(bytes); });
    std::vector<std::uint8_t> padded = valid;
    padded.insert(padded.end(), {0, 0});
    const std::tuple<const char*, std::vector<std::uint8_t>, LzxDamage> bad[] = {
        {"match before the start", frameOf([](StreamWriter& w) {
             w.Header(0), w.Compressed(1, 4, 512, true), w.Literal('a'), w.Match(3, 5, 1, 1); // offset 5
         }), LzxDamage::MatchOutsideWindow},
        {"match longer than its block", frameOf([](StreamWriter& w) {
             w.Header(0), w.Compressed(1, 3, 512, true), w.Literal('a'), w.Match(3, 0); // repeats offset 1
         }), LzxDamage::MatchPastBlock},
        {"bytes left after the frame's output", padded, LzxDamage::WrongFrameEnd},
        {"a bit set in the padding after the frame's output", frameOf([&](StreamWriter& w) {
             w.Header(0), w.Compressed(1, 4, 512, true);
             for (std::uint8_t b : bytes) w.Literal(b);
             w.Bits(1, 1);
         }), LzxDamage::NonzeroPadding},
        // Past the input's end the decoder reads zeros. Main codes a 000, a far match 00100 and a
        // two-byte repeat 001010: cut after four bits, the repeat reads as the far match.
        {"input ending inside a match", withoutLastWord(frameOf([](StreamWriter& w) {
             std::vector<unsigned> main(512);
             main['a'] = 17 - 3, main[256 + 8 * 31] = 17 - 5, main[256] = 17 - 6;
             w.Header(0), w.Bits(1, 3), w.Bits(4, 24);
             w.Lengths({main.begin(), main.begin() + 256}), w.Lengths({main.begin() + 256, main.end()});
             w.Lengths(std::vector<unsigned>(249));
             w.Bits(0b000, 3), w.Bits(0b001010, 6), w.Bits(0b000, 3);
         })), LzxDamage::InputEnded},
        // Pretree codes 0 for a run of 20 and more lengths, 10 and 11 for others: cut inside a run's
        // count, the zeros read past the end are runs until one overflows the tree.
        {"input ending inside a run of code lengths", withoutLastWord(frameOf([](StreamWriter& w) {
             w.Header(0), w.Bits(1, 3), w.Bits(4, 24);
             for (unsigned symbol = 0; symbol < 20; ++symbol)
                 w.Bits(symbol == 18 ? 1 : symbol == 0 || symbol == 17 ? 2 : 0, 4);
             w.Bits(0, 1), w.Bits(31, 5); // a run of 20 + 31 lengths, its count's last two bits cut off
         })), LzxDamage::InputEnded},
        {"bits that start no code of an incomplete tree", frameOf([](StreamWriter& w) {
             std::vector<unsigned> main(512);
             main[300] = 17 - 11; // a lone 11-bit code, 00000000000
             w.Header(0), w.Bits(1, 3), w.Bits(4, 24);
             w.Lengths({main.begin(), main.begin() + 256}), w.Lengths({main.begin() + 256, main.end()});
             w.Lengths(std::vector<unsigned>(249)), w.Bits(1, 11);
         }), LzxDamage::BadCode},
        {"block type 7", frameOf([](StreamWriter& w) { w.Header(0), w.Bits(7, 3), w.Bits(4, 24); }),
         LzxDamage::BadBlockHeader},
        {"over-full pretree", frameOf([](StreamWriter& w) {
             w.Header(0), w.Bits(1, 3), w.Bits(4, 24);
             for (int i = 0; i < 20; ++i) w.Bits(1, 4);
         }), LzxDamage::BadTree},
        {"block of zero bytes", frameOf([&](StreamWriter& w) {
             w.Header(0), w.Uncompressed(0, 1, 1, 1), w.Uncompressed(4, 1, 1, 1), w.Raw(bytes);
         }), LzxDamage::BadBlockHeader},
        {"truncated", std::vector<std::uint8_t>(valid.begin(), valid.begin() + 10), LzxDamage::InputEnded},
        {"empty", {}, LzxDamage::InputEnded},
    };
    std::vector<std::uint8_t> out(4);
    LzxDecoder decoder(16);
    for (const auto& [what, frame, damage] : bad) {
        decoder.Reset();
        EXPECT_FALSE(decoder.DecodeFrame(frame, out)) << what;
        EXPECT_EQ(decoder.Damage(), damage) << what;
        EXPECT_FALSE(decoder.DecodeFrame(valid, out)) << what << ": a failed decoder went on";
        decoder.Reset();
        EXPECT_TRUE(decoder.DecodeFrame(valid, out) && out == bytes) << what;
        // The same checks hold where the frame's extent is unknown, all but that of its end.
        const bool endOnly = damage == LzxDamage::WrongFrameEnd;
        std::size_t used = 0;
        decoder.Reset();
        EXPECT_EQ(decoder.DecodeFrameFindingEnd(frame, out, used), endOnly) << what;
        EXPECT_EQ(decoder.Damage(), endOnly ? LzxDamage::None : damage) << what;
    }
    // Where the frame's extent is unknown, the decoder finds it: the next frame starts after the
    // valid frame's bytes, not after the padding.
    std::size_t used = 0;
    decoder.Reset();
    EXPECT_TRUE(decoder.DecodeFrameFindingEnd(padded, out, used) && used == valid.size() && out == bytes);
    // A block declared longer than its frame does not end there, which a reset point must.
    const auto longer = frameOf([&](StreamWriter& w) { w.Header(0), w.Uncompressed(6, 1, 1, 1), w.Raw(bytes); });
    decoder.Reset();
    EXPECT_TRUE(decoder.DecodeFrameFindingEnd(longer, out, used) && !decoder.AtBlockBoundary());
    decoder.Reset();
    EXPECT_TRUE(decoder.DecodeFrame(valid, out) && decoder.AtBlockBoundary());

    LzxDecoder tooSmall(14), tooLarge(22);
    EXPECT_FALSE(tooSmall.DecodeFrame(valid, out));
    EXPECT_FALSE(tooLarge.DecodeFrame(valid, out));
}

} // namespace
} // namespace tarnwick::storage::test
