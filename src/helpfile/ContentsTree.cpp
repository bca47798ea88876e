#include "helpfile/ContentsTree.h"

#include "base/LittleEndian.h"
#include "helpfile/StringsFile.h"

#include <unordered_set>
#include <utility>

namespace tarnwick::helpfile {

namespace {

// Entry fields: a WORD and a sequence WORD, the flags, the topic number (or the "#STRINGS" offset
// of the name when the entry has no topic), the parent, the next sibling and, for a book, its
// first child.
constexpr std::uint32_t kHasChildren = 0x4;
constexpr std::uint32_t kHasTopic = 0x8;
constexpr std::uint64_t kFlagsAt = 4;
constexpr std::uint64_t kTopicOrNameAt = 8;
constexpr std::uint64_t kNextSiblingAt = 16;
constexpr std::uint64_t kFirstChildAt = 20;

struct Pending {
    std::uint32_t offset;
    std::size_t depth;
};

std::string Hex(std::uint32_t value)
{
    static const char digits[] = "0123456789abcdef";
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) text += digits[(value >> shift) & 0xF];
    return text;
}

class TreeReader {
public:
    TreeReader(std::span<const std::uint8_t> tocIndex, const TopicFiles& files) : m_bytes(tocIndex), m_files(files) {}

    ContentsTree Read()
    {
        const auto first = Le32At(m_bytes, 0);
        if (!first) {
            m_tree.damage.push_back("#TOCIDX: 太短, 读不出文件头");
            return std::move(m_tree);
        }
        std::vector<Pending> pending{{*first, 0}};
        while (!pending.empty()) {
            const Pending next = pending.back();
            pending.pop_back();
            ReadEntry(next, pending);
        }
        return std::move(m_tree);
    }

private:
    void ReadEntry(const Pending& at, std::vector<Pending>& pending)
    {
        if (at.offset == 0) return;
        if (!m_visited.insert(at.offset).second) {
            m_tree.damage.push_back("#TOCIDX: 位于 " + Hex(at.offset) + " 的条目被链接了两次, 不再重复读取");
            return;
        }
        const auto flags = Le32At(m_bytes, at.offset + kFlagsAt);
        const auto topicOrName = Le32At(m_bytes, at.offset + kTopicOrNameAt);
        const auto nextSibling = Le32At(m_bytes, at.offset + kNextSiblingAt);
        if (!flags || !topicOrName || !nextSibling) {
            m_tree.damage.push_back("#TOCIDX: 位于 " + Hex(at.offset) + " 的条目超出文件结尾");
            return;
        }
        ContentsEntry entry;
        entry.depth = at.depth;
        if (!Describe(*flags, *topicOrName, entry)) {
            m_tree.damage.push_back("#TOCIDX: 位于 " + Hex(at.offset) + " 的条目指向不存在的主题或文本");
            entry.name = "?";
        }
        // The sibling waits until every entry inside this one has been read.
        pending.push_back({*nextSibling, at.depth});
        if (*flags & kHasChildren) {
            const auto firstChild = Le32At(m_bytes, at.offset + kFirstChildAt);
            if (firstChild && *firstChild != 0) {
                entry.hasChildren = true;
                pending.push_back({*firstChild, at.depth + 1});
            } else if (!firstChild) {
                m_tree.damage.push_back("#TOCIDX: 位于 " + Hex(at.offset) + " 的书的子条目超出文件结尾");
            }
        }
        m_tree.entries.push_back(std::move(entry));
    }

    bool Describe(std::uint32_t flags, std::uint32_t topicOrName, ContentsEntry& entry) const
    {
        if (!(flags & kHasTopic)) {
            const auto name = StringAt(m_files.strings, topicOrName);
            if (!name) return false;
            entry.name = std::string(*name);
            return true;
        }
        auto topic = TopicAt(m_files, topicOrName);
        if (!topic) return false;
        entry.name = std::move(topic->title);
        entry.local = std::move(topic->local);
        entry.url = std::move(topic->url);
        return true;
    }

    std::span<const std::uint8_t> m_bytes;
    const TopicFiles& m_files;
    ContentsTree m_tree;
    std::unordered_set<std::uint32_t> m_visited;
};

} // namespace

ContentsTree ReadContentsTree(std::span<const std::uint8_t> tocIndex, const TopicFiles& files)
{
    return TreeReader(tocIndex, files).Read();
}

} // namespace tarnwick::helpfile
