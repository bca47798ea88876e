#include "project/BinarySitemaps.h"

#include "helpfile/ContentsTree.h"
#include "helpfile/InternalFile.h"
#include "helpfile/KeywordIndex.h"
#include "project/ContentsSitemap.h"
#include "project/IndexSitemap.h"

namespace tarnwick::project {

std::vector<std::uint8_t> ReadBinaryFileOrEmpty(IStorage* root, std::wstring_view path)
{
    auto bytes = helpfile::ReadInternalFile(root, path, kBinaryFileLimit);
    return bytes ? std::move(*bytes) : std::vector<std::uint8_t>();
}

TopicBytes::TopicBytes(IStorage* root)
    : topics(ReadBinaryFileOrEmpty(root, L"#TOPICS")), urlTable(ReadBinaryFileOrEmpty(root, L"#URLTBL")),
      urlStrings(ReadBinaryFileOrEmpty(root, L"#URLSTR")), strings(ReadBinaryFileOrEmpty(root, L"#STRINGS"))
{
}

std::string RebuildContents(std::span<const std::uint8_t> tocIndex, const TopicBytes& topics, const NameWriter& writtenName,
                            RecoveryReport& report)
{
    const helpfile::ContentsTree tree = helpfile::ReadContentsTree(tocIndex, topics.View());
    for (const std::string& damage : tree.damage) report.Lost("目录: " + damage);
    return ContentsSitemap(tree.entries, writtenName);
}

std::string RebuildIndex(std::span<const std::uint8_t> btree, const TopicBytes& topics, const NameWriter& writtenName,
                         const helpfile::TextEncoding& encoding, std::optional<unsigned> keywordCodePage,
                         RecoveryReport& report)
{
    helpfile::KeywordIndex index = helpfile::ReadKeywordIndex(btree, topics.View());
    for (const std::string& damage : index.damage) report.Lost("索引: " + damage);
    if (keywordCodePage) index.codePage = *keywordCodePage;
    if (index.codePage == 0) index.codePage = encoding.DeclaredCodePage();
    return IndexSitemap(index, writtenName, encoding, report);
}

} // namespace tarnwick::project
