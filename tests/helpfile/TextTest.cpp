// Which code page a help file's text is read in, what its file names mean, and names of files that
// are not UTF-8.
#include "base/Utf8.h"
#include "helpfile/CodePageText.h"
#include "helpfile/FileReference.h"
#include "helpfile/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick::helpfile {
namespace {

// "首页" and "中文帮助" in UTF-8 and GBK, "Справка" in UTF-8 and CP1251, "ヘルプ" in Shift-JIS.
const std::string kHomeUtf8 = "\xE9\xA6\x96\xE9\xA1\xB5";     // also GBK text: "棣栭〉"
const std::string kTitleUtf8 = "\xE4\xB8\xAD\xE6\x96\x87\xE5\xB8\xAE\xE5\x8A\xA9"; // not GBK
const std::string kTitleGbk = "\xD6\xD0\xCE\xC4\xB0\xEF\xD6\xFA";
const std::string kRussianUtf8 = "\xD0\xA1\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD0\xBA\xD0\xB0";
const std::string kRussian1251 = "\xD1\xEF\xF0\xE0\xE2\xEA\xE0";
const std::string kHelpShiftJis = "\x83\x77\x83\x8B\x83\x76";

TEST(TextEncodingTest, EachTextIsWeighedAgainstUtf8AndItsCodePage)
{
    const struct {
        std::string text;
        unsigned codePage;
        TextEvidence expected;
    } cases[] = {
        {"index.htm", 936, TextEvidence::Ascii},
        {kTitleUtf8, 936, TextEvidence::Utf8Only},
        {kHomeUtf8, 936, TextEvidence::Either},
        {kTitleGbk, 936, TextEvidence::CodePageOnly},
        // In a code page of one byte per character, UTF-8 is taken for what it looks like.
        {kRussianUtf8, 1251, TextEvidence::Utf8Only},
        {kRussian1251, 1251, TextEvidence::CodePageOnly},
        {kHelpShiftJis, 932, TextEvidence::CodePageOnly},
        {"\xEF\xBF\xBD", 936, TextEvidence::Utf8Only}, // a real U+FFFD is well-formed
    };
    for (const auto& c : cases) EXPECT_EQ(WeighText(c.text, c.codePage), c.expected) << c.text << " in " << c.codePage;
}

TEST(TextEncodingTest, TextsThatCouldBeEitherFollowTheFilesEvidence)
{
    TextEncoding utf8File(936);
    utf8File.Weigh(kTitleUtf8);
    utf8File.Weigh("index.htm");
    EXPECT_EQ(utf8File.Decode(kHomeUtf8), L"\u9996\u9875");
    EXPECT_EQ(utf8File.DifferingCodePage(), kUtf8CodePage);

    // One text that cannot be UTF-8 keeps every text that could be either in the declared code page.
    TextEncoding gbkFile(936);
    gbkFile.Weigh(kTitleUtf8);
    gbkFile.Weigh(kTitleGbk);
    EXPECT_EQ(gbkFile.Decode(kHomeUtf8), L"\u68E3\u682D\u3009");
    EXPECT_EQ(gbkFile.Decode(kTitleGbk), L"\u4E2D\u6587\u5E2E\u52A9");
    EXPECT_EQ(gbkFile.Decode(kTitleUtf8), L"\u4E2D\u6587\u5E2E\u52A9"); // only UTF-8 makes sense of it
    EXPECT_EQ(gbkFile.DifferingCodePage(), std::nullopt);

    // The user's code page is taken whatever the texts say.
    TextEncoding chosen(936, 1251);
    chosen.Weigh(kTitleUtf8);
    EXPECT_EQ(chosen.Decode(kRussian1251), L"\u0421\u043F\u0440\u0430\u0432\u043A\u0430");
    EXPECT_EQ(chosen.DifferingCodePage(), 1251u);
    EXPECT_EQ(TextEncoding(936, 936).DifferingCodePage(), std::nullopt);
}

TEST(TextEncodingTest, AFileNameIsReadTheWayThatNamesAStream)
{
    // A file compiled again from a project whose names are UTF-8 and whose title stayed GBK.
    TextEncoding mixed(936);
    mixed.Weigh(kTitleGbk);
    const std::wstring home = L"\u9996\u9875.htm";
    const auto exists = [&](std::wstring_view name) { return name == home; };
    EXPECT_EQ(mixed.DecodeName(kHomeUtf8 + ".htm", exists), home);
    EXPECT_EQ(mixed.DecodeName("\xCA\xD7\xD2\xB3.htm", exists), home); // the same name in GBK
    // A name of nothing in the file is read as any other text.
    EXPECT_EQ(mixed.DecodeName(kHomeUtf8 + ".gif", exists), L"\u68E3\u682D\u3009.gif");
}

TEST(FileReferenceTest, ReadingsInTheOrderTheViewerTriesThem)
{
    using Readings = std::vector<std::pair<std::wstring, std::wstring>>;
    const auto readings = [](std::wstring_view reference) {
        Readings out;
        for (const ReferencedPath& r : ReferencedPaths(reference)) out.emplace_back(r.path, r.fragment);
        return out;
    };
    EXPECT_EQ(readings(L"a\\b.htm"), (Readings{{L"a/b.htm", L""}}));
    EXPECT_EQ(readings(L"/a/b.htm#top"), (Readings{{L"a/b.htm#top", L""}, {L"a/b.htm", L"#top"}, {L"b.htm", L"#top"}}));
    EXPECT_EQ(readings(L"C:\\p\\a.htm"), (Readings{{L"C:/p/a.htm", L""}, {L"p/a.htm", L""}, {L"a.htm", L""}}));
    EXPECT_EQ(readings(L"#top"), (Readings{{L"#top", L""}}));
    EXPECT_TRUE(readings(L"").empty());
}

// Long texts are converted a piece at a time: each must read as the whole text reads.
TEST(TextEncodingTest, ALongTextReadsInPiecesAsItReadsWhole)
{
    const struct {
        std::string unit;
        unsigned codePage;
    } cases[] = {
        {"<li>" + kTitleGbk + " " + kTitleGbk + "\r\n", 936},
        {"<p>" + kHelpShiftJis + "\x83\x40/\x83\x7E\t", 932}, // second bytes 0x40 and 0x7E
        {kRussian1251 + " ", 1251},
        {kTitleUtf8 + " \xE4\xB8 " + kRussianUtf8 + "\n", kUtf8CodePage}, // a character cut short
        {kTitleGbk, 936},                                                // no byte to cut before
    };
    for (const auto& c : cases) {
        std::string text;
        while (text.size() < 300'000) text += c.unit;
        const std::wstring whole = c.codePage == kUtf8CodePage ? WideFromUtf8(text) : WideFromCodePage(text, c.codePage);
        EXPECT_TRUE(Utf8FromCodePage(text, c.codePage) == Utf8FromWide(whole)) << c.codePage;
    }
}

TEST(Utf8Test, AsciiRunsOfEveryLengthBesideOtherText)
{
    // Runs of ASCII are copied a block at a time: a character after any run length must land in place.
    for (std::size_t run = 0; run <= 40; ++run) {
        const std::string ascii(run, 'a');
        const std::wstring wideAscii(run, L'a');
        const std::string utf8 = ascii + "\xE4\xB8\xAD" + ascii + "\xF0\x9F\x98\x80" + ascii;
        const std::wstring wide = wideAscii + L"\u4E2D" + wideAscii + tarnwick::WideFromUtf8("\xF0\x9F\x98\x80") + wideAscii;
        EXPECT_EQ(tarnwick::WideFromUtf8(utf8), wide) << run;
        std::string appended = "x";
        tarnwick::AppendUtf8(appended, wide);
        EXPECT_EQ(appended, "x" + utf8) << run;
    }
}

TEST(FileNameTest, EveryByteStringSurvivesTheWideForm)
{
    const std::string names[] = {
        "plain", "\xE5\xB8\xAE\xE5\x8A\xA9.chm", // UTF-8
        "\xB0\xEF\xD6\xFA.chm",                 // GBK, not UTF-8
        "\xEF\xBF\xBD\xFF\x80",                 // a real U+FFFD beside stray bytes
        "\xE5\xB8",                             // UTF-8 cut short
    };
    for (const std::string& name : names) {
        const std::wstring wide = tarnwick::WideFromFileName(name);
        EXPECT_EQ(tarnwick::FileNameFromWide(wide), name);
        // Well-formed names read as any UTF-8 text does.
        if (tarnwick::IsWellFormedUtf8(name)) {
            EXPECT_EQ(wide, tarnwick::WideFromUtf8(name));
        }
    }
    EXPECT_NE(tarnwick::WideFromFileName("\xB0\xEF"), tarnwick::WideFromFileName("\xB0\xF0"));
}

} // namespace
} // namespace tarnwick::helpfile
