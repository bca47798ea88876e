#include "helpfile/KeywordIndex.h"

#include "base/LittleEndian.h"

#include <algorithm>
#include <utility>

namespace tarnwick::helpfile {

namespace {

constexpr std::uint16_t kMagic = 0x293B;
constexpr std::size_t kHeaderSize = 0x4C;
constexpr std::uint64_t kBlockSizeAt = 4;
constexpr std::uint64_t kLastListingBlockAt = 0x1A;
constexpr std::uint64_t kCodePageAt = 0x30;
// A listing block: free bytes at its end, its entry count, the previous and the next block.
constexpr std::size_t kBlockHeaderSize = 12;
constexpr std::uint64_t kEntryCountAt = 2;

// One block of the tree; every read stops at its end.
class BlockReader {
public:
    explicit BlockReader(std::span<const std::uint8_t> block) : m_block(block), m_at(kBlockHeaderSize) {}

    std::optional<std::u16string> Text()
    {
        std::u16string text;
        for (;;) {
            const auto unit = Le16At(m_block, m_at);
            if (!unit) return std::nullopt;
            m_at += 2;
            if (*unit == 0) return text;
            text.push_back(static_cast<char16_t>(*unit));
        }
    }
    std::optional<std::uint16_t> Word()
    {
        const auto value = Le16At(m_block, m_at);
        m_at += 2;
        return value;
    }
    std::optional<std::uint32_t> Dword()
    {
        const auto value = Le32At(m_block, m_at);
        m_at += 4;
        return value;
    }
    std::size_t Left() const { return m_at < m_block.size() ? m_block.size() - m_at : 0; }

private:
    std::span<const std::uint8_t> m_block;
    std::size_t m_at;
};

class IndexReader {
public:
    IndexReader(std::span<const std::uint8_t> btree, const TopicFiles& files) : m_bytes(btree), m_files(files) {}

    KeywordIndex Read()
    {
        const auto magic = Le16At(m_bytes, 0);
        const auto blockSize = Le16At(m_bytes, kBlockSizeAt);
        const auto lastListing = Le32At(m_bytes, kLastListingBlockAt);
        const auto codePage = Le32At(m_bytes, kCodePageAt);
        if (m_bytes.size() < kHeaderSize || magic != kMagic || !blockSize || *blockSize <= kBlockHeaderSize) {
            m_index.damage.push_back("$WWKeywordLinks/BTree: 不是关键字树");
            return std::move(m_index);
        }
        m_index.codePage = *codePage;
        const std::size_t blocksPresent = (m_bytes.size() - kHeaderSize) / *blockSize;
        if (std::uint64_t{*lastListing} >= blocksPresent)
            m_index.damage.push_back("$WWKeywordLinks/BTree: 列表块应到第 " + std::to_string(*lastListing) +
                                     " 块, 但只有 " + std::to_string(blocksPresent) + " 块");
        const std::size_t listingBlocks = std::min<std::uint64_t>(std::uint64_t{*lastListing} + 1, blocksPresent);
        for (std::size_t block = 0; block < listingBlocks; ++block)
            ReadBlock(block, m_bytes.subspan(kHeaderSize + block * *blockSize, *blockSize));
        return std::move(m_index);
    }

private:
    void ReadBlock(std::size_t number, std::span<const std::uint8_t> block)
    {
        const std::uint16_t count = *Le16At(block, kEntryCountAt);
        BlockReader reader(block);
        for (std::uint16_t i = 0; i < count; ++i) {
            if (!ReadEntry(reader)) {
                m_index.damage.push_back("$WWKeywordLinks/BTree: 第 " + std::to_string(number) + " 块的第 " + std::to_string(i) + " 个条目 (共 " +
                                         std::to_string(count) + " 个) 超出块的结尾或为空");
                return;
            }
        }
    }

    // Keyword, see-also flag, depth, where the shown part starts, a reserved DWORD, the number of
    // topics, then the see-also text or the topic numbers, and two DWORDs the index does not need.
    bool ReadEntry(BlockReader& reader)
    {
        const auto keyword = reader.Text();
        const auto seeAlso = reader.Word();
        const auto depth = reader.Word();
        const auto shownFrom = reader.Dword();
        const auto reserved = reader.Dword();
        const auto topicCount = reader.Dword();
        // Zero bytes past the last entry read as an empty keyword, which no index has.
        if (!keyword || keyword->empty() || !seeAlso || !depth || !shownFrom || !reserved || !topicCount) return false;

        KeywordEntry entry;
        entry.depth = *depth;
        entry.keyword = keyword->substr(std::min<std::size_t>(*shownFrom, keyword->size()));
        if (*seeAlso != 0) {
            const auto target = reader.Text();
            if (!target) return false;
            entry.seeAlso = *target;
        } else {
            if (*topicCount > reader.Left() / 4) return false;
            for (std::uint32_t i = 0; i < *topicCount; ++i) AddTopic(entry, *reader.Dword());
        }
        if (!reader.Dword() || !reader.Dword()) return false;
        m_index.entries.push_back(std::move(entry));
        return true;
    }

    void AddTopic(KeywordEntry& entry, std::uint32_t number)
    {
        auto topic = TopicAt(m_files, number);
        if (!topic) {
            m_index.damage.push_back("$WWKeywordLinks/BTree: 关键字指向不存在的主题 " + std::to_string(number));
            return;
        }
        entry.topics.push_back(std::move(*topic));
    }

    std::span<const std::uint8_t> m_bytes;
    const TopicFiles& m_files;
    KeywordIndex m_index;
};

} // namespace

KeywordIndex ReadKeywordIndex(std::span<const std::uint8_t> btree, const TopicFiles& files)
{
    return IndexReader(btree, files).Read();
}

} // namespace tarnwick::helpfile
