// The binary contents and index, crafted byte by byte: what a well-formed file gives, and that a
// damaged one ends, keeps what was intact and says what was not.
#include "helpfile/ContentsTree.h"
#include "helpfile/KeywordIndex.h"
#include "support/TestData.h"

#include <gtest/gtest.h>

#include <string>
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
struct TocIndex {
    Bytes bytes = Bytes(16, 0);

    explicit TocIndex(std::uint32_t first) { Set32(0, first); }
    void Entry(std::uint32_t at, std::uint32_t flags, std::uint32_t topicOrName, std::uint32_t next, std::uint32_t child = 0)
    {
        if (bytes.size() < at + 28) bytes.resize(at + 28, 0);
        Set32(at + 4, flags);
        Set32(at + 8, topicOrName);
        Set32(at + 16, next);
        Set32(at + 20, child);
    }
    void Set32(std::size_t at, std::uint32_t value) { PutLeAt(bytes, at, value, 4); }
};

Bytes Joined(Bytes first, const Bytes& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

Bytes Cut(Bytes bytes, std::size_t size)
{
    bytes.resize(size);
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
    TocIndex toc(0x100);
    toc.Entry(0x100, kBook | kPage, a, 0x200, 0x140);
    toc.Entry(0x140, kBook, heading, 0, 0x180);
    toc.Entry(0x180, kPage, b, 0);
    toc.Entry(0x200, kPage, c, 0);

    const ContentsTree tree = ReadContentsTree(toc.bytes, topics.View());
    EXPECT_EQ(Outline(tree), "A=a.htm -Heading --B=sub/b.htm C=c.htm ");
    EXPECT_TRUE(tree.entries[0].hasChildren && tree.entries[1].hasChildren && !tree.entries[2].hasChildren);
    EXPECT_TRUE(tree.damage.empty());
}

TEST(BinaryContents, DamageEndsTheWalkAndIsReported)
{
    Topics topics;
    const auto a = topics.Add("A", "a.htm");
    const auto b = topics.Add("B", "b.htm");
    struct Case {
        const char* what;
        TocIndex toc;
        std::string outline;
    };
    std::vector<Case> cases;
    {
        TocIndex toc(0x20);
        toc.Entry(0x20, kPage, a, 0x40);
        toc.Entry(0x40, kPage, b, 0x20);
        cases.push_back({"siblings that loop", toc, "A=a.htm B=b.htm "});
    }
    {
        TocIndex toc(0x20);
        toc.Entry(0x20, kBook | kPage, a, 0, 0x20);
        cases.push_back({"a book that contains itself", toc, "A=a.htm "});
    }
    {
        TocIndex toc(0x20);
        toc.Entry(0x20, kBook | kPage, a, 0x40, 0x7FFFFFF0);
        toc.Entry(0x40, kPage, b, 0xFFFFFFFF);
        cases.push_back({"links past the end", toc, "A=a.htm B=b.htm "});
    }
    {
        TocIndex toc(0x20);
        toc.Entry(0x20, kPage, 1000, 0x40);
        toc.Entry(0x40, kPage, b, 0);
        cases.push_back({"a topic number past #TOPICS", toc, "? B=b.htm "});
    }
    {
        TocIndex toc(0x20);
        toc.Entry(0x20, 0, 0xFFFFFF00, 0);
        cases.push_back({"a name past #STRINGS", toc, "? "});
    }
    {
        TocIndex toc(0);
        toc.bytes.resize(3);
        cases.push_back({"a header cut short", toc, ""});
    }
    for (const Case& c : cases) {
        const ContentsTree tree = ReadContentsTree(c.toc.bytes, topics.View());
        EXPECT_EQ(Outline(tree), c.outline) << c.what;
        EXPECT_FALSE(tree.damage.empty()) << c.what;
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
    ASSERT_EQ(index.entries.size(), 3u);
    EXPECT_TRUE(index.damage.empty());
    EXPECT_EQ(index.codePage, 1252u);
    EXPECT_EQ(index.entries[0].keyword, u"apple");
    ASSERT_EQ(index.entries[0].topics.size(), 2u);
    EXPECT_EQ(index.entries[0].topics[1].local, "c.htm");
    EXPECT_EQ(index.entries[0].topics[1].title, "Gamma");
    EXPECT_EQ(index.entries[1].keyword, u"green");
    EXPECT_EQ(index.entries[1].depth, 1u);
    EXPECT_EQ(index.entries[2].seeAlso, u"apple");
    EXPECT_TRUE(index.entries[2].topics.empty());
}

TEST(BinaryIndex, DamageIsReportedAndWhatWasIntactKept)
{
    Topics topics;
    const auto a = topics.Add("Alpha", "a.htm");
    Bytes one;
    PutKeyword(one, u"apple", 0, 0, {a});
    Bytes hugeTopicCount;
    PutKeyword(hugeTopicCount, u"big", 0, 0, {a});
    PutLeAt(hugeTopicCount, 8 + 12, 0xFFFFFF01, 4); // the topic count
    Bytes unterminated(64, 'x');
    Bytes missingTopic;
    PutKeyword(missingTopic, u"lost", 0, 0, {77});

    struct Case {
        const char* what;
        Bytes tree;
        std::size_t entries;
    };
    Bytes notATree = KeywordTree(one, 1);
    notATree[0] = 0;
    const Case cases[] = {
        {"more entries counted than the block holds", KeywordTree(one, 40), 1},
        {"a topic count larger than the block", KeywordTree(Joined(one, hugeTopicCount), 2), 1},
        {"listing blocks past the end", KeywordTree(one, 1, 9), 1},
        {"a keyword that runs off its block", KeywordTree(unterminated, 1, 0, 64), 0},
        {"a topic number past #TOPICS", KeywordTree(missingTopic, 1), 1},
        {"not a keyword tree", notATree, 0},
        {"cut inside the header", Cut(KeywordTree(one, 1), 0x30), 0},
    };
    for (const Case& c : cases) {
        const KeywordIndex index = ReadKeywordIndex(c.tree, topics.View());
        EXPECT_EQ(index.entries.size(), c.entries) << c.what;
        EXPECT_FALSE(index.damage.empty()) << c.what;
    }
}

} // namespace
} // namespace tarnwick::helpfile
