#include "storage/LzxDecoder.h"

#include "base/LittleEndian.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tarnwick::storage {
namespace {

constexpr unsigned kMinWindowBits = 15;
constexpr unsigned kMaxWindowBits = 21;
constexpr unsigned kLiterals = 256;
constexpr unsigned kMaxPositionSlots = 50;
constexpr unsigned kMaxMainElements = kLiterals + 8 * kMaxPositionSlots;
constexpr unsigned kLengthElements = 249;
constexpr unsigned kPreElements = 20;
constexpr unsigned kAlignedElements = 8;
constexpr unsigned kMaxCodeLength = 16;
constexpr unsigned kMinMatch = 2;

constexpr unsigned kBlockVerbatim = 1;
constexpr unsigned kBlockAligned = 2;
constexpr unsigned kBlockUncompressed = 3;

// Call translation stops after the first gigabyte so that an encoder never has to
// keep absolute positions that overflow the 32-bit field.
constexpr std::uint64_t kTranslationLimit = 0x40000000;

// A root entry is either a decoded code or, with kSlowFlag, a link to a second-level
// table (subBits and offset) or nothing at all (subBits zero): bits that no code
// starts with, which only damaged data reaches. A second-level entry is a decoded
// code or zero for nothing, so that following a link never yields a link. A decoded entry holds the bits to consume (0-4), the
// symbol (5-14) and that code's own length (24-28). Main-tree entries whose code is
// a literal short enough to leave room for a second literal code in the same root
// bits carry that one too (kPairFlag, 16-23); the bits to consume then cover both.
constexpr std::uint32_t kSlowFlag = 0x80000000u;
constexpr std::uint32_t kPairFlag = 0x8000u;
constexpr std::uint32_t kMatchFlag = 0x40000000u; // symbols of 256 and above, so that
                                                 // one compare tells a plain literal
constexpr unsigned kMaxRootBits = 12;

// Root sizes trade table-building time, paid for every block, against second-level
// lookups; blocks hold a few tens of kilobytes, so small roots win.
constexpr unsigned kMainRootBits = 10;
constexpr unsigned kLengthRootBits = 8;
constexpr unsigned kAlignedRootBits = 7;
constexpr unsigned kPreRootBits = 6;

constexpr std::uint32_t DecodedEntry(unsigned symbol, unsigned length)
{
    return length | symbol << 5 | length << 24 | (symbol >= kLiterals ? kMatchFlag : 0);
}
constexpr unsigned EntryBits(std::uint32_t entry) { return entry & 0x1f; }
constexpr unsigned EntrySymbol(std::uint32_t entry) { return (entry >> 5) & 0x3ff; }
constexpr unsigned EntryCodeLength(std::uint32_t entry) { return (entry >> 24) & 0x1f; }

struct PositionSlots {
    std::uint32_t base[kMaxPositionSlots + 1];
    std::uint8_t extraBits[kMaxPositionSlots + 1];
};

constexpr PositionSlots MakePositionSlots()
{
    PositionSlots slots{};
    std::uint32_t base = 0;
    for (unsigned slot = 0; slot <= kMaxPositionSlots; ++slot) {
        const unsigned extra = slot < 4 ? 0 : std::min((slot - 2) / 2, 17u);
        slots.base[slot] = base;
        slots.extraBits[slot] = static_cast<std::uint8_t>(extra);
        base += 1u << extra;
    }
    return slots;
}

constexpr PositionSlots kSlots = MakePositionSlots();

// The window's slots are exactly those whose offsets can fall inside it.
unsigned PositionSlotCount(std::uint32_t windowSize)
{
    unsigned slots = 0;
    while (slots < kMaxPositionSlots && kSlots.base[slots] < windowSize) ++slots;
    return slots;
}

#if defined(__GNUC__)
#define LZX_INLINE inline __attribute__((always_inline))
#else
#define LZX_INLINE __forceinline
#endif

// Keeps at least 49 bits buffered, so any single field or code can be taken
// without another check. Past the end it supplies zeros and counts them, which
// lets the hot loops skip a bounds check per word: overrunning the input is caught
// once a run is finished, and the zeros themselves can never reach past a buffer.
LZX_INLINE void Refill(auto& in)
{
    if (in.count > 48) return;
    if (in.end - in.next >= 8) {
        // Whole 16-bit words at once: eight bytes in stream order, each word's high byte first.
        const std::uint64_t raw = ReadLe64({in.next, 8}, 0);
        const std::uint64_t ordered = (raw & 0xffff) << 48 | (raw >> 16 & 0xffff) << 32 |
                                      (raw >> 32 & 0xffff) << 16 | raw >> 48;
        const unsigned take = (64 - in.count) & ~15u;
        const unsigned partial = 64 - in.count - take;
        in.bits |= (ordered >> in.count) >> partial << partial;
        in.next += take / 8;
        in.count += take;
        return;
    }
    while (in.count <= 48) {
        std::uint64_t word = 0;
        if (in.end - in.next >= 2) {
            word = static_cast<std::uint64_t>(in.next[0]) | static_cast<std::uint64_t>(in.next[1]) << 8;
            in.next += 2;
        } else {
            in.padding += 16;
        }
        in.bits |= word << (48 - in.count);
        in.count += 16;
    }
}

LZX_INLINE bool Overran(const auto& in) { return in.padding > in.count; }

LZX_INLINE void Skip(auto& in, unsigned n)
{
    in.bits <<= n;
    in.count -= n;
}

// n: 1 to 32.
LZX_INLINE std::uint32_t ReadBits(auto& in, unsigned n)
{
    if (in.count < n) Refill(in);
    const auto value = static_cast<std::uint32_t>(in.bits >> (64 - n));
    Skip(in, n);
    return value;
}

// Resolves a slow entry: zero when the bits start no code, else the decoded entry.
LZX_INLINE std::uint32_t FollowLink(const auto& in, const std::uint32_t* entries, unsigned rootBits,
                                    std::uint32_t entry)
{
    const unsigned subBits = (entry >> 24) & 0x1f;
    if (subBits == 0) return 0;
    const auto index = static_cast<std::uint32_t>(in.bits >> (64 - rootBits - subBits)) & ((1u << subBits) - 1);
    return entries[(entry & 0xffffff) + index];
}

// The symbol, or -1 when the bits start no code of the table.
LZX_INLINE int DecodeSymbol(auto& in, const std::uint32_t* entries, unsigned rootBits)
{
    if (in.count < kMaxCodeLength) Refill(in);
    std::uint32_t entry = entries[static_cast<std::size_t>(in.bits >> (64 - rootBits))];
    if (entry & kSlowFlag) {
        entry = FollowLink(in, entries, rootBits, entry);
        if (entry == 0) return -1;
    }
    Skip(in, EntryCodeLength(entry));
    return static_cast<int>(EntrySymbol(entry));
}

LZX_INLINE int DecodeSymbol(auto& in, const auto& table)
{
    return DecodeSymbol(in, table.entries.data(), table.rootBits);
}

} // namespace

bool LzxDecoder::HuffmanTable::Build(const std::uint8_t* lengths, unsigned count, bool literalPairs)
{
    unsigned perLength[kMaxCodeLength + 1] = {};
    for (unsigned symbol = 0; symbol < count; ++symbol) ++perLength[lengths[symbol]];

    // An over-full code has no table; a code with room to spare (a single symbol
    // has one) is fine, its unused bit patterns stay marked as damage. Refusing every
    // incomplete code would refuse encoders that limit code lengths without filling the space.
    long room = 1;
    for (unsigned length = 1; length <= kMaxCodeLength; ++length) {
        room = room * 2 - perLength[length];
        if (room < 0) return false;
    }

    std::uint32_t nextCode[kMaxCodeLength + 1] = {};
    for (unsigned length = 2; length <= kMaxCodeLength; ++length)
        nextCode[length] = (nextCode[length - 1] + perLength[length - 1]) << 1;

    // A complete code covers every root entry, so only an incomplete one needs them cleared.
    const std::uint32_t rootSize = 1u << rootBits;
    if (room == 0)
        entries.resize(rootSize);
    else
        entries.assign(rootSize, kSlowFlag);
    std::uint32_t codes[kMaxMainElements];
    std::uint8_t longest[1u << kMaxRootBits];
    std::fill_n(longest, rootSize, 0);
    bool anyLong = false;
    for (unsigned symbol = 0; symbol < count; ++symbol) {
        const unsigned length = lengths[symbol];
        if (length == 0) continue;
        const std::uint32_t code = nextCode[length]++;
        codes[symbol] = code;
        if (length <= rootBits) {
            std::fill_n(entries.begin() + (code << (rootBits - length)), std::size_t{1} << (rootBits - length),
                        DecodedEntry(symbol, length));
        } else {
            std::uint8_t& deepest = longest[code >> (length - rootBits)];
            deepest = std::max<std::uint8_t>(deepest, static_cast<std::uint8_t>(length));
            anyLong = true;
        }
    }

    // Links first: the pairing below must see which root entries lead to longer codes.
    for (std::uint32_t prefix = 0; anyLong && prefix < rootSize; ++prefix) {
        if (longest[prefix] == 0) continue;
        const unsigned subBits = longest[prefix] - rootBits;
        const auto offset = static_cast<std::uint32_t>(entries.size());
        entries[prefix] = kSlowFlag | subBits << 24 | offset;
        entries.resize(entries.size() + (std::size_t{1} << subBits), 0);
    }

    if (literalPairs) {
        for (std::uint32_t index = 0; index < rootSize; ++index) {
            const std::uint32_t first = entries[index];
            if ((first & kSlowFlag) || EntrySymbol(first) >= kLiterals) continue;
            const unsigned firstLength = EntryCodeLength(first);
            if (firstLength >= rootBits) continue;
            const std::uint32_t second = entries[(index << firstLength) & (rootSize - 1)];
            if ((second & kSlowFlag) || EntrySymbol(second) >= kLiterals) continue;
            const unsigned secondLength = EntryCodeLength(second);
            if (firstLength + secondLength > rootBits) continue;
            entries[index] = (first & ~0x1fu) | (firstLength + secondLength) | kPairFlag | EntrySymbol(second) << 16;
        }
    }
    if (!anyLong) return true;

    for (unsigned symbol = 0; symbol < count; ++symbol) {
        const unsigned length = lengths[symbol];
        if (length <= rootBits) continue;
        const std::uint32_t link = entries[codes[symbol] >> (length - rootBits)];
        const unsigned subBits = (link >> 24) & 0x1f;
        const unsigned spare = subBits - (length - rootBits);
        const std::uint32_t low = codes[symbol] & ((1u << (length - rootBits)) - 1);
        std::fill_n(entries.begin() + (link & 0xffffff) + (low << spare), std::size_t{1} << spare,
                    DecodedEntry(symbol, length));
    }
    return true;
}

LzxDecoder::LzxDecoder(unsigned windowBits)
{
    m_mainTable.rootBits = kMainRootBits;
    m_lengthTable.rootBits = kLengthRootBits;
    m_alignedTable.rootBits = kAlignedRootBits;
    m_preTable.rootBits = kPreRootBits;
    if (windowBits < kMinWindowBits || windowBits > kMaxWindowBits) return; // every frame fails
    m_windowSize = 1u << windowBits;
    m_mainElements = kLiterals + 8 * PositionSlotCount(m_windowSize);
    // One byte past the end takes the spare store of a lone literal at the window's last position.
    m_window.assign(m_windowSize + 1, 0);
    m_mainLengths.assign(m_mainElements, 0);
    m_lengthLengths.assign(kLengthElements, 0);
    Reset();
}

void LzxDecoder::Reset()
{
    m_windowPos = 0;
    m_produced = 0;
    m_failed = false;
    m_damage = LzxDamage::None;
    m_cause = LzxDamage::None;
    m_headerRead = false;
    m_translate = false;
    m_translationSize = 0;
    m_blockType = 0;
    m_blockRemaining = 0;
    m_blockOddLength = false;
    m_r0 = m_r1 = m_r2 = 1;
    m_pendingLength = 0;
    m_pendingOffset = 0;
    // Code lengths are sent as differences from the previous block's, starting from nothing.
    std::fill(m_mainLengths.begin(), m_mainLengths.end(), 0);
    std::fill(m_lengthLengths.begin(), m_lengthLengths.end(), 0);
    std::fill(std::begin(m_alignedLengths), std::end(m_alignedLengths), 0);
}

bool LzxDecoder::Fail(LzxDamage damage)
{
    m_failed = true;
    m_damage = damage;
    return false;
}

bool LzxDecoder::Damaged(LzxDamage cause)
{
    m_cause = cause;
    return false;
}

// Past the input's end the reader supplies zeros, and what they decode to says nothing about the
// data: once any were taken, the frame failed for want of input.
bool LzxDecoder::Damaged(const BitReader& in, LzxDamage cause)
{
    return Damaged(Overran(in) ? LzxDamage::InputEnded : cause);
}

bool LzxDecoder::ReadStreamHeader(BitReader& in)
{
    m_translate = ReadBits(in, 1) != 0;
    if (m_translate) {
        const std::uint32_t high = ReadBits(in, 16);
        const std::uint32_t low = ReadBits(in, 16);
        m_translationSize = static_cast<std::int32_t>(high << 16 | low);
    }
    return !Overran(in) || Damaged(LzxDamage::InputEnded);
}

bool LzxDecoder::ReadLengths(BitReader& in, std::uint8_t* lengths, unsigned first, unsigned last)
{
    std::uint8_t preLengths[kPreElements];
    for (std::uint8_t& length : preLengths) length = static_cast<std::uint8_t>(ReadBits(in, 4));
    if (!m_preTable.Build(preLengths, kPreElements, false)) return Damaged(in, LzxDamage::BadTree);

    unsigned at = first;
    while (at < last) {
        const int code = DecodeSymbol(in, m_preTable);
        if (code < 0) return Damaged(in, LzxDamage::BadCode);
        if (code <= 16) {
            lengths[at] = static_cast<std::uint8_t>((lengths[at] + 17 - code) % 17);
            ++at;
            continue;
        }
        unsigned run = 0;
        std::uint8_t value = 0;
        if (code == 17) {
            run = 4 + ReadBits(in, 4);
        } else if (code == 18) {
            run = 20 + ReadBits(in, 5);
        } else {
            run = 4 + ReadBits(in, 1);
            const int delta = DecodeSymbol(in, m_preTable);
            if (delta < 0) return Damaged(in, LzxDamage::BadCode);
            if (delta > 16) return Damaged(in, LzxDamage::BadTree);
            value = static_cast<std::uint8_t>((lengths[at] + 17 - delta) % 17);
        }
        if (run > last - at) return Damaged(in, LzxDamage::BadTree);
        std::fill_n(lengths + at, run, value);
        at += run;
    }
    return !Overran(in) || Damaged(LzxDamage::InputEnded);
}

bool LzxDecoder::StartUncompressed(BitReader& in)
{
    // The byte stream starts at the next 16-bit boundary, after 1 to 16 bits of padding.
    const unsigned padding = in.count % 16 == 0 ? 16 : in.count % 16;
    if (in.count < padding) Refill(in);
    Skip(in, padding);
    if (Overran(in)) return Damaged(LzxDamage::InputEnded);
    // Whole words already pulled into the buffer belong to the byte stream.
    in.next -= (in.count - in.padding) / 8;
    in.bits = 0;
    in.count = 0;
    in.padding = 0;

    if (in.end - in.next < 12) return Damaged(LzxDamage::InputEnded);
    m_r0 = ReadLe32({in.next, 12}, 0);
    m_r1 = ReadLe32({in.next, 12}, 4);
    m_r2 = ReadLe32({in.next, 12}, 8);
    in.next += 12;
    return true;
}

bool LzxDecoder::ReadBlockHeader(BitReader& in)
{
    const unsigned type = ReadBits(in, 3);
    const std::uint32_t size = ReadBits(in, 24);
    if (Overran(in)) return Damaged(LzxDamage::InputEnded);
    if (size == 0) return Damaged(LzxDamage::BadBlockHeader);

    switch (type) {
    case kBlockAligned:
        for (std::uint8_t& length : m_alignedLengths) length = static_cast<std::uint8_t>(ReadBits(in, 3));
        if (!m_alignedTable.Build(m_alignedLengths, kAlignedElements, false)) return Damaged(in, LzxDamage::BadTree);
        [[fallthrough]];
    case kBlockVerbatim:
        if (!ReadLengths(in, m_mainLengths.data(), 0, kLiterals) ||
            !ReadLengths(in, m_mainLengths.data(), kLiterals, m_mainElements))
            return false;
        if (!m_mainTable.Build(m_mainLengths.data(), m_mainElements, true)) return Damaged(LzxDamage::BadTree);
        if (!ReadLengths(in, m_lengthLengths.data(), 0, kLengthElements)) return false;
        if (!m_lengthTable.Build(m_lengthLengths.data(), kLengthElements, false)) return Damaged(LzxDamage::BadTree);
        break;
    case kBlockUncompressed:
        if (!StartUncompressed(in)) return false;
        break;
    default:
        return Damaged(LzxDamage::BadBlockHeader);
    }
    m_blockType = type;
    m_blockRemaining = size;
    m_blockOddLength = (size & 1) != 0;
    return true;
}

void LzxDecoder::CopyMatch(std::uint32_t pos, std::uint32_t offset, std::uint32_t length)
{
    std::uint8_t* const window = m_window.data();
    const std::uint32_t mask = m_windowSize - 1;
    const std::uint32_t from = (pos - offset) & mask;
    if (from < pos && offset >= length) {
        std::memcpy(window + pos, window + from, length);
    } else if (from > pos && from + length <= m_windowSize && pos + length <= from) {
        std::memcpy(window + pos, window + from, length);
    } else {
        // Overlapping on purpose, or wrapping round the window: byte by byte, in order.
        for (std::uint32_t i = 0; i < length; ++i) window[pos + i] = window[(from + i) & mask];
    }
}

bool LzxDecoder::DecodeCompressedRun(BitReader& reader, std::uint32_t& position, std::uint32_t frameEnd)
{
    // Everything the loop touches is copied into locals: each byte stored into the
    // window may alias any member, so members would be reloaded after every store.
    BitReader in = reader;
    std::uint8_t* const window = m_window.data();
    // The farthest an offset can be encoded; nothing further back is read, which also keeps
    // the spare literal store at a run's end harmless.
    const std::uint32_t maxOffset = m_windowSize - 3;
    const std::uint32_t* const mainEntries = m_mainTable.entries.data();
    constexpr unsigned mainRoot = kMainRootBits;
    const std::uint32_t* const lengthEntries = m_lengthTable.entries.data();
    constexpr unsigned lengthRoot = kLengthRootBits;
    const std::uint32_t* const alignedEntries = m_alignedTable.entries.data();
    constexpr unsigned alignedRoot = kAlignedRootBits;
    const bool aligned = m_blockType == kBlockAligned;
    const std::uint32_t start = position;
    const std::uint32_t blockEnd = start + m_blockRemaining;
    const std::uint32_t stop = std::min(blockEnd, frameEnd);
    // Bytes decoded since the last Reset, less the window position: no match may reach further back.
    const std::uint64_t history = m_produced - m_windowPos;
    std::uint32_t r0 = m_r0, r1 = m_r1, r2 = m_r2;
    std::uint32_t pos = start;

    while (pos < stop) {
        if (in.count < kMaxCodeLength) Refill(in);
        std::uint32_t entry = mainEntries[static_cast<std::size_t>(in.bits >> (64 - mainRoot))];
        if (entry >= kMatchFlag) {
            if (entry & kSlowFlag) {
                entry = FollowLink(in, mainEntries, mainRoot, entry);
                if (entry == 0) return Damaged(in, LzxDamage::BadCode);
            }
        }
        if (entry < kMatchFlag) {
            // One literal or two, without a branch on which: both bytes are stored, and a
            // lone literal's second store lands where the next symbol (or frame) writes.
            const bool two = (entry & kPairFlag) && stop - pos >= 2;
            Skip(in, two ? EntryBits(entry) : EntryCodeLength(entry));
            window[pos] = static_cast<std::uint8_t>(EntrySymbol(entry));
            window[pos + 1] = static_cast<std::uint8_t>(entry >> 16);
            pos += 1 + two;
            continue;
        }
        Skip(in, EntryCodeLength(entry));
        unsigned symbol = EntrySymbol(entry);
        symbol -= kLiterals;
        std::uint32_t length = symbol & 7;
        if (length == 7) {
            const int extra = DecodeSymbol(in, lengthEntries, lengthRoot);
            if (extra < 0) return Damaged(in, LzxDamage::BadCode);
            length += static_cast<std::uint32_t>(extra);
        }
        length += kMinMatch;

        const unsigned slot = symbol >> 3;
        std::uint32_t offset = 0;
        if (slot == 0) {
            offset = r0;
        } else if (slot == 1) {
            offset = r1;
            r1 = r0;
            r0 = offset;
        } else if (slot == 2) {
            offset = r2;
            r2 = r0;
            r0 = offset;
        } else {
            const unsigned extraBits = kSlots.extraBits[slot];
            offset = kSlots.base[slot] - 2;
            if (aligned && extraBits >= 3) {
                if (extraBits > 3) offset += ReadBits(in, extraBits - 3) << 3;
                const int low = DecodeSymbol(in, alignedEntries, alignedRoot);
                if (low < 0) return Damaged(in, LzxDamage::BadCode);
                offset += static_cast<std::uint32_t>(low);
            } else if (extraBits > 0) {
                offset += ReadBits(in, extraBits);
            }
            r2 = r1;
            r1 = r0;
            r0 = offset;
        }

        if (offset == 0 || offset > maxOffset || offset > history + pos)
            return Damaged(in, LzxDamage::MatchOutsideWindow);
        if (length > blockEnd - pos) return Damaged(in, LzxDamage::MatchPastBlock);
        const std::uint32_t from = pos - offset; // meaningful only when it did not wrap
        if (offset <= pos && offset >= 8 && length + 8 <= frameEnd - pos) {
            // The common case, copied eight bytes at a time; overshooting is harmless
            // because the bytes past the match are ones this frame has yet to write.
            std::uint8_t* to = window + pos;
            const std::uint8_t* src = window + from;
            for (std::uint32_t done = 0; done < length; done += 8) std::memcpy(to + done, src + done, 8);
        } else {
            std::uint32_t now = length;
            if (length > frameEnd - pos) {
                now = frameEnd - pos;
                m_pendingLength = length - now;
                m_pendingOffset = offset;
            }
            CopyMatch(pos, offset, now);
        }
        pos += length;
    }
    if (Overran(in)) return Damaged(LzxDamage::InputEnded);

    m_r0 = r0;
    m_r1 = r1;
    m_r2 = r2;
    m_blockRemaining -= pos - start;
    position = std::min(pos, frameEnd);
    reader = in;
    return true;
}

bool LzxDecoder::CopyUncompressedRun(BitReader& in, std::uint32_t& pos, std::uint32_t frameEnd)
{
    const std::uint32_t count = std::min(m_blockRemaining, frameEnd - pos);
    if (static_cast<std::size_t>(in.end - in.next) < count) return Damaged(LzxDamage::InputEnded);
    std::memcpy(m_window.data() + pos, in.next, count);
    in.next += count;
    pos += count;
    m_blockRemaining -= count;
    if (m_blockRemaining == 0) {
        // The bit stream resumes on a 16-bit boundary; a block ending with its frame
        // needs no realignment, as the next frame starts afresh anyway.
        if (m_blockOddLength && in.next < in.end) ++in.next;
        in.bits = 0;
        in.count = 0;
        in.padding = 0;
    }
    return true;
}

void LzxDecoder::UndoCallTranslation(std::span<std::uint8_t> out, std::uint64_t frameOffset) const
{
    if (out.size() <= 10 || frameOffset >= kTranslationLimit) return;
    std::uint8_t* const data = out.data();
    const std::size_t limit = out.size() - 10;
    std::size_t i = 0;
    while (i < limit) {
        const void* hit = std::memchr(data + i, 0xE8, limit - i);
        if (!hit) break;
        i = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - data);
        const auto current = static_cast<std::int64_t>(frameOffset + i);
        const auto value = static_cast<std::int32_t>(ReadLe32(out, i + 1));
        if (value >= -current && value < m_translationSize) {
            const std::int64_t relative = value >= 0 ? value - current : std::int64_t{value} + m_translationSize;
            const auto stored = static_cast<std::uint32_t>(relative);
            data[i + 1] = static_cast<std::uint8_t>(stored);
            data[i + 2] = static_cast<std::uint8_t>(stored >> 8);
            data[i + 3] = static_cast<std::uint8_t>(stored >> 16);
            data[i + 4] = static_cast<std::uint8_t>(stored >> 24);
        }
        i += 5;
    }
}

bool LzxDecoder::DecodeFrame(std::span<const std::uint8_t> input, std::span<std::uint8_t> output)
{
    std::size_t used = 0;
    if (!Decode(input, output, used, true)) return false;
    // Each frame's bytes end where its output does: an encoder pads to the next 16-bit
    // boundary and no further, so anything left over means the bits were read differently.
    return used == input.size() || Fail(LzxDamage::WrongFrameEnd);
}

bool LzxDecoder::DecodeFrameFindingEnd(std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                                       std::size_t& used)
{
    return Decode(input, output, used, true);
}

bool LzxDecoder::DecodeLastFrame(std::span<const std::uint8_t> input, std::span<std::uint8_t> output)
{
    std::size_t used = 0;
    return Decode(input, output, used, false);
}

bool LzxDecoder::Decode(std::span<const std::uint8_t> input, std::span<std::uint8_t> output, std::size_t& used,
                        bool padded)
{
    if (m_failed || m_window.empty()) return false;
    const std::size_t size = output.size();
    if (size > kFrameSize || m_windowPos + size > m_windowSize) return Fail(LzxDamage::BadBlockHeader);

    // Frames start on 16-bit boundaries of their own, so the reader starts over on each.
    BitReader in;
    in.next = input.data();
    in.end = input.data() + input.size();
    const std::uint32_t frameStart = m_windowPos;
    const auto frameEnd = static_cast<std::uint32_t>(frameStart + size);
    std::uint32_t pos = frameStart;

    if (m_pendingLength > 0) {
        const std::uint32_t now = std::min<std::uint32_t>(m_pendingLength, frameEnd - pos);
        CopyMatch(pos, m_pendingOffset, now);
        pos += now;
        m_pendingLength -= now;
    }
    if (!m_headerRead && pos < frameEnd) {
        if (!ReadStreamHeader(in)) return Fail(m_cause);
        m_headerRead = true;
    }
    while (pos < frameEnd) {
        if (m_blockRemaining == 0 && !ReadBlockHeader(in)) return Fail(m_cause);
        const bool ok = m_blockType == kBlockUncompressed ? CopyUncompressedRun(in, pos, frameEnd)
                                                          : DecodeCompressedRun(in, pos, frameEnd);
        if (!ok) return Fail(m_cause);
    }
    // Whole words pulled into the buffer but not yet started on belong to the next frame.
    const unsigned unread = in.count > in.padding ? in.count - in.padding : 0;
    used = static_cast<std::size_t>(in.next - input.data()) - unread / 16 * 2;
    // The rest of the last word started on is what the encoder padded the frame with, always zeros.
    // Other bits there mean a symbol ended elsewhere than where the encoder's did, a damage that
    // prefix codes often hide otherwise: they fall back into step a few symbols after a flipped bit.
    const unsigned rest = unread % 16;
    if (padded && rest != 0 && (in.bits >> (64 - rest)) != 0) return Fail(LzxDamage::NonzeroPadding);

    std::memcpy(output.data(), m_window.data() + frameStart, size);
    if (m_translate) UndoCallTranslation(output, m_produced);
    m_produced += size;
    m_windowPos = frameEnd & (m_windowSize - 1);
    return true;
}

} // namespace tarnwick::storage
