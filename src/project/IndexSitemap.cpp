#include "project/IndexSitemap.h"

#include "base/Utf8.h"
#include "project/CodePageEncoder.h"
#include "project/SitemapWriter.h"

#include <deque>

namespace tarnwick::project {

namespace {

std::string Utf8(std::u16string_view text) { return tarnwick::Utf8FromWide(std::wstring(text.begin(), text.end())); }

// A character the code page lacks becomes "?", and the report says which keyword it was in.
std::string KeywordText(std::u16string_view keyword, std::uint32_t codePage, RecoveryReport& report)
{
    if (auto text = TextInCodePage(keyword, codePage)) return std::move(*text);
    std::string replaced;
    for (const char16_t unit : keyword) replaced += unit < 0x80 ? static_cast<char>(unit) : '?';
    report.Lost("索引关键字 \"" + Utf8(keyword) + "\" 含代码页 " + std::to_string(codePage) + " 中没有的字符, 已写成 " +
                replaced);
    return replaced;
}

} // namespace

std::string IndexSitemap(const helpfile::KeywordIndex& index, const NameWriter& writtenName,
                         const helpfile::TextEncoding& encoding, RecoveryReport& report)
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
        std::deque<std::string> locals; // the params point into it: it must not move them
        for (const helpfile::Topic& topic : entry.topics) {
            if (topic.local.empty() && topic.url.empty()) {
                report.Lost("索引关键字 \"" + Utf8(entry.keyword) + "\" 的一个主题 \"" +
                            tarnwick::Utf8FromWide(encoding.Decode(topic.title)) + "\" 没有文件, 未写入");
                continue;
            }
            // With several topics each is named, so that the viewer can offer a choice.
            if (severalTopics) params.emplace_back("Name", topic.title.empty() ? std::string_view(keyword) : topic.title);
            if (!topic.local.empty()) params.emplace_back("Local", locals.emplace_back(writtenName(topic.local)));
            if (!topic.url.empty()) params.emplace_back("URL", topic.url);
        }
        sitemap.Item(entry.depth, params);
    }
    return sitemap.Finish();
}

} // namespace tarnwick::project
