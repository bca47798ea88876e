// The rebuilt index in the code page the compiler reads it in: the keyword tree keeps UTF-16.
#include "project/IndexSitemap.h"

#include <gtest/gtest.h>

namespace tarnwick::project {
namespace {

using helpfile::KeywordEntry;
using helpfile::Topic;

TEST(IndexSitemap, KeywordsAreWrittenInTheTreesCodePageAndWhatItLacksIsReported)
{
    helpfile::KeywordIndex index;
    index.codePage = 936;
    index.entries.push_back(KeywordEntry{0, u"\u5E2E\u52A9", {}, {Topic{"", "a.htm", ""}}});
    index.entries.push_back(KeywordEntry{1, u"\u0E01x", {}, {Topic{"", "b.htm", ""}, Topic{"T", "", ""}}});
    RecoveryReport report;
    const NameWriter onDisk = [](std::string_view reference) { return "disk/" + std::string(reference); };
    const std::string text = IndexSitemap(index, onDisk, helpfile::TextEncoding(936), report);

    EXPECT_NE(text.find("<param name=\"Name\" value=\"\xB0\xEF\xD6\xFA\">"), std::string::npos) << text;
    EXPECT_NE(text.find("<param name=\"Local\" value=\"disk/a.htm\">"), std::string::npos) << text;
    // A Thai letter has no GBK form: a stand-in, said in the report, as is the topic without a file.
    EXPECT_NE(text.find("<param name=\"Name\" value=\"?x\">"), std::string::npos) << text;
    EXPECT_EQ(report.lines.size(), 2u);
    // The sub-keyword is inside a list of its own, after its keyword.
    EXPECT_LT(text.find("\xB0\xEF"), text.find("\t<UL>"));
    EXPECT_LT(text.find("\t<UL>"), text.find("?x"));
}

} // namespace
} // namespace tarnwick::project
