#include "ChmBuilder.h"
#include "ChmEngine.h"
#include "MemoryList.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class CountingFileTypes final : public IFileTypes {
public:
    std::wstring GetTypeName(std::wstring_view name) override
    {
        ++typeLookups[ExtensionKey(name)];
        return L"type of " + ExtensionKey(name);
    }
    int GetSmallIconIndex(std::wstring_view name) override
    {
        ++iconLookups;
        return static_cast<int>(ExtensionKey(name).size());
    }
    std::map<std::wstring, int> typeLookups;
    int iconLookups = 0;
};

struct Walked {
    CMemoryList list;
    int count = 0;
};

class WalkTest : public ::testing::Test {
protected:
    std::wstring Write(const std::vector<BuiltEntry>& entries)
    {
        const auto path = m_folder / ("file" + std::to_string(m_files++) + ".chm");
        WriteFileBytes(path.string(), BuildChm(entries));
        return path.wstring();
    }

    void Walk(const std::wstring& file, Walked& walked)
    {
        ASSERT_GE(m_engine.OpenFile(file), 0);
        m_engine.ReleaseWalk();
        walked.list.Clear();
        walked.list.SetRedraw(false);
        walked.count = m_engine.WalkStorage(walked.list, m_types, m_engine.GetRoot(), L"");
        walked.list.SetRedraw(true);
    }

    TempFolder m_folder;
    CChmEngine m_engine;
    CountingFileTypes m_types;
    int m_files = 0;
};

TEST_F(WalkTest, ListsStreamsDepthFirstAndSkipsHashAndDollarNamesAtEveryDepth)
{
    const std::wstring file = Write({
        {"/#SYSTEM", "sys"},
        {"/$FIftiMain", "fti"},
        {"/a.htm", "aaaa"},
        {"/sub/", ""},
        {"/sub/b.htm", "bb"},
        {"/sub/#hidden.htm", "h"},
        {"/sub/$dir/c.htm", "c"},
        {"/sub/deeper/f.gif", "ffffff"},
        {"/$top/d.htm", "d"},
        {"/#x/e.htm", "e"},
        {"/z.txt", ""},
    });
    Walked walked;
    Walk(file, walked);

    const auto& rows = walked.list.Rows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(walked.count, 4);
    const std::vector<std::array<std::wstring, 4>> expected = {
        {L"a.htm", L"4", L"type of htm", L""},
        {L"b.htm", L"2", L"type of htm", L"sub\\"},
        {L"f.gif", L"6", L"type of gif", L"sub\\deeper\\"},
        {L"z.txt", L"0", L"type of txt", L""},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].cells, expected[i]) << "row " << i;
        EXPECT_EQ(rows[i].itemData, static_cast<std::intptr_t>(i));
        EXPECT_EQ(rows[i].image, static_cast<int>(ExtensionKey(rows[i].cells[0]).size()));
    }
    // The rows' storages: the root for a.htm and z.txt, the nested ones for the others.
    EXPECT_EQ(m_engine.GetParentStorage(0), m_engine.GetRoot());
    EXPECT_EQ(m_engine.GetParentStorage(3), m_engine.GetRoot());
    EXPECT_NE(m_engine.GetParentStorage(1), m_engine.GetParentStorage(2));
    EXPECT_EQ(m_engine.GetParentStorage(4), nullptr);
    EXPECT_EQ(m_engine.GetParentStorage(-1), nullptr);
    EXPECT_EQ(m_engine.GetOpenStorageCount(), 2); // sub and sub/deeper; "$" and "#" storages never opened
}

TEST_F(WalkTest, LooksUpEachExtensionOncePerWalk)
{
    std::vector<BuiltEntry> entries;
    for (int i = 0; i < 30; ++i) entries.push_back({"/p" + std::to_string(i) + (i % 3 ? ".htm" : ".HTM"), "x"});
    entries.push_back({"/noext", "x"});
    const std::wstring file = Write(entries);
    Walked walked;
    Walk(file, walked);
    Walk(file, walked);
    EXPECT_EQ(walked.count, 31);
    EXPECT_EQ(m_types.typeLookups[L"htm"], 2);
    EXPECT_EQ(m_types.typeLookups[L""], 2);
    EXPECT_EQ(m_types.iconLookups, 4);
}

TEST_F(WalkTest, RepaintsOnceRightAfterTheHundredthRow)
{
    for (const int rowCount : {0, 99, 100, 250}) {
        std::vector<BuiltEntry> entries;
        for (int i = 0; i < rowCount; ++i) entries.push_back({"/d" + std::to_string(i % 7) + "/f" + std::to_string(i), ""});
        entries.push_back({"/#only-internal", ""});
        Walked walked;
        Walk(Write(entries), walked);
        EXPECT_EQ(walked.count, rowCount);
        const std::vector<int> expected = rowCount >= 100 ? std::vector<int>{100} : std::vector<int>{};
        EXPECT_EQ(walked.list.Repaints(), expected) << rowCount << " rows";
    }
}

TEST_F(WalkTest, ShowsTheFullSizeOfStreamsOfFourGigabytesAndMore)
{
    Walked walked;
    Walk(Write({{"/huge.bin", "", 5'000'000'123ull}, {"/exact.bin", "", 4'294'967'296ull}}), walked);
    ASSERT_EQ(walked.list.Rows().size(), 2u);
    EXPECT_EQ(walked.list.Rows()[0].cells[1], L"4294967296");
    EXPECT_EQ(walked.list.Rows()[1].cells[1], L"5000000123");
}

TEST_F(WalkTest, KeepsRowsUsableAfterAFailedOpen)
{
    const std::wstring file = Write({{"/a.htm", "alpha"}, {"/s/b.htm", "beta"}});
    Walked walked;
    Walk(file, walked);
    ASSERT_EQ(walked.list.Rows().size(), 2u);

    const auto notAHelpFile = m_folder / "plain.txt";
    WriteFileBytes(notAHelpFile.string(), {'h', 'e', 'l', 'l', 'o'});
    EXPECT_LT(m_engine.OpenFile(notAHelpFile.wstring()), 0);
    EXPECT_EQ(m_engine.GetRoot(), nullptr);

    // The old rows still reach live storages (the sanitizers watch for the opposite).
    TempFolder out;
    for (const CMemoryRow& row : walked.list.Rows())
        EXPECT_TRUE(m_engine.ExtractStream(m_engine.GetParentStorage(row.itemData), row.cells[3], row.cells[0],
                                           out.Path().wstring(), TRUE));
    EXPECT_TRUE(std::filesystem::exists(out / "a.htm"));
    EXPECT_TRUE(std::filesystem::exists(out / "s" / "b.htm"));
}

TEST(ParentStorageTable, GrowsByAnEighthBetweenFourAndOneThousandTwentyFour)
{
    CParentStorageTable table;
    std::vector<std::pair<int, int>> growth; // (size before the append, capacity after it)
    int capacity = table.GetCapacity();
    for (int i = 0; i < 20000; ++i) {
        EXPECT_EQ(table.Append(nullptr), i);
        if (table.GetCapacity() != capacity) growth.emplace_back(i, table.GetCapacity());
        capacity = table.GetCapacity();
    }
    ASSERT_GE(growth.size(), 6u);
    EXPECT_EQ(growth[0], std::make_pair(0, 4));
    EXPECT_EQ(growth[1], std::make_pair(4, 8));
    EXPECT_EQ(growth[8], std::make_pair(32, 36));
    EXPECT_EQ(growth[9], std::make_pair(36, 40));
    EXPECT_EQ(growth[10], std::make_pair(40, 45));
    for (const auto& [size, newCapacity] : growth) {
        if (size >= 8192) {
            EXPECT_EQ(newCapacity - size, 1024) << size;
        }
    }
    table.RemoveAll();
    EXPECT_EQ(table.GetSize(), 0);
    EXPECT_EQ(table.GetCapacity(), 0);
}

} // namespace
