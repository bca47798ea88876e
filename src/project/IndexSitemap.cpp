#include "IndexSitemap.h"

#include "CodePageEncoder.h"
#include "SitemapWriter.h"

namespace tarnwick::project {

namespace {

// A character the code page lacks becomes "?", and the report says which keyword it was in.
std::string KeywordText(std::u16string_view keyword, std::uint32_t codePage, RecoveryReport& report)
{
    if (auto text = TextInCodePage(keyword, codePage)) return std::move(*text);
    std::string replaced;
    for (const char16_t unit : keyword) replaced += unit < 0x80 ? static_cast<char>(unit) : '?';
    report.Lost("索引关键字 \"" + replaced + "\" 含代码页 " + std::to_string(codePage) + " 中没有的字符, 已写成 ?");
    return replaced;
}

} // namespace

std::string IndexSitemap(const helpfile::KeywordIndex& index, RecoveryReport& report)
{
    SitemapWriter sitemap;
    for (const helpfile::KeywordEntry& entry : index.entries) {
        const std::string keyword = KeywordText(entry.keyword, index.codePage, report);
        SitemapParams params{{"Name", keyword}};
        std::string seeAlso;
        if (!entry.seeAlso.empty()) {
            seeAlso = KeywordText(entry.seeAlso, index.codePage, report);
            params.emplace_back("See Also", seeAlso);
        }
        const bool severalTopics = entry.topics.size() > 1;
        for (const helpfile::Topic& topic : entry.topics) {
            if (topic.local.empty() && topic.url.empty()) {
                report.Lost("索引关键字 \"" + keyword + "\" 的一个主题 \"" + topic.title + "\" 没有文件, 未写入");
                continue;
            }
            // With several topics each is named, so that the viewer can offer a choice.
            if (severalTopics) params.emplace_back("Name", topic.title.empty() ? std::string_view(keyword) : topic.title);
            if (!topic.local.empty()) params.emplace_back("Local", topic.local);
            if (!topic.url.empty()) params.emplace_back("URL", topic.url);
        }
        sitemap.Item(entry.depth, params);
    }
    return sitemap.Finish();
}

} // namespace tarnwick::project
