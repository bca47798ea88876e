// The terms pages are filed under and the index script the search page loads: what the browser's
// half must find by the same splitting of what a reader types.
#include "export/PageTerms.h"
#include "export/SearchIndex.h"
#include "export/SearchTerms.h"

#include <gtest/gtest.h>

using namespace tarnwick::exporting;

namespace {

using Terms = std::vector<std::string>;

TEST(Search, SplitsWordsAndBigrams)
{
    struct TermCase {
        const char* text;
        Terms terms;
    };
    const TermCase cases[] = {
        {"Hello, WORLD\tnew\nline", {"hello", "world", "new", "line"}},
        {"a I x1 b2c 3", {"x1", "b2c"}},
        {"ＷＩＮ３２ Ａ：ｘｙ", {"win32", "xy"}},
        {"ÀÉÎÕÜ×Þ Ÿ ĀāĹĺŊŉ İ ΑΣΩ ЁЖя Straße", {"àéîõü", "þ", "ÿ", "āāĺĺŋŉ", "İ", "ασω", "ёжя", "straße"}},
        {"帮助文件", {"帮助", "助文", "文件"}},
        {"第3章：使用Windows帮助", {"第", "章", "使用", "windows", "帮助"}},
        {"“引号”、句号。", {"引号", "句号"}},
        {"カタカナ・テスト の 人々", {"カタ", "タカ", "カナ", "テス", "スト", "の", "人々"}},
        {"한국어", {"한국", "국어"}},
        {"中\xE4文 ab\xFF" "cd 中😀文", {"中", "文", "ab", "cd", "中", "文"}},
    };
    for (const TermCase& c : cases) EXPECT_EQ(SearchTerms(c.text), c.terms) << c.text;
}

TEST(Search, ScriptListsEachTermsPagesOnceInOrder)
{
    SearchIndex index;
    const std::uint32_t a = index.AddPage("a.htm");
    const std::uint32_t chapter = index.AddPage("说明/第二章.htm");
    index.AddText(a, "</script> <b>", "Hello hello WORLD");
    index.AddText(chapter, "\"引号\" \\ \u2028\t😀\xFF", "hello 帮助");
    index.AddText(a, "Other", "zebra 帮助 hello"); // hello's pages come 0, 1, 0

    EXPECT_EQ(index.Script(), R"(var tarnwickSearch={pages:[
["<\/script> <b>","a.htm"],
["\"\u5f15\u53f7\" \\ \u2028\u0009\ud83d\ude00\ufffd","\u8bf4\u660e/\u7b2c\u4e8c\u7ae0.htm"]],
terms:[
["hello",[0,1]],
["other",[0]],
["script",[0]],
["world",[0]],
["zebra",[0]],
["\u5e2e\u52a9",[0,1]],
["\u5f15\u53f7",[1]]]};
)");
}

Terms Gathered(const PageTerms& terms)
{
    Terms gathered;
    for (std::size_t i = 0; i < terms.Count(); ++i) gathered.emplace_back(terms.At(i));
    return gathered;
}

// A page's terms are gathered into a table that grows and is reused for the next page.
TEST(Search, APagesTermsAreGatheredOnceEachAndForgottenWithThePage)
{
    std::string text;
    Terms distinct = {"title"};
    for (int i = 0; i < 6000; ++i) {
        text += "w" + std::to_string(i % 3000) + " 帮助 ";
        if (i < 3000) distinct.push_back("w" + std::to_string(i));
        if (i == 0) distinct.push_back("帮助");
    }
    PageTerms terms;
    terms.Gather("Title", text);
    EXPECT_EQ(Gathered(terms), distinct);
    terms.Gather("", "TITLE w5 new w5");
    EXPECT_EQ(Gathered(terms), (Terms{"title", "w5", "new"}));
}

// A term's pages are kept as differences from the one before: far apart, backwards and repeated.
TEST(Search, PagesFiledInAnyOrderAreListedInOrder)
{
    SearchIndex index;
    for (int i = 0; i < 130000; ++i) index.AddPage("p");
    for (const std::uint32_t page : {129999u, 0u, 128u, 127u, 16384u, 16383u, 129999u, 5u}) index.AddText(page, "", "word");
    const std::string script = index.Script();
    EXPECT_TRUE(script.ends_with("terms:[\n[\"word\",[0,5,127,128,16383,16384,129999]]]};\n")) << script.substr(script.size() - 80);
}

TEST(Search, ALargeScriptComesInPiecesThatMakeTheWholeScript)
{
    SearchIndex index;
    for (int i = 0; i < 5000; ++i) index.AddText(index.AddPage("p" + std::to_string(i) + ".htm"), "", "w" + std::to_string(i));
    std::vector<std::string> pieces;
    index.Script([&](std::string_view piece) { pieces.emplace_back(piece); });
    EXPECT_GT(pieces.size(), 1u);
    std::string whole;
    for (const std::string& piece : pieces) whole += piece;
    EXPECT_TRUE(whole.starts_with("var tarnwickSearch={pages:[\n[\"\",\"p0.htm\"],\n")) << whole.substr(0, 40);
    EXPECT_TRUE(whole.ends_with(",\n[\"w999\",[999]]]};\n")) << whole.substr(whole.size() - 40);
    std::size_t rows = 0; // a page's or a term's each
    for (std::size_t at = whole.find("\n["); at != std::string::npos; at = whole.find("\n[", at + 1)) ++rows;
    EXPECT_EQ(rows, 10000u);
}

} // namespace
