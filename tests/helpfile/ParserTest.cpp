// "#SYSTEM" and "#WINDOWS" from crafted bytes: the fields where the format puts them, and damaged
// records reported instead of read.
#include "helpfile/CodePageText.h"
#include "helpfile/Language.h"
#include "helpfile/SystemFile.h"
#include "helpfile/WindowsFile.h"

#include "support/TestData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tarnwick::helpfile;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Record(std::uint16_t code, const Bytes& data, int lengthChange = 0)
{
    Bytes out;
    AppendLe(out, code, 2), AppendLe(out, data.size() + lengthChange, 2);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

Bytes Text(const std::string& text) { return Bytes(text.c_str(), text.c_str() + text.size() + 1); }

Bytes Number(std::uint32_t value)
{
    Bytes out;
    AppendLe(out, value, 4);
    return out;
}

Bytes Settings(std::uint32_t lcid, bool withTime)
{
    Bytes out;
    for (std::uint32_t field : {lcid, 0u, 1u, 1u, 0u}) AppendLe(out, field, 4);
    if (withTime) out.insert(out.end(), {1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0, 0, 0, 0, 0, 0});
    return out;
}

Bytes SystemOf(const std::vector<Bytes>& records)
{
    Bytes out = Number(3);
    for (const Bytes& record : records) out.insert(out.end(), record.begin(), record.end());
    return out;
}

} // namespace

TEST(SystemFileTest, ReadsEachCodeIntoItsField)
{
    const auto file = ParseSystemFile(SystemOf({
        Record(10, Number(0x5d9ba4bd)), Record(9, Text("HHA Version 4.74.8702")), Record(4, Settings(0x804, true)),
        Record(2, Text("index.htm")), Record(3, Text("Title")), Record(16, Text(",8,0")), Record(6, Text("stem")),
        Record(5, Text("Main")), Record(0, Text("a.hhc")), Record(1, Text("a.hhk")), Record(7, Number(7)),
        Record(11, Number(11)), Record(12, Number(0)), Record(13, Bytes(40, 0xAA)), Record(99, {1, 2, 3}),
    }));
    ASSERT_TRUE(file);
    using Texts = std::vector<std::optional<std::string>>;
    EXPECT_EQ((Texts{file->contentsFile, file->indexFile, file->defaultTopic, file->title, file->defaultWindow,
                     file->compiledFile, file->compilerVersion, file->defaultFont}),
              (Texts{"a.hhc", "a.hhk", "index.htm", "Title", "Main", "stem", "HHA Version 4.74.8702", ",8,0"}));
    using Numbers = std::vector<std::optional<std::uint32_t>>;
    EXPECT_EQ((Numbers{file->version, file->timestamp, file->binaryIndex, file->binaryContents}),
              (Numbers{3, 0x5d9ba4bd, 7, 11}));
    ASSERT_TRUE(file->settings);
    EXPECT_EQ(file->settings->lcid, 0x804u);
    EXPECT_FALSE(file->settings->dbcs);
    EXPECT_TRUE(file->settings->fullTextSearch);
    EXPECT_TRUE(file->settings->keywordLinks);
    EXPECT_FALSE(file->settings->associativeLinks);
    EXPECT_EQ(file->settings->compiledAt, 0x0807060504030201u);
    ASSERT_EQ(file->otherRecords.size(), 2u);
    EXPECT_EQ(file->otherRecords[1].code, 99);
    EXPECT_EQ(file->otherRecords[1].length, 3);
    EXPECT_TRUE(file->damaged.empty());
}

TEST(SystemFileTest, DamagedRecordsAreReportedAndNotUsed)
{
    struct Case {
        const char* what;
        Bytes bytes;
        std::optional<std::uint16_t> code;
        SystemFault fault;
        bool titleKept; // the good record before the damage
    };
    const Bytes title = Record(3, Text("Kept"));
    const Case cases[] = {
        {"a record header cut off", SystemOf({title, {2, 0}}), std::nullopt, SystemFault::TruncatedHeader, true},
        {"a length past the end", SystemOf({title, Record(2, Text("x"), 40), Record(1, Text("i.hhk"))}), 2,
         SystemFault::LengthPastEnd, true},
        {"a text without its NUL", SystemOf({title, Record(2, {'a', 'b'})}), 2, SystemFault::Unterminated, true},
        {"settings shorter than their fields", SystemOf({title, Record(4, Bytes(12, 1))}), 4, SystemFault::TooShort,
         true},
        {"a number of two bytes", SystemOf({title, Record(11, {1, 0})}), 11, SystemFault::TooShort, true},
        {"a second title", SystemOf({title, Record(3, Text("Second"))}), 3, SystemFault::Repeated, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto file = ParseSystemFile(c.bytes);
        ASSERT_TRUE(file);
        ASSERT_EQ(file->damaged.size(), 1u);
        EXPECT_EQ(file->damaged[0].code, c.code);
        EXPECT_EQ(file->damaged[0].fault, c.fault);
        EXPECT_EQ(file->title, "Kept");
        EXPECT_FALSE(file->defaultTopic);
        EXPECT_FALSE(file->indexFile); // nothing after a length past the end is read
        EXPECT_FALSE(file->settings);
        EXPECT_FALSE(file->binaryContents);
    }
    EXPECT_FALSE(ParseSystemFile(Bytes{3, 0}));
}

TEST(SystemFileTest, OlderSettingsRecordHasNoCompileTime)
{
    const auto file = ParseSystemFile(SystemOf({Record(4, Settings(0x409, false))}));
    ASSERT_TRUE(file && file->settings);
    EXPECT_EQ(file->settings->lcid, 0x409u);
    EXPECT_FALSE(file->settings->compiledAt);
    EXPECT_TRUE(file->damaged.empty());
}

namespace {

constexpr std::size_t kEntrySize = 196;

// "\0Main\0Caption\0toc.hhc\0": offsets 1, 6, 14.
const std::string kStrings("\0Main\0Caption\0toc.hhc\0", 22);

Bytes WindowsOf(std::uint32_t count, std::size_t entries, std::uint32_t entrySize = kEntrySize)
{
    Bytes out = Number(count);
    AppendLe(out, entrySize, 4);
    for (std::size_t i = 0; i < entries; ++i) {
        Bytes entry(entrySize, 0);
        if (entrySize < kEntrySize) { // too small to hold the fields
            out.insert(out.end(), entry.begin(), entry.end());
            continue;
        }
        for (const auto& [at, value] : {std::pair{0x08u, 1u}, {0x14u, 6u}, {0x60u, 14u}, {0x4Cu, 200u},
                                        {0x28u, static_cast<std::uint32_t>(-5)}, {0x70u, 0x380eu}, {0x74u, 1u}})
            PutLeAt(entry, at, value, 4);
        out.insert(out.end(), entry.begin(), entry.end());
    }
    return out;
}

std::span<const std::uint8_t> StringsBytes()
{
    return {reinterpret_cast<const std::uint8_t*>(kStrings.data()), kStrings.size()};
}

} // namespace

TEST(WindowsFileTest, ReadsTheEntryAndItsTexts)
{
    const WindowsFile file = ParseWindowsFile(WindowsOf(1, 1), StringsBytes());
    ASSERT_EQ(file.windows.size(), 1u);
    const WindowType& window = file.windows[0];
    EXPECT_EQ(window.name.text, "Main");
    EXPECT_EQ(window.caption.text, "Caption");
    EXPECT_EQ(window.contentsFile.text, "toc.hhc");
    EXPECT_FALSE(window.indexFile.text);
    EXPECT_FALSE(window.indexFile.damaged);
    EXPECT_EQ(window.navigationWidth, 200);
    EXPECT_EQ(window.position.right, -5);
    EXPECT_EQ(window.buttons, 0x380eu);
    EXPECT_TRUE(window.navigationClosed);
    EXPECT_TRUE(file.damaged.empty());
}

TEST(WindowsFileTest, DamageIsReportedAndOnlyWhatIsThereIsRead)
{
    // A text offset past "#STRINGS", and one whose text runs off its end.
    Bytes badOffsets = WindowsOf(1, 1);
    PutLeAt(badOffsets, 8 + 0x14, 5000, 4);
    PutLeAt(badOffsets, 8 + 0x60, 21, 4);
    const std::string unterminated("\0Main\0Caption\0toc.hhc", 21);
    const WindowsFile offsets = ParseWindowsFile(
        badOffsets, {reinterpret_cast<const std::uint8_t*>(unterminated.data()), unterminated.size()});
    ASSERT_EQ(offsets.windows.size(), 1u);
    EXPECT_TRUE(offsets.windows[0].caption.damaged);
    EXPECT_FALSE(offsets.windows[0].caption.text);
    EXPECT_TRUE(offsets.windows[0].contentsFile.damaged);
    EXPECT_EQ(offsets.windows[0].name.text, "Main");

    const WindowsFile counted = ParseWindowsFile(WindowsOf(1000000, 2), StringsBytes());
    EXPECT_EQ(counted.windows.size(), 2u);
    EXPECT_EQ(counted.damaged, std::vector{WindowsFault::FewerEntriesThanCounted});

    const WindowsFile small = ParseWindowsFile(WindowsOf(1, 1, 0x40), StringsBytes());
    EXPECT_TRUE(small.windows.empty());
    EXPECT_EQ(small.damaged, std::vector{WindowsFault::EntryTooSmall});

    EXPECT_EQ(ParseWindowsFile(Bytes{1, 0, 0}, StringsBytes()).damaged, std::vector{WindowsFault::TooShort});
}

TEST(LanguageTest, LcidGivesNameAndCodePageAndTextConverts)
{
    const auto chinese = FindLanguage(0x804);
    ASSERT_TRUE(chinese);
    EXPECT_EQ(chinese->tag, "zh-CN");
    EXPECT_EQ(chinese->codePage, 936u);
    EXPECT_EQ(FindLanguage(0x411)->codePage, 932u);
    EXPECT_FALSE(FindLanguage(0x9999));

    // "中文" in GBK, then a lone lead byte at the end.
    EXPECT_EQ(WideFromCodePage("\xD6\xD0\xCE\xC4", 936), L"中文");
    EXPECT_EQ(WideFromCodePage("ab\xD6", 936).substr(0, 2), L"ab");
    EXPECT_EQ(WideFromCodePage("caf\xE9", 1252), L"caf\u00e9");
    EXPECT_EQ(WideFromCodePage("\xC0\xE1", 1251), L"\u0410\u0431");
}
