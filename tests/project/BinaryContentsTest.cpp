// The binary contents and index, crafted byte by byte: what a well-formed file gives, and that a
// damaged one ends, keeps what was intact and says what was not.
#include "helpfile/ContentsTree.h"
#include "helpfile/KeywordIndex.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace tarnwick::helpfile {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& bytes, std::uint16_t value) { AppendLe(bytes, value, 2); }
void Put32(Bytes& bytes, std::uint32_t value) { AppendLe(bytes, value, 4); }
void PutText(Bytes& bytes, const std::string& text)
{
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
}
void PutWide(Bytes& bytes, const std::u16string& text)
{
    for (const char16_t unit : text) Put16(bytes, unit);
    Put16(bytes, 0);
}

// "#TOPICS" with the tables it is resolved through; each topic has a title and a file.
struct Topics {
    Bytes topics, urlTable, urlStrings{0}, strings{0};

    std::uint32_t Add(const std::string& title, const std::string& local)
    {
        const auto number = static_cast<std::uint32_t>(topics.size() / 16);
        const auto titleAt = static_cast<std::uint32_t>(strings.size());
        PutText(strings, title);
        const auto urlStringAt = static_cast<std::uint32_t>(urlStrings.size());
        AppendLe(urlStrings, 0, 8);
        PutText(urlStrings, local);
        const auto urlEntryAt = static_cast<std::uint32_t>(urlTable.size());
        for (const std::uint32_t field : {0u, number, urlStringAt}) Put32(urlTable, field);
        for (const std::uint32_t field : {0u, titleAt, urlEntryAt, 2u}) Put32(topics, field);
        return number;
    }
    std::uint32_t AddText(const std::string& text)
    {
        const auto at = static_cast<std::uint32_t>(strings.size());
        PutText(strings, text);
        return at;
    }
    TopicFiles View() const { return {topics, urlTable, urlStrings, strings}; }
};

constexpr std::uint32_t kBook = 0x4;
constexpr std::uint32_t kPage = 0x8;

// "#TOCIDX": the header's first entry, then entries at the offsets given.
struct TocEntry {
    std::uint32_t at, flags, topicOrName, next, child = 0;
};
Bytes TocIndex(std::uint32_t first, std::initializer_list<TocEntry> entries)
{
    Bytes bytes(16, 0);
    PutLeAt(bytes, 0, first, 4);
    for (const TocEntry& e : entries) {
        if (bytes.size() < e.at + 28) bytes.resize(e.at + 28, 0);
        for (const auto& [field, value] : {std::pair{4u, e.flags}, {8u, e.topicOrName}, {16u, e.next}, {20u, e.child}})
            PutLeAt(bytes, e.at + field, value, 4);
    }
    return bytes;
}

std::string Outline(const ContentsTree& tree)
{
    std::string text;
    for (const ContentsEntry& e : tree.entries) text += std::string(e.depth, '-') + e.name + (e.local.empty() ? "" : "=" + e.local) + " ";
    return text;
}

TEST(BinaryContents, BooksListTheirChildrenBeforeTheNextSibling)
{
    Topics topics;
    const auto a = topics.Add("A", "a.htm");
    const auto b = topics.Add("B", "sub/b.htm");
    const auto c = topics.Add("C", "c.htm");
    const auto heading = topics.AddText("Heading");
    const Bytes toc = TocIndex(0x100, {{0x100, kBook | kPage, a, 0x200, 0x140},
                                       {0x140, kBook, heading, 0, 0x180},
                                       {0x180, kPage, b, 0},
                                       {0x200, kPage, c, 0}});
    const ContentsTree tree = ReadContentsTree(toc, topics.View());
    EXPECT_EQ(Outline(tree), "A=a.htm -Heading --B=sub/b.htm C=c.htm ");
    EXPECT_TRUE(tree.entries[0].hasChildren && tree.entries[1].hasChildren && !tree.entries[2].hasChildren);
    EXPECT_TRUE(tree.damage.empty());
}

TEST(BinaryContents, DamageEndsTheWalkAndIsReported)
{
    Topics topics;
    const auto a = topics.Add("A", "a.htm");
    const auto b = topics.Add("B", "b.htm");
    const std::tuple<const char*, Bytes, std::string> cases[] = {
        {"siblings that loop", TocIndex(0x20, {{0x20, kPage, a, 0x40}, {0x40, kPage, b, 0x20}}), "A=a.htm B=b.htm "},
        {"a book that contains itself", TocIndex(0x20, {{0x20, kBook | kPage, a, 0, 0x20}}), "A=a.htm "},
        {"links past the end", TocIndex(0x20, {{0x20, kBook | kPage, a, 0x40, 0x7FFFFFF0}, {0x40, kPage, b, 0xFFFFFFFF}}),
         "A=a.htm B=b.htm "},
        {"a topic number past #TOPICS", TocIndex(0x20, {{0x20, kPage, 1000, 0x40}, {0x40, kPage, b, 0}}), "? B=b.htm "},
        {"a name past #STRINGS", TocIndex(0x20, {{0x20, 0, 0xFFFFFF00, 0}}), "? "},
        {"a header cut short", Bytes(3, 0), ""},
    };
    for (const auto& [what, toc, outline] : cases) {
        const ContentsTree tree = ReadContentsTree(toc, topics.View());
        EXPECT_EQ(Outline(tree), outline) << what;
        EXPECT_FALSE(tree.damage.empty()) << what;
    }
}

// A keyword tree of one listing block of `blockSize` bytes, its entries given whole.
Bytes KeywordTree(const Bytes& entries, std::uint16_t count, std::uint32_t lastListingBlock = 0, std::uint16_t blockSize = 2048)
{
    Bytes tree(0x4C, 0);
    PutLeAt(tree, 0, 0x293B, 2);
    PutLeAt(tree, 4, blockSize, 2);
    PutLeAt(tree, 0x1A, lastListingBlock, 4);
    PutLeAt(tree, 0x30, 1252, 4);
    Bytes block;
    Put16(block, 0);
    Put16(block, count);
    AppendLe(block, UINT64_MAX, 8);
    block.insert(block.end(), entries.begin(), entries.end());
    block.resize(blockSize, 0);
    tree.insert(tree.end(), block.begin(), block.end());
    return tree;
}

void PutKeyword(Bytes& bytes, const std::u16string& keyword, std::uint16_t depth, std::uint32_t shownFrom,
                const std::vector<std::uint32_t>& topics, const std::u16string& seeAlso = {})
{
    PutWide(bytes, keyword);
    Put16(bytes, seeAlso.empty() ? 0 : 2);
    Put16(bytes, depth);
    for (const std::uint32_t field : {shownFrom, 0u, seeAlso.empty() ? static_cast<std::uint32_t>(topics.size()) : 1u})
        Put32(bytes, field);
    if (seeAlso.empty())
        for (const std::uint32_t topic : topics) Put32(bytes, topic);
    else
        PutWide(bytes, seeAlso);
    AppendLe(bytes, 1, 8);
}

// "keyword:title=file,... " a line, each sub-keyword after a "-", a see-also after a ">".
std::string Listing(const KeywordIndex& index)
{
    const auto narrow = [](const std::u16string& text) { return std::string(text.begin(), text.end()); };
    std::string text;
    for (const KeywordEntry& e : index.entries) {
        text += std::string(e.depth, '-') + narrow(e.keyword) + (e.seeAlso.empty() ? "" : ">" + narrow(e.seeAlso)) + ":";
        for (const Topic& topic : e.topics) text += topic.title + "=" + topic.local + ",";
        text += " ";
    }
    return text;
}

TEST(BinaryIndex, KeywordsKeepTheirOrderDepthTopicsAndSeeAlso)
{
    Topics topics;
    const auto a = topics.Add("Alpha", "a.htm");
    const auto c = topics.Add("Gamma", "c.htm");
    Bytes entries;
    PutKeyword(entries, u"apple", 0, 0, {a, c});
    PutKeyword(entries, u"apple, green", 1, 7, {c});
    PutKeyword(entries, u"zebra", 0, 0, {}, u"apple");

    const KeywordIndex index = ReadKeywordIndex(KeywordTree(entries, 3), topics.View());
    EXPECT_EQ(Listing(index), "apple:Alpha=a.htm,Gamma=c.htm, -green:Gamma=c.htm, zebra>apple: ");
    EXPECT_TRUE(index.damage.empty());
    EXPECT_EQ(index.codePage, 1252u);
}

TEST(BinaryIndex, DamageIsReportedAndWhatWasIntactKept)
{
    Topics topics;
    const auto a = topics.Add("Alpha", "a.htm");
    Bytes one;
    PutKeyword(one, u"apple", 0, 0, {a});
    Bytes hugeTopicCount = one; // then a keyword with a topic count of 0xFFFFFF01
    PutKeyword(hugeTopicCount, u"big", 0, 0, {a});
    PutLeAt(hugeTopicCount, one.size() + 8 + 12, 0xFFFFFF01, 4);
    Bytes missingTopic;
    PutKeyword(missingTopic, u"lost", 0, 0, {77});

    Bytes notATree = KeywordTree(one, 1), cut = notATree;
    notATree[0] = 0;
    cut.resize(0x30);
    const std::tuple<const char*, Bytes, std::size_t> cases[] = {
        {"more entries counted than the block holds", KeywordTree(one, 40), 1},
        {"a topic count larger than the block", KeywordTree(hugeTopicCount, 2), 1},
        {"listing blocks past the end", KeywordTree(one, 1, 9), 1},
        {"a keyword that runs off its block", KeywordTree(Bytes(64, 'x'), 1, 0, 64), 0},
        {"a topic number past #TOPICS", KeywordTree(missingTopic, 1), 1},
        {"not a keyword tree", notATree, 0},
        {"cut inside the header", cut, 0},
    };
    for (const auto& [what, tree, entries] : cases) {
        const KeywordIndex index = ReadKeywordIndex(tree, topics.View());
        EXPECT_EQ(index.entries.size(), entries) << what;
        EXPECT_FALSE(index.damage.empty()) << what;
    }
}

} // namespace
} // namespace tarnwick::helpfile
